#include <gtest/gtest.h>

#include <vector>

#include <wx/image.h>

#include "pipeline/ImageHelpers.h"
#include "resources/AppImages.h"
#include "resources/RangeBarImages.h"

namespace {

using Bytes = std::vector<unsigned char>;

TEST(CreateImageFromMemRawImage, ReadsBgraRowsThroughTheirRowPointers)
{
    // Rows deliberately apart in memory, and with a different order of
    // arrays than of rows.
    const unsigned char bottom[] = {1, 2, 3, 4, 5, 6, 7, 8};
    const unsigned char top[] = {10, 20, 30, 40, 50, 60, 70, 80};
    const void* const rows[] = {top, bottom};
    const MEM_RAW_IMAGE raw = {2, 2, 8, 32, rows};

    wxImage image = CreateImageFromMemRawImage(raw);
    ASSERT_EQ(wxSize(2, 2), image.GetSize());
    ASSERT_TRUE(image.HasAlpha());
    EXPECT_EQ(Bytes(image.GetData(), image.GetData() + 12), Bytes({30, 20, 10, 70, 60, 50, 3, 2, 1, 7, 6, 5}));
    EXPECT_EQ(Bytes(image.GetAlpha(), image.GetAlpha() + 4), Bytes({40, 80, 4, 8}));
}

TEST(CreateImageFromMemRawImage, PacksRgbBelow32BitsAndRejectsMissingData)
{
    const unsigned char pixels[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 8, 7};
    const MEM_RAW_IMAGE raw = {2, 2, 6, 24, pixels};
    wxImage image = CreateImageFromMemRawImage(raw);
    ASSERT_EQ(wxSize(2, 2), image.GetSize());
    EXPECT_FALSE(image.HasAlpha());
    EXPECT_EQ(Bytes(image.GetData(), image.GetData() + 12), Bytes({255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 8, 7}));

    const MEM_RAW_IMAGE none = {17, 19, 68, 32, nullptr};
    EXPECT_FALSE(CreateImageFromMemRawImage(none).IsOk());
}

TEST(BlendImageWithColor, MovesChannelsTowardTheColourAndLeavesAlpha)
{
    wxImage image(2, 1);
    image.SetRGB(0, 0, 255, 255, 255);
    image.SetRGB(1, 0, 0, 100, 200);
    image.InitAlpha();
    image.SetAlpha(0, 0, 33);

    wxImage half = image.Copy();
    BlendImageWithColor(half, 0, 0, 0, 128);
    EXPECT_EQ(127, half.GetRed(0, 0));  // 255 * 127 / 255, rounded down
    EXPECT_EQ(33, half.GetAlpha(0, 0));

    wxImage lightened = image.Copy();
    BlendImageWithColor(lightened, 255, 255, 255, 60);
    EXPECT_EQ(60, lightened.GetRed(1, 0));                    // 0 * 195 + 255 * 60
    EXPECT_EQ((100 * 195 + 255 * 60) / 255, lightened.GetGreen(1, 0));
    EXPECT_EQ((200 * 195 + 255 * 60) / 255, lightened.GetBlue(1, 0));

    wxImage untouched = image.Copy();
    BlendImageWithColor(untouched, 9, 9, 9, 0);
    EXPECT_EQ(100, untouched.GetGreen(1, 0));
    wxImage painted = image.Copy();
    BlendImageWithColor(painted, 9, 8, 7, 255);
    EXPECT_EQ(9, painted.GetRed(0, 0));
    EXPECT_EQ(7, painted.GetBlue(1, 0));

    wxImage invalid;
    BlendImageWithColor(invalid, 1, 2, 3, 4);  // nothing to do, no crash
    EXPECT_FALSE(invalid.IsOk());
}

// The pictures compiled into the program have real transparency where it
// matters: the up arrow's tip is at the top of its middle column, the down
// arrow's at the bottom, and beside the tips the pictures are clear.
TEST(CompiledPictures, HaveTransparentCorners)
{
    wxImage up = CreateImageFromMemRawImage(rbSliderUp);
    EXPECT_GT(up.GetAlpha(8, 1), 128);
    EXPECT_EQ(0, up.GetAlpha(0, 0));
    EXPECT_EQ(255, up.GetAlpha(8, 12));
    wxImage down = CreateImageFromMemRawImage(rbSliderDown);
    EXPECT_GT(down.GetAlpha(8, 17), 128);
    EXPECT_EQ(0, down.GetAlpha(0, 18));
    EXPECT_EQ(255, down.GetAlpha(8, 6));

    wxImage icon = CreateImageFromMemRawImage(mainAppIcon);
    EXPECT_EQ(0, icon.GetAlpha(0, 0));
    EXPECT_EQ(255, icon.GetAlpha(24, 24));

    EXPECT_TRUE(wxImage(startLogo_xpm).IsOk());
}

}  // namespace
