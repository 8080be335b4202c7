#include <gtest/gtest.h>

#include <wx/image.h>

#include "pipeline/ImageHelpers.h"
#include "resources/AppImages.h"
#include "resources/RangeBarImages.h"

namespace {

TEST(CreateImageFromMemRawImage, ReadsBgraRowsThroughTheirRowPointers)
{
    // Rows deliberately apart in memory, and with a different order of
    // arrays than of rows.
    const unsigned char bottom[] = {1, 2, 3, 4, 5, 6, 7, 8};
    const unsigned char top[] = {10, 20, 30, 40, 50, 60, 70, 80};
    const void* const rows[] = {top, bottom};
    const MEM_RAW_IMAGE raw = {2, 2, 8, 32, rows};

    wxImage image = CreateImageFromMemRawImage(raw);
    ASSERT_TRUE(image.IsOk());
    ASSERT_TRUE(image.HasAlpha());
    EXPECT_EQ(wxSize(2, 2), image.GetSize());
    EXPECT_EQ(30, image.GetRed(0, 0));
    EXPECT_EQ(20, image.GetGreen(0, 0));
    EXPECT_EQ(10, image.GetBlue(0, 0));
    EXPECT_EQ(40, image.GetAlpha(0, 0));
    EXPECT_EQ(70, image.GetRed(1, 0));
    EXPECT_EQ(80, image.GetAlpha(1, 0));
    EXPECT_EQ(3, image.GetRed(0, 1));
    EXPECT_EQ(8, image.GetAlpha(1, 1));
}

TEST(CreateImageFromMemRawImage, PacksRgbBelow32BitsAndRejectsMissingData)
{
    const unsigned char pixels[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 8, 7};
    const MEM_RAW_IMAGE raw = {2, 2, 6, 24, pixels};
    wxImage image = CreateImageFromMemRawImage(raw);
    ASSERT_TRUE(image.IsOk());
    EXPECT_FALSE(image.HasAlpha());
    EXPECT_EQ(255, image.GetRed(0, 0));
    EXPECT_EQ(255, image.GetGreen(1, 0));
    EXPECT_EQ(255, image.GetBlue(0, 1));
    EXPECT_EQ(7, image.GetBlue(1, 1));

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

// The pictures compiled into the program have the sizes the controls and
// the main window lay out around, and real transparency where it matters.
TEST(CompiledPictures, HaveTheirFixedSizesAndTransparentCorners)
{
    struct Expected {
        const MEM_RAW_IMAGE& raw;
        int width, height;
    };
    for (const Expected& e : {Expected{rbSliderUp, 17, 19}, Expected{rbSliderDown, 17, 19},
                              Expected{rbSliderBgLeft, 4, 6}, Expected{rbSliderBgCenter, 100, 6},
                              Expected{rbSliderBgRight, 4, 6}, Expected{mainAppIcon, 48, 48}}) {
        EXPECT_EQ(e.width, e.raw.iWidth);
        EXPECT_EQ(e.height, e.raw.iHeight);
        EXPECT_EQ(e.width * 4, e.raw.iRowBytes);
        EXPECT_EQ(32, e.raw.iBitsPerPixel);
        wxImage image = CreateImageFromMemRawImage(e.raw);
        ASSERT_TRUE(image.IsOk());
        EXPECT_EQ(wxSize(e.width, e.height), image.GetSize());
    }

    // The up arrow's tip is at the top of its middle column, the down
    // arrow's at the bottom; beside the tips the pictures are clear.
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

    wxImage logo(startLogo_xpm);
    ASSERT_TRUE(logo.IsOk());
    EXPECT_EQ(wxSize(157, 179), logo.GetSize());
}

}  // namespace
