#include <gtest/gtest.h>

#include <vector>

#include "ControlTestSupport.h"
#include "controls/RangeBarCtrl.h"

namespace {

// Geometry of a 400-pixel-wide bar whose labels are 17 pixels high.
const wxSize arrow(17, 19);
const int labelHeight = 17;
const int height = RangeBarGeometry::ControlHeight(arrow, labelHeight);

TEST(RangeBarGeometry, TimelineLiesBetweenTheArrowRowsAndTimeMapsOntoIt)
{
    RangeBarGeometry g(wxRect(0, 0, 400, height), arrow, labelHeight, 0.0, 60.0);
    EXPECT_EQ(84, height);
    EXPECT_EQ(wxRect(8, 39, 383, 6), g.TimelineRect());

    EXPECT_EQ(8, g.TimeToX(0.0));
    EXPECT_EQ(8 + 191, g.TimeToX(30.0));  // (383 - 1) * 0.5
    EXPECT_EQ(8 + 382, g.TimeToX(60.0));  // last pixel of the bar
    EXPECT_DOUBLE_EQ(0.0, g.XToTime(8));
    EXPECT_DOUBLE_EQ(60.0, g.XToTime(8 + 383));  // x to time divides by the full width
    for (int x = 8; x < 8 + 383; x += 17)
        EXPECT_NEAR(x, g.TimeToX(g.XToTime(x)), 1) << x;

    RangeBarGeometry zoomed(wxRect(0, 0, 400, height), arrow, labelHeight, 5.5, 44.5);
    EXPECT_EQ(8, zoomed.TimeToX(5.5));
    EXPECT_DOUBLE_EQ(5.5, zoomed.XToTime(8));
    EXPECT_LT(zoomed.XToTime(0), 5.5);
}

TEST(RangeBarGeometry, ArrowsHangBelowAndAboveTheBarAndOverlapsFavourCurrentThenEnd)
{
    RangeBarGeometry g(wxRect(0, 0, 400, height), arrow, labelHeight, 0.0, 60.0);
    EXPECT_EQ(wxRect(199 - 8, 44, 17, 19), g.ArrowRect(RangeBarGeometry::BeginArrow, 30.0));
    EXPECT_EQ(wxRect(199 - 8, 44, 17, 19), g.ArrowRect(RangeBarGeometry::EndArrow, 30.0));
    EXPECT_EQ(wxRect(199 - 8, 21, 17, 19), g.ArrowRect(RangeBarGeometry::CurrentArrow, 30.0));
    EXPECT_EQ(wxRect(), g.ArrowRect(RangeBarGeometry::NoArrow, 30.0));

    // Begin and end at the same time: the end arrow is on top.
    EXPECT_EQ(RangeBarGeometry::EndArrow, g.ArrowAt(wxPoint(199, 50), 30.0, 30.0, 30.0));
    EXPECT_EQ(RangeBarGeometry::BeginArrow, g.ArrowAt(wxPoint(199, 50), 30.0, 40.0, 30.0));
    EXPECT_EQ(RangeBarGeometry::CurrentArrow, g.ArrowAt(wxPoint(199, 30), 30.0, 30.0, 30.0));
    // The bottom row of the current arrow is the bar's top row.
    EXPECT_EQ(RangeBarGeometry::CurrentArrow, g.ArrowAt(wxPoint(199, 39), 0.0, 60.0, 30.0));
    EXPECT_EQ(RangeBarGeometry::NoArrow, g.ArrowAt(wxPoint(199, 41), 0.0, 60.0, 30.0));
    EXPECT_EQ(RangeBarGeometry::NoArrow, g.ArrowAt(wxPoint(250, 50), 0.0, 60.0, 30.0));
}

TEST(RangeBarGeometry, TimeLabelsAreShiftedInsideTheClientArea)
{
    const wxSize text(20, 15);
    TimeLabelShape middle = CalcTimeLabelShape(text, 200, 70, false, 400);
    EXPECT_EQ(wxRect(180, 70, 19, 19), middle.leftCircle);
    EXPECT_EQ(wxRect(204, 70, 19, 19), middle.rightCircle);
    EXPECT_EQ(wxRect(189, 70, 24, 19), middle.middle);
    EXPECT_EQ(wxPoint(192, 71), middle.textOrigin);

    TimeLabelShape left = CalcTimeLabelShape(text, 8, 70, false, 400);
    EXPECT_EQ(0, left.leftCircle.x);

    TimeLabelShape right = CalcTimeLabelShape(text, 390, 70, false, 400);
    EXPECT_EQ(399, right.rightCircle.GetRight());
    EXPECT_GE(399, right.middle.GetRight());

    // Above the bar, y is the label's bottom line.
    EXPECT_EQ(70 - 19, CalcTimeLabelShape(text, 200, 70, true, 400).middle.y);
    // Short texts get a capsule as wide as a 15-pixel text.
    EXPECT_EQ(19, CalcTimeLabelShape(wxSize(6, 15), 200, 70, false, 400).middle.width);
}

class RangeBarTest : public ::testing::Test {
protected:
    RangeBarTest()
    {
        m_Bar = new RangeBarCtrl(m_Frame.Panel(), 1006, wxPoint(10, 10), wxSize(400, -1));
        m_Frame.Panel()->Bind(wxBEGIN_TIME_ARROW_MOVED, [this](wxCommandEvent& e) { Record("begin", e); });
        m_Frame.Panel()->Bind(wxEND_TIME_ARROW_MOVED, [this](wxCommandEvent& e) { Record("end", e); });
        m_Frame.Panel()->Bind(wxCURRENT_TIME_ARROW_MOVED, [this](wxCommandEvent& e) { Record("current", e); });
    }

