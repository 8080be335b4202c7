#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "ControlTestSupport.h"
#include "controls/SelectCropCtrl.h"

using namespace CropGeometry;

namespace {

using MP = CropMovePoints;

// True when `r`, resized from `start` by a corner drag, keeps the slope of
// `start`'s corner-to-corner diagonal to within a pixel: its proportions
// within integer rounding.
::testing::AssertionResult KeepsProportions(const wxRect& r, const wxRect& start)
{
    const double expectedHeight = 1 + (r.width - 1) * double(start.height - 1) / (start.width - 1);
    if (std::abs(expectedHeight - r.height) <= 1.0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << r.width << " x " << r.height;
}

TEST(CropGeometry, PicturesAreFittedAndCentredOrShownAtTheirOwnSize)
{
    EXPECT_EQ(wxRect(1, 1, 320, 240), CalcImagePosition(wxSize(322, 242), wxSize(640, 480), true));
    EXPECT_EQ(wxRect(71, 1, 180, 240), CalcImagePosition(wxSize(322, 242), wxSize(480, 640), true));
    EXPECT_EQ(wxRect(1, 41, 320, 160), CalcImagePosition(wxSize(322, 242), wxSize(100, 50), true));
    EXPECT_EQ(wxRect(-159, -119, 640, 480),
              CalcImagePosition(wxSize(322, 242), wxSize(640, 480), false));
    EXPECT_EQ(wxRect(), CalcImagePosition(wxSize(322, 242), wxSize(0, 0), true));
}

TEST(CropGeometry, CropRectangleAndHandlesOnScreen)
{
    const wxRect placement(1, 1, 320, 240);
    const wxRect s = CalcScaledCropRect(wxRect(0, 0, 640, 480), wxSize(640, 480), placement);
    EXPECT_EQ(wxRect(2, 2, 318, 238), s);
    EXPECT_EQ(wxRect(82, 62, 158, 118),
              CalcScaledCropRect(wxRect(160, 120, 320, 240), wxSize(640, 480), placement));

    const wxRect r(100, 50, 200, 100);
    // Corner squares reach 6 pixels out and 3 in; edge squares are centred.
    EXPECT_EQ(wxRect(94, 44, 9, 9), CalcMovePointPosition(MP::TopLeftPoint, r));
    EXPECT_EQ(wxRect(195, 44, 9, 9), CalcMovePointPosition(MP::TopPoint, r));
    EXPECT_EQ(wxRect(296, 146, 9, 9), CalcMovePointPosition(MP::BottomRightPoint, r));
    EXPECT_EQ(wxRect(94, 95, 9, 9), CalcMovePointPosition(MP::LeftPoint, r));
    EXPECT_EQ(r, CalcMovePointPosition(MP::CenterPoint, r));
    EXPECT_EQ(wxRect(), CalcMovePointPosition(MP::NoPoint, r));

    EXPECT_EQ(wxPoint(299, 149), CalcMovePointDragPoint(MP::BottomRightPoint, r));
    EXPECT_EQ(wxPoint(299, 50), CalcMovePointDragPoint(MP::TopRightPoint, r));
    EXPECT_EQ(wxPoint(100, 149), CalcMovePointDragPoint(MP::BottomLeftPoint, r));
}

TEST(CropGeometry, HandlesWinOverTheInsideInClockwiseOrder)
{
    const wxRect r(100, 50, 200, 100);
    EXPECT_EQ(MP::TopLeftPoint, HitTest(wxPoint(101, 51), r));  // also inside
    EXPECT_EQ(MP::BottomRightPoint, HitTest(wxPoint(304, 154), r));  // outside the rectangle
    EXPECT_EQ(MP::LeftPoint, HitTest(wxPoint(94, 99), r));
    EXPECT_EQ(MP::CenterPoint, HitTest(wxPoint(150, 80), r));
    EXPECT_EQ(MP::NoPoint, HitTest(wxPoint(93, 99), r));
    EXPECT_EQ(MP::NoPoint, HitTest(wxPoint(350, 80), r));

    // On a small rectangle the handles overlap; the earlier one wins.
    const wxRect small(100, 100, 10, 10);
    EXPECT_EQ(MP::TopLeftPoint, HitTest(wxPoint(101, 95), small));
    EXPECT_EQ(MP::TopPoint, HitTest(wxPoint(103, 95), small));  // right of the corner's square
    EXPECT_EQ(MP::TopRightPoint, HitTest(wxPoint(110, 95), small));
}

TEST(CropGeometry, LinesMeetWhereTheyCrossAndParallelsGiveTheOrigin)
{
    EXPECT_EQ(wxPoint(5, 5), CalcLinesIntersectPoint({0, 0}, {10, 10}, {0, 10}, {10, 0}));
    EXPECT_EQ(wxPoint(639, 357),  // the diagonal of 160 x 90 meets x = 639
              CalcLinesIntersectPoint({0, 0}, {159, 89}, {639, 0}, {639, 479}));
    EXPECT_EQ(wxPoint(855, 479), CalcLinesIntersectPoint({0, 0}, {159, 89}, {0, 479}, {639, 479}));
    EXPECT_EQ(wxPoint(20, 7), CalcLinesIntersectPoint({0, 7}, {30, 7}, {20, 0}, {20, 9}));
    EXPECT_EQ(wxPoint(), CalcLinesIntersectPoint({0, 0}, {10, 10}, {5, 0}, {15, 10}));
    EXPECT_EQ(wxPoint(), CalcLinesIntersectPoint({0, 1}, {10, 1}, {0, 5}, {10, 5}));

    EXPECT_EQ(wxPoint(0, 9), ClipPointToRect({-4, 12}, wxRect(0, 0, 10, 10)));
    EXPECT_EQ(wxPoint(3, 4), ClipPointToRect({3, 4}, wxRect(0, 0, 10, 10)));
}

TEST(CropGeometry, ProportionalLimitRunsAlongADiagonalToThePicturesEdge)
{
    const wxRect bounds(0, 0, 640, 480);
    EXPECT_EQ(wxRect(wxPoint(0, 0), wxPoint(639, 357)),
              CalcProportionalMaxCropRect(true, wxRect(0, 0, 160, 90), bounds));
    // The other diagonal of a centred square reaches the top-right and
    // bottom-left corners' edges.
    wxRect other = CalcProportionalMaxCropRect(false, wxRect(280, 200, 80, 80), bounds);
    EXPECT_EQ(wxRect(wxPoint(80, 0), wxPoint(559, 479)), other);
}

TEST(CropGeometry, DragsKeepTheOppositeEdgesAndTheMinimumSize)
{
    const wxSize picture(640, 480);
    const wxRect c(100, 100, 100, 100);
    // The left edge dragged 90 pixels right: 24 wide, right edge in place.
    EXPECT_EQ(wxRect(176, 100, 24, 100), MoveCropPoint(MP::LeftPoint, {190, 0}, c, c, picture, false));
    EXPECT_EQ(wxRect(100, 176, 100, 24), MoveCropPoint(MP::TopPoint, {0, 250}, c, c, picture, false));
    EXPECT_EQ(wxRect(176, 176, 24, 24), MoveCropPoint(MP::TopLeftPoint, {300, 300}, c, c, picture, false));
    EXPECT_EQ(wxRect(100, 100, 24, 24), MoveCropPoint(MP::BottomRightPoint, {0, 0}, c, c, picture, false));
    EXPECT_EQ(wxRect(100, 100, 151, 100), MoveCropPoint(MP::RightPoint, {250, 0}, c, c, picture, false));

    // A corner dragged onto its own corner pixel changes nothing, whichever corner.
    EXPECT_EQ(c, MoveCropPoint(MP::TopRightPoint, {199, 100}, c, c, picture, false));
    EXPECT_EQ(c, MoveCropPoint(MP::BottomLeftPoint, {100, 199}, c, c, picture, false));
    EXPECT_EQ(c, MoveCropPoint(MP::BottomRightPoint, {199, 199}, c, c, picture, false));
    EXPECT_EQ(c, MoveCropPoint(MP::TopLeftPoint, {100, 100}, c, c, picture, false));

    // Moving stops at the picture's edges.
    EXPECT_EQ(wxRect(0, 0, 100, 100), MoveCropPoint(MP::CenterPoint, {-30, -5}, c, c, picture, false));
    EXPECT_EQ(wxRect(540, 380, 100, 100), MoveCropPoint(MP::CenterPoint, {600, 470}, c, c, picture, false));

    // A rectangle one pixel wide has no diagonal; the drag goes on freely.
    const wxRect thin(10, 10, 1, 50);
    EXPECT_EQ(wxRect(10, 10, 40, 80), MoveCropPoint(MP::BottomRightPoint, {49, 89}, thin, thin, picture, true));
}

TEST(CropGeometry, ClippingKeepsTheRectangleOnThePicture)
{
    EXPECT_EQ(wxRect(600, 400, 40, 80), ClipCropRect(wxRect(600, 400, 100, 100), wxSize(640, 480)));
    EXPECT_EQ(wxRect(0, 0, 50, 20), ClipCropRect(wxRect(-10, -10, 60, 30), wxSize(640, 480)));
    // Entirely off the picture: the whole picture, never an empty crop.
    EXPECT_EQ(wxRect(0, 0, 640, 480), ClipCropRect(wxRect(700, 10, 50, 50), wxSize(640, 480)));
    EXPECT_EQ(wxRect(0, 0, 640, 480), ClipCropRect(wxRect(10, 10, 0, 0), wxSize(640, 480)));
}

// Blocks of 80 x 80 pixels, each in its own colour, so that scaled pixels
// can be told apart without depending on the scaler's sampling.
wxColour BlockColour(int column, int row)
{
    return wxColour(30 + column * 25, 40 + row * 30, 200 - column * 10);
}

wxBitmap BlockPicture(int width, int height)
{
    wxImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            wxColour c = BlockColour(x / 80, y / 80);
            image.SetRGB(x, y, c.Red(), c.Green(), c.Blue());
        }
    return wxBitmap(image);
}

bool IsDark(const wxColour& c)
{
    return c.Red() < 40 && c.Green() < 40 && c.Blue() < 40;
}

wxColour Lightened(const wxColour& c)
{
    auto mix = [](int v) { return static_cast<unsigned char>((v * 195 + 255 * 60) / 255); };
    return wxColour(mix(c.Red()), mix(c.Green()), mix(c.Blue()));
}

class CropEditorTest : public ::testing::Test {
protected:
    CropEditorTest()
    {
        // 642 x 482 shows a 640 x 480 picture at (1, 1) at its own size,
        // so client point p is picture pixel p - (1, 1).
        m_Crop = new SelectCropCtrl(m_Frame.Panel(), wxID_ANY, wxPoint(0, 0), wxSize(642, 482));
    }

