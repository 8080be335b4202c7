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

TEST_F(ImageViewTest, ABitmapIsCentredOrSizesTheControlAnInvalidOneIgnored)
{
    m_View->SetImage(wxNullBitmap, true);
    EXPECT_EQ(wxSize(120, 60), m_View->GetSize());
    EXPECT_EQ(*wxBLUE, PixelAt(Paint(), 60, 30));

    m_View->SetImage(RedBitmap(100, 50), false);
    EXPECT_EQ(wxSize(120, 60), m_View->GetSize());
    wxImage image = Paint();
    EXPECT_EQ(*wxRED, PixelAt(image, 10, 5));
    EXPECT_EQ(*wxRED, PixelAt(image, 109, 54));
    EXPECT_EQ(*wxBLUE, PixelAt(image, 9, 5));
    EXPECT_EQ(*wxBLUE, PixelAt(image, 110, 55));
    // Larger than the control: cut equally on both sides.
    EXPECT_EQ(wxPoint(-15, -5), ImageViewCtrl::CalcImageOrigin(wxRect(0, 0, 120, 60), wxSize(150, 70)));

    // Resizing makes the control exactly the bitmap's size, in place.
    m_View->SetImage(RedBitmap(100, 50), true);
    for (wxSize size : {m_View->GetSize(), m_View->GetMinSize(), m_View->GetMaxSize()})
        EXPECT_EQ(wxSize(100, 50), size);
    EXPECT_EQ(wxPoint(5, 7), m_View->GetPosition());
    EXPECT_EQ(*wxRED, PixelAt(Paint(), 0, 0));
}

}  // namespace