    void Record(const char* what, wxCommandEvent& event)
    {
        EXPECT_EQ(m_Bar, event.GetEventObject());
        EXPECT_EQ(1006, event.GetId());
        m_Events.push_back(what);
    }

    wxRect Client() const { return m_Bar->GetClientRect(); }
    wxRect Bar() const { return m_Bar->CalcTimelineRect(Client()); }
    wxPoint ArrowCentre(RangeBarCtrl::DraggedArrow a) const
    {
        wxRect r = m_Bar->CalcArrowRect(a, Client());
        return wxPoint(r.x + 8, r.y + 9);
    }
    // A point at `time` on the bar, away from every arrow.
    wxPoint OnBar(double time) const
    {
        RangeBarGeometry g(Client(), RangeBarCtrl::ArrowSize, m_Bar->GetCharHeight() + 2,
                           m_Bar->GetVisibleStart(), m_Bar->GetVisibleEnd());
        return wxPoint(g.TimeToX(time), Bar().y + 3);
    }
    int XOf(double time) const { return OnBar(time).x; }
    // Pixel width in seconds at the current zoom.
    double Pixel() const
    {
        return (m_Bar->GetVisibleEnd() - m_Bar->GetVisibleStart()) / Bar().width;
    }

    using Events = std::vector<std::string>;
    TestFrame m_Frame;
    RangeBarCtrl* m_Bar;
    Events m_Events;
};

TEST_F(RangeBarTest, HasAFixedHeightAndStartsWithTheDesignDefaults)
{
    const int h = 2 * m_Bar->GetCharHeight() + 54;
    EXPECT_EQ(wxSize(80, h), m_Bar->GetMinSize());
    EXPECT_EQ(wxSize(2048, h), m_Bar->GetMaxSize());
    EXPECT_EQ(wxSize(400, h), m_Bar->GetSize());
    EXPECT_EQ(6, Bar().height);
    EXPECT_DOUBLE_EQ(1.0, m_Bar->GetMediaTime());
    EXPECT_DOUBLE_EQ(0.3, m_Bar->GetSelectionStart());
    EXPECT_DOUBLE_EQ(0.7, m_Bar->GetSelectionEnd());
    EXPECT_DOUBLE_EQ(0.5, m_Bar->GetCurrentTime());
    EXPECT_TRUE(m_Bar->IsSendEventsOnlyOnEndDrag());
}

TEST_F(RangeBarTest, SettersKeepTheCurrentTimeInsideTheSelectionAndSendNothing)
{
    m_Bar->SetMediaTime(0);
    EXPECT_DOUBLE_EQ(1.0, m_Bar->GetMediaTime());
    EXPECT_DOUBLE_EQ(0.0, m_Bar->GetSelectionStart());
    EXPECT_DOUBLE_EQ(1.0, m_Bar->GetSelectionEnd());
    EXPECT_DOUBLE_EQ(0.5, m_Bar->GetCurrentTime());

    m_Bar->SetMediaTime(-3);  // a broken duration still gives a usable bar
    EXPECT_DOUBLE_EQ(1.0, m_Bar->GetMediaTime());

    m_Bar->SetMediaTime(60);
    EXPECT_DOUBLE_EQ(0.0, m_Bar->GetSelectionStart());
    EXPECT_DOUBLE_EQ(60.0, m_Bar->GetSelectionEnd());
    EXPECT_DOUBLE_EQ(30.0, m_Bar->GetCurrentTime());
    EXPECT_DOUBLE_EQ(0.0, m_Bar->GetVisibleStart());
    EXPECT_DOUBLE_EQ(60.0, m_Bar->GetVisibleEnd());

    m_Bar->SetCurrentTime(50);
    m_Bar->SetSelection(40, 10);
    EXPECT_DOUBLE_EQ(10.0, m_Bar->GetSelectionStart());
    EXPECT_DOUBLE_EQ(40.0, m_Bar->GetSelectionEnd());
    EXPECT_DOUBLE_EQ(40.0, m_Bar->GetCurrentTime());
    m_Bar->SetCurrentTime(2);
    EXPECT_DOUBLE_EQ(10.0, m_Bar->GetCurrentTime());

    m_Bar->SetSelection(-5, 75);  // confined to the visible span, not just the media
    EXPECT_DOUBLE_EQ(0.0, m_Bar->GetSelectionStart());
    EXPECT_DOUBLE_EQ(60.0, m_Bar->GetSelectionEnd());
    m_Bar->SetSendEventsOnlyOnEndDrag(false);
    EXPECT_FALSE(m_Bar->IsSendEventsOnlyOnEndDrag());
    EXPECT_TRUE(m_Events.empty());
}

TEST_F(RangeBarTest, ZoomingFitsTheSelectionWithAMarginAndComesBack)
{
    m_Bar->SetMediaTime(60);
    m_Bar->SetSelection(10, 40);
    m_Bar->FitToSelection();
    EXPECT_DOUBLE_EQ(5.5, m_Bar->GetVisibleStart());
    EXPECT_DOUBLE_EQ(44.5, m_Bar->GetVisibleEnd());

    // Selections are now confined to the zoomed span.
    m_Bar->SetSelection(0, 60);
    EXPECT_DOUBLE_EQ(5.5, m_Bar->GetSelectionStart());
    EXPECT_DOUBLE_EQ(44.5, m_Bar->GetSelectionEnd());

    m_Bar->FitToMediaTime();
    EXPECT_DOUBLE_EQ(0.0, m_Bar->GetVisibleStart());
    EXPECT_DOUBLE_EQ(60.0, m_Bar->GetVisibleEnd());

    m_Bar->SetSelection(20, 20);
    m_Bar->FitToSelection();
    EXPECT_NEAR(19.94, m_Bar->GetVisibleStart(), 1e-9);
    EXPECT_NEAR(20.06, m_Bar->GetVisibleEnd(), 1e-9);

    // A span of a second or less is not zoomed further.
    m_Bar->SetMediaTime(1.0);
    m_Bar->SetSelection(0.2, 0.4);
    m_Bar->FitToSelection();
    EXPECT_DOUBLE_EQ(0.0, m_Bar->GetVisibleStart());
    EXPECT_DOUBLE_EQ(1.0, m_Bar->GetVisibleEnd());

    // Near the ends the margin is cut at the media's bounds.
    m_Bar->SetMediaTime(60);
    m_Bar->SetSelection(1, 59);
    m_Bar->FitToSelection();
    EXPECT_DOUBLE_EQ(0.0, m_Bar->GetVisibleStart());
    EXPECT_DOUBLE_EQ(60.0, m_Bar->GetVisibleEnd());
    EXPECT_TRUE(m_Events.empty());
}

TEST_F(RangeBarTest, EndOfDragModeReportsOnceAtReleaseEndThenCurrent)
{
    m_Bar->SetMediaTime(60);  // selection 0-60, current 30
    Press(m_Bar, ArrowCentre(RangeBarCtrl::EndArrow));
    EXPECT_TRUE(m_Bar->HasCapture());
    Move(m_Bar, OnBar(45));
    Move(m_Bar, OnBar(10));
    EXPECT_TRUE(m_Events.empty());
    EXPECT_NEAR(10.0, m_Bar->GetSelectionEnd(), Pixel());
    EXPECT_DOUBLE_EQ(m_Bar->GetSelectionEnd(), m_Bar->GetCurrentTime());  // pushed along

    Release(m_Bar, OnBar(10));
    EXPECT_EQ((Events{"end", "current"}), m_Events);
    EXPECT_FALSE(m_Bar->HasCapture());

    // Further moves without a press change nothing.
    Move(m_Bar, OnBar(50));
    EXPECT_NEAR(10.0, m_Bar->GetSelectionEnd(), Pixel());
}

TEST_F(RangeBarTest, ImmediateModeReportsEveryMoveAndCurrentOnlyWhenItChanged)
{
    m_Bar->SetMediaTime(60);
    m_Bar->SetSendEventsOnlyOnEndDrag(false);
    Press(m_Bar, ArrowCentre(RangeBarCtrl::EndArrow));
    EXPECT_TRUE(m_Events.empty());
    Move(m_Bar, OnBar(45));
    EXPECT_EQ((Events{"end"}), m_Events);
    Move(m_Bar, OnBar(10));
    EXPECT_EQ((Events{"end", "end", "current"}), m_Events);
    Release(m_Bar, OnBar(10));
    EXPECT_EQ(3u, m_Events.size());

    m_Events.clear();
    Press(m_Bar, ArrowCentre(RangeBarCtrl::BeginArrow));
    Move(m_Bar, OnBar(5));
    Release(m_Bar, OnBar(5));
    EXPECT_EQ((Events{"begin"}), m_Events);
    EXPECT_NEAR(5.0, m_Bar->GetSelectionStart(), Pixel());
}

TEST_F(RangeBarTest, APressOffTheArrowsMovesTheCurrentTimeThereAndDragsIt)
{
    m_Bar->SetMediaTime(60);
    m_Bar->SetSelection(20, 40);
    Press(m_Bar, OnBar(5));  // left of the selection: stops at its start
    EXPECT_DOUBLE_EQ(20.0, m_Bar->GetCurrentTime());
    EXPECT_TRUE(m_Events.empty());
    Move(m_Bar, OnBar(55));  // past the end: stops at the end
    EXPECT_DOUBLE_EQ(40.0, m_Bar->GetCurrentTime());
    Move(m_Bar, OnBar(33));
    EXPECT_NEAR(33.0, m_Bar->GetCurrentTime(), Pixel());
    Release(m_Bar, OnBar(33));
    EXPECT_EQ((Events{"current"}), m_Events);

    // Grabbing the current-time arrow and letting go reports nothing.
    m_Events.clear();
    Press(m_Bar, ArrowCentre(RangeBarCtrl::CurrentArrow));
    Release(m_Bar, ArrowCentre(RangeBarCtrl::CurrentArrow));
    EXPECT_TRUE(m_Events.empty());
}

TEST_F(RangeBarTest, AnArrowPressedAndReleasedInPlaceStillReportsItsArrow)
{
    m_Bar->SetMediaTime(60);
    m_Bar->SetSelection(10, 50);
    Press(m_Bar, ArrowCentre(RangeBarCtrl::BeginArrow));
    Release(m_Bar, ArrowCentre(RangeBarCtrl::BeginArrow));
    EXPECT_EQ((Events{"begin"}), m_Events);
    EXPECT_DOUBLE_EQ(10.0, m_Bar->GetSelectionStart());
}

TEST_F(RangeBarTest, AfterZoomingTheBeginArrowCannotLeaveTheVisibleSpan)
{
    m_Bar->SetMediaTime(60);
    m_Bar->SetSelection(10, 40);
    m_Bar->FitToSelection();
    Press(m_Bar, ArrowCentre(RangeBarCtrl::BeginArrow));
    Move(m_Bar, wxPoint(0, Bar().y + 20));
    Move(m_Bar, wxPoint(-50, Bar().y + 20));  // captured moves can leave the window
    EXPECT_DOUBLE_EQ(5.5, m_Bar->GetSelectionStart());
    Release(m_Bar, wxPoint(-50, Bar().y + 20));
    EXPECT_EQ((Events{"begin"}), m_Events);
}

TEST_F(RangeBarTest, LosingTheCaptureEndsTheDragLikeARelease)
{
    m_Bar->SetMediaTime(60);
    Press(m_Bar, ArrowCentre(RangeBarCtrl::EndArrow));
    Move(m_Bar, OnBar(20));
    wxMouseCaptureLostEvent lost(m_Bar->GetId());
    lost.SetEventObject(m_Bar);
    m_Bar->GetEventHandler()->ProcessEvent(lost);
    EXPECT_EQ((Events{"end", "current"}), m_Events);
    Move(m_Bar, OnBar(50));  // no longer dragging
    EXPECT_NEAR(20.0, m_Bar->GetSelectionEnd(), Pixel());
    if (m_Bar->HasCapture())
        m_Bar->ReleaseMouse();
}

TEST_F(RangeBarTest, AReleaseWithoutAPressReportsNothing)
{
    m_Bar->SetMediaTime(60);
    m_Bar->SetCurrentTime(12);
    Release(m_Bar, OnBar(40));
    EXPECT_TRUE(m_Events.empty());
    EXPECT_FALSE(m_Bar->HasCapture());
}

TEST_F(RangeBarTest, PaintsTheSelectionInItsColourBetweenTheArrows)
{
    m_Bar->SetBackgroundColour(wxColour(240, 240, 240));
    m_Bar->SetMediaTime(60);
    m_Bar->SetSelection(15, 45);
    m_Bar->SetCurrentTime(35);
    wxImage image = Render(m_Bar->GetClientSize(), [this](wxDC& dc) { m_Bar->Paint(dc); });
    if (getenv("TELLAVOX_SCREENSHOTS"))
        image.SaveFile(TestOutputPath("range-bar.png"), wxBITMAP_TYPE_PNG);

    const wxRect bar = Bar();
    const int y = bar.y + 2;
    const int xs = XOf(15), xe = XOf(45), xc = XOf(35);
    const wxColour selected(120, 255, 120), unselected(120, 120, 255);
    for (int x = xs + 2; x < xe - 1; ++x) {
        if (x == xc)
            continue;  // the current-time marker
        EXPECT_EQ(selected, PixelAt(image, x, y)) << x;
    }
    for (int x = bar.x + 1; x < xs - 1; ++x)
        EXPECT_EQ(unselected, PixelAt(image, x, y)) << x;
    for (int x = xe + 2; x < bar.GetRight(); ++x)
        EXPECT_EQ(unselected, PixelAt(image, x, y)) << x;

    EXPECT_EQ(*wxBLACK, PixelAt(image, xc, y));  // the current-time marker

    // Each arrow is drawn in its own rectangle; its centre is the arrow's
    // body, and the corners beside its tip show the background.
    const wxColour background(240, 240, 240);
    for (auto a : {RangeBarCtrl::BeginArrow, RangeBarCtrl::EndArrow, RangeBarCtrl::CurrentArrow}) {
        wxPoint centre = ArrowCentre(a);
        wxColour body = PixelAt(image, centre.x, centre.y);
        EXPECT_NE(background, body);
        EXPECT_GT(body.Blue(), body.Red());
    }
    const wxRect begin = m_Bar->CalcArrowRect(RangeBarCtrl::BeginArrow, Client());
    EXPECT_EQ(background, PixelAt(image, begin.x, begin.y + 1));
    EXPECT_EQ(background, PixelAt(image, 2, 2));
    EXPECT_EQ(background, PixelAt(image, 398, Client().height - 2));

    // The labels' grey capsules below the selection ends.
    const int labelMiddle = bar.GetBottom() + 19 + 1 + m_Bar->GetCharHeight() / 2 + 3;
    EXPECT_EQ(wxColour(204, 204, 204), PixelAt(image, xs - 10, labelMiddle));
}

}  // namespace