    // Screen centre of a handle of the current rectangle.
    wxPoint Handle(SelectCropCtrl::MovePoint point) const
    {
        wxRect s = m_Crop->CalcScaledCropRect(m_Crop->CalcImagePosition(m_Crop->GetClientRect()));
        wxRect h = CalcMovePointPosition(point, s);
        return wxPoint(h.x + 4, h.y + 4);
    }

    TestFrame m_Frame;
    SelectCropCtrl* m_Crop;
};

TEST_F(CropEditorTest, CropRectangleFollowsThePictureAndTheCropSwitch)
{
    EXPECT_EQ(wxRect(), m_Crop->GetCropRect());
    m_Crop->SetCropRect(wxRect(1, 2, 3, 4));  // no picture: ignored
    EXPECT_EQ(wxRect(), m_Crop->GetCropRect());

    m_Crop->SetImage(BlockPicture(640, 480));
    EXPECT_EQ(wxRect(0, 0, 640, 480), m_Crop->GetCropRect());
    m_Crop->SetCropRect(wxRect(600, 400, 100, 100));
    EXPECT_EQ(wxRect(600, 400, 40, 80), m_Crop->GetCropRect());

    m_Crop->SetCropRect(wxRect(10, 20, 300, 200));
    m_Crop->DisableCrop();
    EXPECT_FALSE(m_Crop->IsCropEnabled());
    EXPECT_EQ(wxRect(0, 0, 640, 480), m_Crop->GetCropRect());
    m_Crop->SetCropRect(wxRect(50, 50, 50, 50));  // kept aside while disabled
    m_Crop->EnableCrop();
    EXPECT_EQ(wxRect(10, 20, 300, 200), m_Crop->GetCropRect());

    // A new picture starts with the whole of it.
    m_Crop->SetImage(BlockPicture(320, 240));
    EXPECT_EQ(wxRect(0, 0, 320, 240), m_Crop->GetCropRect());

    // Losing the picture empties the crop.
    m_Crop->SetImage(wxNullBitmap);
    EXPECT_EQ(wxRect(), m_Crop->GetCropRect());

    EXPECT_TRUE(m_Crop->IsScaleToFit());
    m_Crop->DisableScaleToFit();
    EXPECT_FALSE(m_Crop->IsScaleToFit());
    m_Crop->SetBGColor(wxColour(10, 20, 30));
    EXPECT_EQ(wxColour(10, 20, 30), m_Crop->GetBGColor());
}

TEST_F(CropEditorTest, DraggingTheLeftHandleStopsAtTheMinimumWidthWithTheRightEdgeFixed)
{
    m_Crop->SetImage(BlockPicture(640, 480));
    m_Crop->SetCropRect(wxRect(100, 100, 100, 100));
    const wxPoint start = Handle(SelectCropCtrl::LeftPoint);
    Press(m_Crop, start);
    EXPECT_TRUE(m_Crop->HasCapture());
    Move(m_Crop, start + wxPoint(90, 0));
    EXPECT_EQ(24, m_Crop->GetCropRect().width);
    EXPECT_EQ(199, m_Crop->GetCropRect().GetRight());
    Move(m_Crop, start + wxPoint(-40, 0));
    EXPECT_EQ(wxRect(61, 100, 139, 100), m_Crop->GetCropRect());
    Release(m_Crop, start + wxPoint(-40, 0));
    EXPECT_FALSE(m_Crop->HasCapture());

    Move(m_Crop, start + wxPoint(90, 0));  // after the release: no drag
    EXPECT_EQ(wxRect(61, 100, 139, 100), m_Crop->GetCropRect());
}

TEST_F(CropEditorTest, DraggingTheInsideMovesTheRectangleUpToThePicturesEdges)
{
    m_Crop->SetImage(BlockPicture(640, 480));
    m_Crop->SetCropRect(wxRect(100, 100, 100, 100));
    Press(m_Crop, wxPoint(150, 150));
    Move(m_Crop, wxPoint(150, 150));
    const wxRect grabbed = m_Crop->GetCropRect();
    EXPECT_NEAR(100, grabbed.x, 1);
    Move(m_Crop, wxPoint(170, 140));
    EXPECT_EQ(grabbed.GetPosition() + wxPoint(20, -10), m_Crop->GetCropRect().GetPosition());
    Move(m_Crop, wxPoint(-300, 150));
    EXPECT_EQ(wxRect(0, grabbed.y, 100, 100), m_Crop->GetCropRect());
    Move(m_Crop, wxPoint(900, 150));
    EXPECT_EQ(wxRect(540, grabbed.y, 100, 100), m_Crop->GetCropRect());
    Move(m_Crop, wxPoint(900, 900));
    EXPECT_EQ(wxRect(540, 380, 100, 100), m_Crop->GetCropRect());
    Release(m_Crop, wxPoint(900, 900));
}

TEST_F(CropEditorTest, CtrlCornerDragKeepsTheProportionsUntilTheDiagonalLeavesThePicture)
{
    m_Crop->SetImage(BlockPicture(640, 480));
    m_Crop->SetCropRect(wxRect(100, 100, 160, 90));
    const wxPoint start = Handle(SelectCropCtrl::BottomRightPoint);
    Press(m_Crop, start, true);
    for (wxPoint to : {wxPoint(300, 220), wxPoint(420, 250), wxPoint(200, 300)}) {
        Move(m_Crop, to, true);
        wxRect r = m_Crop->GetCropRect();
        EXPECT_EQ(wxPoint(100, 100), r.GetTopLeft());
        EXPECT_TRUE(KeepsProportions(r, wxRect(100, 100, 160, 90)));
    }
    Move(m_Crop, wxPoint(900, 700), true);
    wxRect r = m_Crop->GetCropRect();
    EXPECT_EQ(639, r.GetRight());  // stopped at the picture's right edge
    EXPECT_TRUE(KeepsProportions(r, wxRect(100, 100, 160, 90)));
    Release(m_Crop, wxPoint(900, 700));

    // Without the modifier the same drag is free.
    m_Crop->SetCropRect(wxRect(100, 100, 160, 90));
    Press(m_Crop, Handle(SelectCropCtrl::BottomRightPoint));
    Move(m_Crop, wxPoint(900, 700));
    EXPECT_EQ(wxRect(100, 100, 540, 380), m_Crop->GetCropRect());
    Release(m_Crop, wxPoint(900, 700));
}

TEST_F(CropEditorTest, CtrlDragOfTheTopRightCornerFollowsTheOtherDiagonal)
{
    m_Crop->SetImage(BlockPicture(640, 480));
    m_Crop->SetCropRect(wxRect(200, 200, 160, 90));
    Press(m_Crop, Handle(SelectCropCtrl::TopRightPoint), true);
    Move(m_Crop, wxPoint(1000, -500), true);
    wxRect r = m_Crop->GetCropRect();
    EXPECT_EQ(200, r.x);
    EXPECT_EQ(289, r.GetBottom());  // the bottom-left corner stays
    EXPECT_TRUE(KeepsProportions(r, wxRect(200, 200, 160, 90)));
    EXPECT_TRUE(r.GetRight() == 639 || r.y == 0) << r.GetRight() << ", " << r.y;
    Release(m_Crop, wxPoint(1000, -500));
}

TEST_F(CropEditorTest, APressOutsideTheRectangleStartsNothing)
{
    m_Crop->SetImage(BlockPicture(640, 480));
    m_Crop->SetCropRect(wxRect(100, 100, 100, 100));
    Press(m_Crop, wxPoint(500, 400));
    EXPECT_FALSE(m_Crop->HasCapture());
    Move(m_Crop, wxPoint(50, 50));
    EXPECT_EQ(wxRect(100, 100, 100, 100), m_Crop->GetCropRect());
    Release(m_Crop, wxPoint(50, 50));

    // Nor does any press while cropping is off.
    m_Crop->DisableCrop();
    Press(m_Crop, wxPoint(150, 150));
    EXPECT_FALSE(m_Crop->HasCapture());
    Move(m_Crop, wxPoint(50, 50));
    m_Crop->EnableCrop();
    EXPECT_EQ(wxRect(100, 100, 100, 100), m_Crop->GetCropRect());
}

TEST_F(CropEditorTest, ReleaseFreesTheMouseEvenIfCroppingWasSwitchedOffMidDrag)
{
    m_Crop->SetImage(BlockPicture(640, 480));
    Press(m_Crop, wxPoint(300, 200));
    EXPECT_TRUE(m_Crop->HasCapture());
    m_Crop->DisableCrop();
    Release(m_Crop, wxPoint(300, 200));
    EXPECT_FALSE(m_Crop->HasCapture());
}

TEST_F(CropEditorTest, PaintsTheCropAreaInTrueColoursAndLightensTheRest)
{
    m_Crop->SetSize(322, 242);  // placement (1, 1, 320, 240): half size
    m_Crop->SetBGColor(wxColour(50, 60, 70));
    m_Crop->SetImage(BlockPicture(640, 480));
    m_Crop->SetCropRect(wxRect(160, 80, 320, 240));
    wxImage image = Render(m_Crop->GetClientSize(), [this](wxDC& dc) { m_Crop->Paint(dc); });

    // Client (x, y) shows picture pixel ((x - 1) * 2, (y - 1) * 2); block
    // centres are at client 21 + 40 * i.
    auto blockAt = [](int column, int row) { return wxPoint(21 + 40 * column, 21 + 40 * row); };
    for (int column = 0; column < 8; ++column)
        for (int row = 0; row < 6; ++row) {
            wxPoint p = blockAt(column, row);
            bool inside = column >= 2 && column < 6 && row >= 1 && row < 4;
            wxColour expected = inside ? BlockColour(column, row) : Lightened(BlockColour(column, row));
            EXPECT_EQ(expected, PixelAt(image, p.x, p.y)) << column << ", " << row;
        }

    // Handles: black border, white inside, where the geometry puts them.
    const wxRect s = m_Crop->CalcScaledCropRect(wxRect(1, 1, 320, 240));
    EXPECT_EQ(wxRect(82, 42, 158, 118), s);
    for (int h = SelectCropCtrl::TopLeftPoint; h <= SelectCropCtrl::LeftPoint; ++h) {
        wxRect square = CalcMovePointPosition(static_cast<SelectCropCtrl::MovePoint>(h), s);
        EXPECT_TRUE(IsDark(PixelAt(image, square.x, square.y))) << h;
        EXPECT_EQ(*wxBLACK, PixelAt(image, square.x, square.y + 4)) << h;
        EXPECT_EQ(*wxBLACK, PixelAt(image, square.GetRight(), square.y + 4)) << h;
        EXPECT_EQ(*wxBLACK, PixelAt(image, square.x + 4, square.GetBottom())) << h;
        EXPECT_EQ(*wxWHITE, PixelAt(image, square.x + 4, square.y + 4)) << h;
        EXPECT_EQ(*wxWHITE, PixelAt(image, square.x + 1, square.y + 1)) << h;
    }
    // The crop area begins right inside the top-left handle's square.
    EXPECT_EQ(BlockColour(2, 1), PixelAt(image, s.x + 4, s.y + 4));
    EXPECT_EQ(Lightened(BlockColour(1, 0)), PixelAt(image, s.x - 8, s.y - 8));

    // Turning cropping off shows the whole picture as it is, no handles.
    m_Crop->DisableCrop();
    image = Render(m_Crop->GetClientSize(), [this](wxDC& dc) { m_Crop->Paint(dc); });
    EXPECT_EQ(BlockColour(0, 0), PixelAt(image, 21, 21));
    EXPECT_EQ(BlockColour(2, 1), PixelAt(image, s.x + 4, s.y + 4));
}

TEST_F(CropEditorTest, APortraitPictureLeavesTheBackgroundColourAtTheSides)
{
    m_Crop->SetSize(322, 242);
    m_Crop->SetBGColor(wxColour(50, 60, 70));
    m_Crop->SetImage(BlockPicture(480, 640));  // placement (71, 1, 180, 240)
    wxImage image = Render(m_Crop->GetClientSize(), [this](wxDC& dc) { m_Crop->Paint(dc); });
    EXPECT_EQ(wxColour(50, 60, 70), PixelAt(image, 30, 120));
    EXPECT_EQ(wxColour(50, 60, 70), PixelAt(image, 300, 120));
    EXPECT_EQ(*wxWHITE, PixelAt(image, 0, 120));  // the white outline
    EXPECT_NE(wxColour(50, 60, 70), PixelAt(image, 160, 120));
}

TEST_F(CropEditorTest, ATinyControlPaintsOnlyItsBackground)
{
    m_Crop->SetSize(2, 2);
    m_Crop->SetImage(BlockPicture(640, 480));
    wxImage image = Render(wxSize(2, 2), [this](wxDC& dc) { m_Crop->Paint(dc); });
    EXPECT_EQ(*wxWHITE, PixelAt(image, 0, 0));
    Press(m_Crop, wxPoint(1, 1));  // nothing to drag on an empty placement
    Move(m_Crop, wxPoint(0, 0));
    Release(m_Crop, wxPoint(0, 0));
    EXPECT_EQ(wxRect(0, 0, 640, 480), m_Crop->GetCropRect());
}

}  // namespace

