#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "controls/ImageViewCtrl.h"

namespace {

wxBitmap RedBitmap(int width, int height)
{
    wxImage image(width, height);
    image.SetRGB(wxRect(0, 0, width, height), 255, 0, 0);
    return wxBitmap(image);
}

class ImageViewTest : public ::testing::Test {
protected:
    ImageViewTest() { m_View = new ImageViewCtrl(m_Frame.Panel(), 0, wxPoint(5, 7), wxSize(120, 60)); }
    wxImage Paint() const { return Render(m_View->GetClientSize(), [this](wxDC& dc) { m_View->Paint(dc); }, *wxBLUE); }

    TestFrame m_Frame;
    ImageViewCtrl* m_View;
};

TEST_F(ImageViewTest, ABitmapSizesTheControlAnInvalidOneIsIgnored)
{
    m_View->SetImage(wxNullBitmap, true);
    EXPECT_EQ(wxSize(120, 60), m_View->GetSize());
    EXPECT_EQ(*wxBLUE, PixelAt(Paint(), 60, 30));

    // Resizing makes the control exactly the bitmap's size, in place.
    m_View->SetImage(RedBitmap(100, 50), true);
    for (wxSize size : {m_View->GetSize(), m_View->GetMinSize(), m_View->GetMaxSize()})
        EXPECT_EQ(wxSize(100, 50), size);
    EXPECT_EQ(wxPoint(5, 7), m_View->GetPosition());
    EXPECT_EQ(*wxRED, PixelAt(Paint(), 0, 0));
}

// A stand-in picture keeps its middle and is marked in its corner and along
// its edges.
TEST(ImageView, AnApproximatePictureIsMarkedAtItsEdgeAndCorner)
{
    wxImage red = RedBitmap(240, 135).ConvertToImage();
    wxImage marked = ImageViewCtrl::MarkApproximate(red).ConvertToImage();
    ASSERT_EQ(red.GetSize(), marked.GetSize());
    EXPECT_EQ(*wxRED, PixelAt(marked, 120, 67));
    EXPECT_NE(*wxRED, PixelAt(marked, 0, 67));
    EXPECT_NE(*wxRED, PixelAt(marked, 6, 6));
    EXPECT_FALSE(ImageViewCtrl::MarkApproximate(wxImage()).IsOk());
}

}  // namespace
