#include <gtest/gtest.h>

#include <vector>

#include <wx/image.h>

#include "pipeline/ImageHelpers.h"

namespace {

using Bytes = std::vector<unsigned char>;

TEST(CreateImageFromMemRawImage, ReadsBgraThroughRowPointersCopiesRgbAndRejectsMissingData)
{
    // Rows apart in memory, and with a different order of arrays than of rows.
    const unsigned char bottom[] = {1, 2, 3, 4, 5, 6, 7, 8};
    const unsigned char top[] = {10, 20, 30, 40, 50, 60, 70, 80};
    const void* const rows[] = {top, bottom};
    wxImage bgra = CreateImageFromMemRawImage({2, 2, 8, 32, rows});
    ASSERT_EQ(wxSize(2, 2), bgra.GetSize());
    ASSERT_TRUE(bgra.HasAlpha());
    EXPECT_EQ(Bytes(bgra.GetData(), bgra.GetData() + 12), Bytes({30, 20, 10, 70, 60, 50, 3, 2, 1, 7, 6, 5}));
    EXPECT_EQ(Bytes(bgra.GetAlpha(), bgra.GetAlpha() + 4), Bytes({40, 80, 4, 8}));

    const unsigned char pixels[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 8, 7};
    wxImage rgb = CreateImageFromMemRawImage({2, 2, 6, 24, pixels});
    ASSERT_EQ(wxSize(2, 2), rgb.GetSize());
    EXPECT_FALSE(rgb.HasAlpha());
    EXPECT_EQ(Bytes(rgb.GetData(), rgb.GetData() + 12), Bytes(pixels, pixels + 12));
    EXPECT_FALSE(CreateImageFromMemRawImage({17, 19, 68, 32, nullptr}).IsOk());
}

// Each channel moves toward the colour by the opacity (rounded down); alpha stays.
TEST(BlendImageWithColor, MovesChannelsTowardTheColourAndLeavesAlpha)
{
    const struct { unsigned char r, g, b, opacity; Bytes rgb; } cases[] = {
        {0, 0, 0, 128, {127, 127, 127, 0, 49, 99}},
        {255, 255, 255, 60, {255, 255, 255, 60, 136, 212}},
        {9, 9, 9, 0, {255, 255, 255, 0, 100, 200}},
        {9, 8, 7, 255, {9, 8, 7, 9, 8, 7}},
    };
    for (const auto& c : cases) {
        wxImage image(2, 1);
        image.SetRGB(0, 0, 255, 255, 255);
        image.SetRGB(1, 0, 0, 100, 200);
        image.InitAlpha();
        image.SetAlpha(0, 0, 33);
        BlendImageWithColor(image, c.r, c.g, c.b, c.opacity);
        EXPECT_EQ(Bytes(image.GetData(), image.GetData() + 6), c.rgb) << int(c.opacity);
        EXPECT_EQ(image.GetAlpha(0, 0), 33);
    }
    wxImage invalid;
    BlendImageWithColor(invalid, 1, 2, 3, 4);  // nothing to do, no crash
}

}  // namespace
