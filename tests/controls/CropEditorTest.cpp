#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "ControlTestSupport.h"
#include "controls/ImageViewCtrl.h"
#include "controls/SelectCropCtrl.h"

using namespace CropGeometry;

namespace {

using MP = CropMovePoints;

TEST(CropGeometry, PicturePlacementHandlesAndHitOrder)
{
    // Fitted with a one-pixel margin and centred, or at its own size and centred.
    const wxSize client(322, 242);
    EXPECT_EQ(wxRect(1, 41, 320, 160), CalcImagePosition(client, wxSize(100, 50), true));
    EXPECT_EQ(wxRect(-159, -119, 640, 480), CalcImagePosition(client, wxSize(640, 480), false));
    EXPECT_EQ(wxRect(), CalcImagePosition(client, wxSize(0, 0), true));

    // Corner squares reach 6 pixels out and 3 in; edge squares are centred.
    const wxRect r(100, 50, 200, 100);
    EXPECT_EQ(wxRect(94, 44, 9, 9), CalcMovePointPosition(MP::TopLeftPoint, r));
    EXPECT_EQ(wxRect(195, 44, 9, 9), CalcMovePointPosition(MP::TopPoint, r));
    EXPECT_EQ(wxRect(296, 146, 9, 9), CalcMovePointPosition(MP::BottomRightPoint, r));
    EXPECT_EQ(wxRect(94, 95, 9, 9), CalcMovePointPosition(MP::LeftPoint, r));

    // Handles come before the inside, clockwise from the top left; of
    // overlapping handles (on a small rectangle) the earlier wins.
    const wxRect small(100, 100, 10, 10);
    const std::tuple<wxPoint, wxRect, MP::MovePoint> hits[] = {
        {{101, 51}, r, MP::TopLeftPoint},  {{304, 154}, r, MP::BottomRightPoint}, {{94, 99}, r, MP::LeftPoint},
        {{150, 80}, r, MP::CenterPoint},   {{93, 99}, r, MP::NoPoint},            {{350, 80}, r, MP::NoPoint},
        {{101, 95}, small, MP::TopLeftPoint}, {{103, 95}, small, MP::TopPoint},   {{110, 95}, small, MP::TopRightPoint}};
    for (const auto& [at, rect, point] : hits)
        EXPECT_EQ(point, HitTest(at, rect)) << at.x << "," << at.y;
}

// Edges and corners keep the opposite edges and the minimum size; the inside
// moves whole, stopped at the picture's edges; a rectangle is clipped to the
// picture, and one off the picture or empty gives the whole picture.
TEST(CropGeometry, DragsKeepTheOppositeEdgesTheMinimumSizeAndThePicture)
{
    const wxSize picture(640, 480);
    const wxRect c(100, 100, 100, 100);
    EXPECT_EQ(wxRect(176, 176, 24, 24), MoveCropPoint(MP::TopLeftPoint, {300, 300}, c, c, picture, false));
    EXPECT_EQ(wxRect(100, 100, 24, 24), MoveCropPoint(MP::BottomRightPoint, {0, 0}, c, c, picture, false));
    EXPECT_EQ(wxRect(176, 100, 24, 100), MoveCropPoint(MP::LeftPoint, {190, 150}, c, c, picture, false));
    EXPECT_EQ(wxRect(0, 540, 100, 100), MoveCropPoint(MP::CenterPoint, {-300, 900}, c, c, wxSize(640, 640), false));
    EXPECT_EQ(wxRect(540, 0, 100, 100), MoveCropPoint(MP::CenterPoint, {900, -300}, c, c, wxSize(640, 640), false));
    const std::pair<wxRect, wxRect> clipped[] = {
        {{600, 400, 100, 100}, {600, 400, 40, 80}}, {{-10, -10, 60, 30}, {0, 0, 50, 20}},
        {{700, 10, 50, 50}, {0, 0, 640, 480}},      {{10, 10, 0, 0}, {0, 0, 640, 480}}};
    for (const auto& [in, out] : clipped)
        EXPECT_EQ(out, ClipCropRect(in, picture));
    // A corner dragged onto its own corner pixel changes nothing.
    const std::pair<MP::MovePoint, wxPoint> corners[] = {{MP::TopLeftPoint, {100, 100}},
        {MP::TopRightPoint, {199, 100}}, {MP::BottomRightPoint, {199, 199}}, {MP::BottomLeftPoint, {100, 199}}};
    for (auto [corner, at] : corners)
        EXPECT_EQ(c, MoveCropPoint(corner, at, c, c, picture, false)) << corner;
    // A rectangle one pixel wide has no diagonal; the drag goes on freely.
    const wxRect thin(10, 10, 1, 50);
    EXPECT_EQ(wxRect(10, 10, 40, 80), MoveCropPoint(MP::BottomRightPoint, {49, 89}, thin, thin, picture, true));
}

// Proportional corner drags: the opposite corner stays, the height follows
// the start's diagonal to within a pixel, and the drag stops at the
// picture's right edge.
TEST(CropGeometry, ProportionalCornerDragsFollowTheDiagonalWithinThePicture)
{
    const wxRect wide(100, 100, 160, 90), high(200, 200, 160, 90);
    const std::tuple<MP::MovePoint, wxRect, wxPoint> drags[] = {
        {MP::BottomRightPoint, wide, {299, 219}}, {MP::BottomRightPoint, wide, {419, 249}},
        {MP::BottomRightPoint, wide, {199, 299}}, {MP::BottomRightPoint, wide, {899, 699}},
        {MP::TopRightPoint, high, {999, -501}}};  // the other diagonal
    wxRect previousStart, r;  // moves from one start follow on from each other, as in a drag
    for (const auto& [corner, start, target] : drags) {
        r = MoveCropPoint(corner, target, start == previousStart ? r : start, start, wxSize(640, 480), true);
        previousStart = start;
        SCOPED_TRACE(testing::Message() << target.x << "," << target.y << " -> " << r.width << " x " << r.height);
        const bool topRight = corner == MP::TopRightPoint;
        EXPECT_EQ(start.x, r.x);
        EXPECT_EQ(topRight ? start.GetBottom() : start.y, topRight ? r.GetBottom() : r.y);
        EXPECT_NEAR(1 + (r.width - 1) * 89.0 / 159, r.height, 1.0);
        EXPECT_EQ(target.x >= 640 ? 639 : target.x, r.GetRight());
    }
}

// Blocks of 80 x 80 pixels, each in its own colour, so that scaled pixels
// can be told apart without depending on the scaler's sampling.
wxColour BlockColour(int column, int row) { return wxColour(30 + column * 25, 40 + row * 30, 200 - column * 10); }

wxColour Lightened(const wxColour& c)  // 60 of 255 toward white
{
    auto mix = [](int v) { return static_cast<unsigned char>((v * 195 + 255 * 60) / 255); };
    return wxColour(mix(c.Red()), mix(c.Green()), mix(c.Blue()));
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

class CropEditorTest : public ::testing::Test {
protected:
    // 642 x 482 shows a 640 x 480 picture at (1, 1) at its own size, so
    // client point p is picture pixel p - (1, 1).
    CropEditorTest() { m_Crop = new SelectCropCtrl(m_Frame.Panel(), wxID_ANY, wxPoint(0, 0), wxSize(642, 482)); }

    void Start(const wxRect& crop)
    {
        m_Crop->SetImage(BlockPicture(640, 480));
        m_Crop->SetCropRect(crop);
    }
    // Screen centre of a handle of the current rectangle.
    wxPoint Handle(SelectCropCtrl::MovePoint point) const
    {
        wxRect s = m_Crop->CalcScaledCropRect(m_Crop->CalcImagePosition(m_Crop->GetClientRect()));
        return CalcMovePointPosition(point, s).GetPosition() + wxPoint(4, 4);
    }
    void Drag(wxPoint from, wxPoint to)
    {
        Press(m_Crop, from);
        Move(m_Crop, to);
        Release(m_Crop, to);
    }
    wxImage Paint() { return Render(m_Crop->GetClientSize(), [this](wxDC& dc) { m_Crop->Paint(dc); }); }

    TestFrame m_Frame;
    SelectCropCtrl* m_Crop;
};

TEST_F(CropEditorTest, CropRectangleFollowsThePictureAndTheCropSwitch)
{
    m_Crop->SetCropRect(wxRect(1, 2, 3, 4));  // no picture: ignored
    EXPECT_EQ(wxRect(), m_Crop->GetCropRect());
    m_Crop->SetImage(BlockPicture(640, 480));
    EXPECT_EQ(wxRect(0, 0, 640, 480), m_Crop->GetCropRect());
    m_Crop->SetCropRect(wxRect(600, 400, 100, 100));  // clipped to the picture
    EXPECT_EQ(wxRect(600, 400, 40, 80), m_Crop->GetCropRect());

    m_Crop->SetCropRect(wxRect(10, 20, 300, 200));
    m_Crop->DisableCrop();
    EXPECT_EQ(wxRect(0, 0, 640, 480), m_Crop->GetCropRect());
    m_Crop->SetCropRect(wxRect(50, 50, 50, 50));  // kept aside while disabled
    m_Crop->EnableCrop();
    EXPECT_EQ(wxRect(10, 20, 300, 200), m_Crop->GetCropRect());
    m_Crop->SetImage(BlockPicture(320, 240));  // a new picture starts with the whole of it
    EXPECT_EQ(wxRect(0, 0, 320, 240), m_Crop->GetCropRect());
    m_Crop->SetImage(wxNullBitmap);  // losing the picture empties the crop
    EXPECT_EQ(wxRect(), m_Crop->GetCropRect());

    // A picture shown wider than its pixels: the rectangle stays in its
    // pixels, and an edge dragged half across the shown picture cuts half
    // of the pixels.
    m_Crop->SetImage(BlockPicture(854, 480), wxSize(720, 480));
    EXPECT_EQ(wxRect(0, 0, 720, 480), m_Crop->GetCropRect());
    wxRect shown = m_Crop->CalcImagePosition(m_Crop->GetClientRect());
    wxPoint left = Handle(SelectCropCtrl::LeftPoint);
    Drag(left, left + wxPoint(shown.width / 2, 0));
    EXPECT_NEAR(m_Crop->GetCropRect().x, 360, 2);
    EXPECT_EQ(m_Crop->GetCropRect().GetRight(), 719);
}

// Drags from the rectangle (100, 100, 100, 100): where the rectangle ends
// up, and whether the drag reported it. Moves are from the grabbed handle's
// centre; Ctrl keeps a corner drag's proportions.
TEST_F(CropEditorTest, DragsMoveTheRectangleAndReportOnlyAChange)
{
    int reports = 0;
    m_Frame.Panel()->Bind(wxCROP_RECT_CHANGED, [&](wxCommandEvent& e) {
        EXPECT_EQ(m_Crop, e.GetEventObject());
        ++reports;
    });
    const struct { const char* what; SelectCropCtrl::MovePoint handle; std::vector<wxPoint> moves; bool ctrl, lost;
                   wxRect result; } drags[] = {
        {"left edge to the minimum and out", SelectCropCtrl::LeftPoint, {{90, 0}, {-40, 0}}, false, false, {60, 100, 140, 100}},
        {"inside, pressed and released in place", SelectCropCtrl::CenterPoint, {{0, 0}}, false, false, {100, 100, 100, 100}},
        {"inside, past the far corner", SelectCropCtrl::CenterPoint, {{800, 800}}, false, false, {540, 380, 100, 100}},
        {"inside, cut short by a lost capture", SelectCropCtrl::CenterPoint, {{20, -10}}, false, true, {120, 90, 100, 100}},
        {"corner", SelectCropCtrl::BottomRightPoint, {{700, 200}}, false, false, {100, 100, 540, 300}},
        {"corner with Ctrl", SelectCropCtrl::BottomRightPoint, {{700, 200}}, true, false, {100, 100, 380, 380}},
    };
    for (const auto& d : drags) {
        SCOPED_TRACE(d.what);
        reports = 0;
        Start(wxRect(100, 100, 100, 100));  // setters report nothing
        const wxPoint from = Handle(d.handle);
        Press(m_Crop, from, d.ctrl);
        EXPECT_TRUE(m_Crop->HasCapture());
        for (wxPoint by : d.moves)
            Move(m_Crop, from + by, d.ctrl);
        if (d.lost) {
            wxMouseCaptureLostEvent lost(m_Crop->GetId());
            m_Crop->GetEventHandler()->ProcessEvent(lost);
            m_Crop->ReleaseMouse();
        } else {
            Release(m_Crop, from);
        }
        EXPECT_FALSE(m_Crop->HasCapture());
        EXPECT_EQ(d.result, m_Crop->GetCropRect());
        EXPECT_EQ(d.result == wxRect(100, 100, 100, 100) ? 0 : 1, reports);
        Move(m_Crop, from + wxPoint(30, 30));  // the drag is over
        EXPECT_EQ(d.result, m_Crop->GetCropRect());
    }
}

TEST_F(CropEditorTest, PressesThatStartNothingAndReleasesThatFreeTheMouse)
{
    Start(wxRect(100, 100, 100, 100));
    Press(m_Crop, wxPoint(500, 400));  // outside the rectangle
    EXPECT_FALSE(m_Crop->HasCapture());
    Drag(wxPoint(500, 400), wxPoint(50, 50));
    m_Crop->DisableCrop();  // any press while cropping is off
    Drag(wxPoint(150, 150), wxPoint(50, 50));
    m_Crop->EnableCrop();
    EXPECT_EQ(wxRect(100, 100, 100, 100), m_Crop->GetCropRect());

    // Cropping switched off mid-drag: the release still frees the mouse.
    Press(m_Crop, wxPoint(150, 150));
    EXPECT_TRUE(m_Crop->HasCapture());
    m_Crop->DisableCrop();
    Release(m_Crop, wxPoint(150, 150));
    EXPECT_FALSE(m_Crop->HasCapture());

    // A tiny control has an empty placement: it paints only its background
    // and gives nothing to drag.
    m_Crop->EnableCrop();
    m_Crop->SetSize(2, 2);
    Start(wxRect(100, 100, 100, 100));
    EXPECT_EQ(*wxWHITE, PixelAt(Paint(), 0, 0));
    Drag(wxPoint(1, 1), wxPoint(0, 0));
    EXPECT_EQ(wxRect(100, 100, 100, 100), m_Crop->GetCropRect());
    EXPECT_FALSE(m_Crop->HasCapture());
}

TEST_F(CropEditorTest, PaintsTheCropAreaInTrueColoursAndLightensTheRest)
{
    m_Crop->SetSize(322, 242);  // placement (1, 1, 320, 240): half size
    m_Crop->SetBGColor(wxColour(50, 60, 70));
    Start(wxRect(160, 80, 320, 240));
    wxImage image = Paint();
    SaveScreenshot(image, "crop-editor.png");

    // Client (x, y) shows picture pixel ((x - 1) * 2, (y - 1) * 2); block
    // centres are at client 21 + 40 * i.
    for (int column = 0; column < 8; ++column)
        for (int row = 0; row < 6; ++row) {
            bool inside = column >= 2 && column < 6 && row >= 1 && row < 4;
            wxColour expected = inside ? BlockColour(column, row) : Lightened(BlockColour(column, row));
            EXPECT_EQ(expected, PixelAt(image, 21 + 40 * column, 21 + 40 * row)) << column << ", " << row;
        }

    // Handles: black border, white inside, where the geometry puts them.
    const wxRect s = m_Crop->CalcScaledCropRect(wxRect(1, 1, 320, 240));
    EXPECT_EQ(wxRect(82, 42, 158, 118), s);
    for (int h = SelectCropCtrl::TopLeftPoint; h <= SelectCropCtrl::LeftPoint; ++h) {
        wxRect q = CalcMovePointPosition(static_cast<SelectCropCtrl::MovePoint>(h), s);
        for (wxPoint border : {wxPoint(q.x, q.y + 4), wxPoint(q.GetRight(), q.y + 4), wxPoint(q.x + 4, q.GetBottom())})
            EXPECT_EQ(*wxBLACK, PixelAt(image, border.x, border.y)) << h;
        EXPECT_EQ(*wxWHITE, PixelAt(image, q.x + 1, q.y + 1)) << h;
    }
    // The crop area begins right inside the top-left handle's square.
    EXPECT_EQ(BlockColour(2, 1), PixelAt(image, s.x + 4, s.y + 4));
    EXPECT_EQ(Lightened(BlockColour(1, 0)), PixelAt(image, s.x - 8, s.y - 8));

    // Turning cropping off shows the whole picture as it is, no handles.
    m_Crop->DisableCrop();
    image = Paint();
    EXPECT_EQ(BlockColour(0, 0), PixelAt(image, 21, 21));
    EXPECT_EQ(BlockColour(2, 1), PixelAt(image, s.x + 4, s.y + 4));

    // A portrait picture (placed at (71, 1, 180, 240)) leaves the background
    // colour at the sides, inside the white outline.
    m_Crop->SetImage(BlockPicture(480, 640));
    image = Paint();
    EXPECT_EQ(*wxWHITE, PixelAt(image, 0, 120));
    for (int x : {30, 300})
        EXPECT_EQ(wxColour(50, 60, 70), PixelAt(image, x, 120));
    EXPECT_NE(wxColour(50, 60, 70), PixelAt(image, 160, 120));
}

// The picture view, as the about box uses it: a bitmap sizes the control
// exactly, in place, and an invalid one is ignored. A stand-in picture keeps
// its middle and is marked in its corner and along its edges.
TEST(ImageView, ABitmapSizesTheControlAndAStandInIsMarkedAtItsEdgeAndCorner)
{
    TestFrame frame;
    auto* view = new ImageViewCtrl(frame.Panel(), 0, wxPoint(5, 7), wxSize(120, 60));
    auto paint = [view] { return Render(view->GetClientSize(), [view](wxDC& dc) { view->Paint(dc); }, *wxBLUE); };
    view->SetImage(wxNullBitmap, true);
    EXPECT_EQ(wxSize(120, 60), view->GetSize());
    EXPECT_EQ(*wxBLUE, PixelAt(paint(), 60, 30));
    wxImage red(240, 135);
    red.SetRGB(wxRect(0, 0, 240, 135), 255, 0, 0);
    view->SetImage(wxBitmap(red), true);
    for (wxSize size : {view->GetSize(), view->GetMinSize(), view->GetMaxSize()})
        EXPECT_EQ(wxSize(240, 135), size);
    EXPECT_EQ(wxPoint(5, 7), view->GetPosition());
    EXPECT_EQ(*wxRED, PixelAt(paint(), 0, 0));

    wxImage marked = ImageViewCtrl::MarkApproximate(red).ConvertToImage();
    ASSERT_EQ(red.GetSize(), marked.GetSize());
    EXPECT_EQ(*wxRED, PixelAt(marked, 120, 67));
    EXPECT_NE(*wxRED, PixelAt(marked, 0, 67));
    EXPECT_NE(*wxRED, PixelAt(marked, 6, 6));
    EXPECT_FALSE(ImageViewCtrl::MarkApproximate(wxImage()).IsOk());
}

}  // namespace