namespace {

// A small landscape for the documentation's screenshot.
wxBitmap Landscape(int width, int height)
{
    wxImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double t = double(y) / height;
            int r = int(90 + 120 * t), g = int(150 + 70 * t), b = int(230 - 20 * t);
            double sun = std::hypot(x - width * 0.72, y - height * 0.3);
            if (sun < height * 0.11)
                r = 255, g = 214, b = 90;
            double hill1 = height * (0.62 + 0.08 * std::sin(x * 0.013));
            double hill2 = height * (0.75 + 0.06 * std::sin(x * 0.021 + 1.7));
            if (y > hill1)
                r = 70, g = 140, b = 80;
            if (y > hill2)
                r = 46, g = 105, b = 60;
            image.SetRGB(x, y, r, g, b);
        }
    return wxBitmap(image);
}

// Writes docs/crop-editor.png's source when TELLAVOX_SCREENSHOTS is set.
TEST_F(CropEditorTest, Screenshot)
{
    if (!getenv("TELLAVOX_SCREENSHOTS"))
        GTEST_SKIP() << "set TELLAVOX_SCREENSHOTS to write the screenshot";
    m_Crop->SetSize(402, 228);
    m_Crop->SetBGColor(wxColour(240, 240, 240));
    m_Crop->SetImage(Landscape(640, 360));
    m_Crop->SetCropRect(wxRect(160, 60, 320, 180));
    wxImage image = Render(m_Crop->GetClientSize(), [this](wxDC& dc) { m_Crop->Paint(dc); });
    EXPECT_TRUE(image.SaveFile(TestOutputPath("crop-editor.png"), wxBITMAP_TYPE_PNG));
}

}  // namespace
