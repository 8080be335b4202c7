#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "ControlTestSupport.h"
#include "controls/RangeBarCtrl.h"

namespace {

using Geometry = RangeBarGeometry;

TEST(RangeBarGeometry, TimelineArrowsAndHitOrder)
{
    // A 400-pixel-wide bar with 17 x 19 arrows and labels 17 pixels high.
    const int height = Geometry::ControlHeight(wxSize(17, 19), 17);
    EXPECT_EQ(84, height);
    Geometry g(wxRect(0, 0, 400, height), wxSize(17, 19), 17, 0.0, 60.0);
    EXPECT_EQ(wxRect(8, 39, 383, 6), g.TimelineRect());
    EXPECT_EQ(8, g.TimeToX(0.0));
    EXPECT_EQ(8 + 191, g.TimeToX(30.0));
    EXPECT_EQ(8 + 382, g.TimeToX(60.0));  // last pixel of the bar
    EXPECT_DOUBLE_EQ(0.0, g.XToTime(8));
    EXPECT_DOUBLE_EQ(60.0, g.XToTime(8 + 383));  // x to time divides by the full width
    for (int x = 8; x < 8 + 383; x += 17)
        EXPECT_NEAR(x, g.TimeToX(g.XToTime(x)), 1) << x;
    Geometry zoomed(wxRect(0, 0, 400, height), wxSize(17, 19), 17, 5.5, 44.5);
    EXPECT_EQ(8, zoomed.TimeToX(5.5));
    EXPECT_LT(zoomed.XToTime(0), 5.5);

    // Begin and end arrows hang below the bar, the current one above it.
    EXPECT_EQ(wxRect(191, 44, 17, 19), g.ArrowRect(Geometry::BeginArrow, 30.0));
    EXPECT_EQ(wxRect(191, 44, 17, 19), g.ArrowRect(Geometry::EndArrow, 30.0));
    EXPECT_EQ(wxRect(191, 21, 17, 19), g.ArrowRect(Geometry::CurrentArrow, 30.0));
    EXPECT_EQ(wxRect(), g.ArrowRect(Geometry::NoArrow, 30.0));
    // Overlaps favour the current arrow, then the end arrow; the current
    // arrow's bottom row is the bar's top row.
    EXPECT_EQ(Geometry::EndArrow, g.ArrowAt(wxPoint(199, 50), 30.0, 30.0, 30.0));
    EXPECT_EQ(Geometry::BeginArrow, g.ArrowAt(wxPoint(199, 50), 30.0, 40.0, 30.0));
    EXPECT_EQ(Geometry::CurrentArrow, g.ArrowAt(wxPoint(199, 30), 30.0, 30.0, 30.0));
    EXPECT_EQ(Geometry::CurrentArrow, g.ArrowAt(wxPoint(199, 39), 0.0, 60.0, 30.0));
    EXPECT_EQ(Geometry::NoArrow, g.ArrowAt(wxPoint(199, 41), 0.0, 60.0, 30.0));
    EXPECT_EQ(Geometry::NoArrow, g.ArrowAt(wxPoint(250, 50), 0.0, 60.0, 30.0));
}

TEST(RangeBarGeometry, TimeLabelsStayInsideTheClientArea)
{
    const wxSize text(20, 15);
    EXPECT_EQ(0, CalcTimeLabelShape(text, 8, 70, false, 400).leftCircle.x);
    TimeLabelShape right = CalcTimeLabelShape(text, 390, 70, false, 400);
    EXPECT_EQ(399, right.rightCircle.GetRight());
    EXPECT_GE(399, right.middle.GetRight());
    EXPECT_EQ(70 - 19, CalcTimeLabelShape(text, 200, 70, true, 400).middle.y);  // above: y is the bottom
}

// The selection's labels, from far apart to a client too narrow for two.
TEST(RangeBarGeometry, TheRangeLabelsMoveApartOrMergeButNeverOverlap)
{
    const wxSize text(30, 15), merged(40, 15);
    struct Case {
        int xs, xe, width;
        bool merged;
    } cases[] = {{50, 300, 400, false}, {200, 206, 400, false}, {8, 12, 400, false},
                 {390, 395, 400, false}, {30, 40, 80, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.xs << ".." << c.xe << " in " << c.width);
        RangeLabelsShape labels = CalcRangeLabelsShape(text, text, merged, c.xs, c.xe, 70, c.width);
        EXPECT_EQ(c.merged, labels.merged);
        EXPECT_GE(labels.start.leftCircle.x, 0);
        EXPECT_LT(labels.end.rightCircle.GetRight(), c.width);
        if (!c.merged) {
            EXPECT_LT(labels.start.rightCircle.GetRight(), labels.end.leftCircle.x);
            EXPECT_LE(labels.start.middle.GetLeft(), std::max(c.xs, 9));  // each keeps to its side
            EXPECT_GE(labels.end.middle.GetRight(), std::min(c.xe, c.width - 12));
        }
    }
    // Labels with room keep their places.
    RangeLabelsShape apart = CalcRangeLabelsShape(text, text, merged, 50, 300, 70, 400);
    EXPECT_EQ(CalcTimeLabelShape(text, 50, 70, false, 400).middle, apart.start.middle);
    EXPECT_EQ(CalcTimeLabelShape(text, 300, 70, false, 400).middle, apart.end.middle);
}

class RangeBarTest : public ::testing::Test {
protected:
    using Events = std::vector<std::string>;

    RangeBarTest()
    {
        m_Bar = new RangeBarCtrl(m_Frame.Panel(), 1006, wxPoint(10, 10), wxSize(400, -1));
        const std::pair<wxEventTypeTag<wxCommandEvent>, const char*> kinds[] = {
            {wxBEGIN_TIME_ARROW_MOVED, "begin"}, {wxEND_TIME_ARROW_MOVED, "end"}, {wxCURRENT_TIME_ARROW_MOVED, "current"}};
        for (auto [type, name] : kinds)
            m_Frame.Panel()->Bind(type, [this, name = name](wxCommandEvent& e) {
                EXPECT_EQ(m_Bar, e.GetEventObject());
                EXPECT_EQ(1006, e.GetId());
                m_Events.push_back(name);
            });
    }

    wxRect Bar() const { return m_Bar->CalcTimelineRect(m_Bar->GetClientRect()); }
    wxPoint ArrowCentre(RangeBarCtrl::DraggedArrow a) const
    {
        return m_Bar->CalcArrowRect(a, m_Bar->GetClientRect()).GetPosition() + wxPoint(8, 9);
    }
    // A point at `time` on the bar, away from every arrow.
    wxPoint OnBar(double time) const
    {
        Geometry g(m_Bar->GetClientRect(), RangeBarCtrl::ArrowSize, m_Bar->GetCharHeight() + 2,
                   m_Bar->GetVisibleStart(), m_Bar->GetVisibleEnd());
        return wxPoint(g.TimeToX(time), Bar().y + 3);
    }
    double Pixel() const { return (m_Bar->GetVisibleEnd() - m_Bar->GetVisibleStart()) / Bar().width; }
    void Expect(double selectionStart, double selectionEnd, double visibleStart, double visibleEnd) const
    {
        EXPECT_DOUBLE_EQ(selectionStart, m_Bar->GetSelectionStart());
        EXPECT_DOUBLE_EQ(selectionEnd, m_Bar->GetSelectionEnd());
        EXPECT_DOUBLE_EQ(visibleStart, m_Bar->GetVisibleStart());
        EXPECT_DOUBLE_EQ(visibleEnd, m_Bar->GetVisibleEnd());
    }

    void Key(int code, bool shift = false)
    {
        wxKeyEvent event(code == '[' || code == ']' ? wxEVT_CHAR : wxEVT_KEY_DOWN);
        event.m_keyCode = code;
        event.m_uniChar = code;
        event.m_shiftDown = shift;
        event.SetEventObject(m_Bar);
        m_Bar->GetEventHandler()->ProcessEvent(event);
    }

    TestFrame m_Frame;
    RangeBarCtrl* m_Bar;
    Events m_Events;
};

TEST_F(RangeBarTest, SettersConfineTheTimesAndSendNothing)
{
    const int h = 2 * m_Bar->GetCharHeight() + 54;
    EXPECT_EQ(wxSize(80, h), m_Bar->GetMinSize());
    EXPECT_EQ(wxSize(2048, h), m_Bar->GetMaxSize());
    EXPECT_EQ(wxSize(400, h), m_Bar->GetSize());
    EXPECT_DOUBLE_EQ(1.0, m_Bar->GetMediaTime());
    Expect(0.3, 0.7, 0.0, 1.0);
    EXPECT_DOUBLE_EQ(0.5, m_Bar->GetCurrentTime());
    EXPECT_TRUE(m_Bar->IsSendEventsOnlyOnEndDrag());

    for (double broken : {0.0, -3.0}) {  // a broken duration still gives a usable bar
        m_Bar->SetMediaTime(broken);
        EXPECT_DOUBLE_EQ(1.0, m_Bar->GetMediaTime());
        Expect(0.0, 1.0, 0.0, 1.0);
    }
    m_Bar->SetMediaTime(60);
    Expect(0.0, 60.0, 0.0, 60.0);
    EXPECT_DOUBLE_EQ(30.0, m_Bar->GetCurrentTime());
    m_Bar->SetCurrentTime(50);
    m_Bar->SetSelection(40, 10);  // ordered; the current time follows into it
    Expect(10.0, 40.0, 0.0, 60.0);
    EXPECT_DOUBLE_EQ(40.0, m_Bar->GetCurrentTime());
    m_Bar->SetCurrentTime(2);
    EXPECT_DOUBLE_EQ(10.0, m_Bar->GetCurrentTime());
    m_Bar->SetSelection(-5, 75);
    Expect(0.0, 60.0, 0.0, 60.0);

    // Zooming fits the selection with a margin of 15 %, and confines
    // selections to the visible span.
    m_Bar->SetSelection(10, 40);
    m_Bar->FitToSelection();
    m_Bar->SetSelection(0, 60);
    Expect(5.5, 44.5, 5.5, 44.5);
    m_Bar->FitToMediaTime();
    Expect(5.5, 44.5, 0.0, 60.0);
    m_Bar->SetSelection(20, 20);
    m_Bar->FitToSelection();
    EXPECT_NEAR(19.94, m_Bar->GetVisibleStart(), 1e-9);
    EXPECT_NEAR(20.06, m_Bar->GetVisibleEnd(), 1e-9);
    m_Bar->FitToMediaTime();
    m_Bar->SetSelection(1, 59);  // near the ends the margin is cut at the media's bounds
    m_Bar->FitToSelection();
    Expect(1.0, 59.0, 0.0, 60.0);
    m_Bar->SetMediaTime(1.0);  // a span of a second or less is not zoomed further
    m_Bar->SetSelection(0.2, 0.4);
    m_Bar->FitToSelection();
    Expect(0.2, 0.4, 0.0, 1.0);
    EXPECT_TRUE(m_Events.empty());
}

TEST_F(RangeBarTest, WithoutMediaTheBarKeepsNothingAndTakesNoInput)
{
    EXPECT_FALSE(m_Bar->HasMedia());
    m_Bar->SetMediaTime(60);
    m_Bar->SetFrameRate(25);
    m_Bar->SetSelection(10, 20);
    m_Bar->FitToSelection();
    EXPECT_TRUE(m_Bar->HasMedia());
    m_Bar->ClearMedia();
    EXPECT_FALSE(m_Bar->HasMedia());
    EXPECT_DOUBLE_EQ(1.0, m_Bar->GetMediaTime());
    EXPECT_DOUBLE_EQ(0.0, m_Bar->GetFrameRate());
    Expect(0.3, 0.7, 0.0, 1.0);
    Press(m_Bar, OnBar(0.6));
    Release(m_Bar, OnBar(0.6));
    Key(WXK_RIGHT);
    Key('[');
    EXPECT_DOUBLE_EQ(0.5, m_Bar->GetCurrentTime());
    Expect(0.3, 0.7, 0.0, 1.0);
    EXPECT_TRUE(m_Events.empty());
    // Only the empty bar is drawn: no label anywhere.
    wxImage image = Render(m_Bar->GetClientSize(), [this](wxDC& dc) { m_Bar->Paint(dc); }, *wxWHITE);
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            ASSERT_NE(wxColour(204, 204, 204), PixelAt(image, x, y)) << x << "," << y;
}

TEST_F(RangeBarTest, ArrowDragsReportAtReleaseOrOnEveryMoveByMode)
{
    for (bool onlyOnEnd : {true, false}) {
        SCOPED_TRACE(onlyOnEnd ? "end of drag" : "immediate");
        m_Events.clear();
        m_Bar->SetSendEventsOnlyOnEndDrag(onlyOnEnd);
        m_Bar->SetMediaTime(60);  // selection 0-60, current 30
        Release(m_Bar, OnBar(40));  // a release without a press reports nothing
        EXPECT_TRUE(m_Events.empty());

        Press(m_Bar, ArrowCentre(RangeBarCtrl::EndArrow));
        EXPECT_TRUE(m_Bar->HasCapture());
        Move(m_Bar, OnBar(45));
        const Events afterFirstMove = m_Events;
        Move(m_Bar, OnBar(10));
        const Events afterSecondMove = m_Events;
        EXPECT_NEAR(10.0, m_Bar->GetSelectionEnd(), Pixel());
        EXPECT_DOUBLE_EQ(m_Bar->GetSelectionEnd(), m_Bar->GetCurrentTime());  // pushed along
        Release(m_Bar, OnBar(10));
        EXPECT_FALSE(m_Bar->HasCapture());
        // Immediate: each move reports its arrow, the current time when it changed.
        EXPECT_EQ(onlyOnEnd ? Events{} : Events{"end"}, afterFirstMove);
        EXPECT_EQ((onlyOnEnd ? Events{} : Events{"end", "end", "current"}), afterSecondMove);
        EXPECT_EQ((onlyOnEnd ? Events{"end", "current"} : afterSecondMove), m_Events);
        Move(m_Bar, OnBar(50));  // moves without a press change nothing
        EXPECT_NEAR(10.0, m_Bar->GetSelectionEnd(), Pixel());

        m_Events.clear();  // an arrow pressed and released in place
        Press(m_Bar, ArrowCentre(RangeBarCtrl::BeginArrow));
        Release(m_Bar, ArrowCentre(RangeBarCtrl::BeginArrow));
        EXPECT_EQ(onlyOnEnd ? Events{"begin"} : Events{}, m_Events);
        EXPECT_DOUBLE_EQ(0.0, m_Bar->GetSelectionStart());

        m_Events.clear();  // the begin arrow, leaving the current time where it is
        Press(m_Bar, ArrowCentre(RangeBarCtrl::BeginArrow));
        Move(m_Bar, OnBar(5));
        Release(m_Bar, OnBar(5));
        EXPECT_EQ(Events{"begin"}, m_Events);
        EXPECT_NEAR(5.0, m_Bar->GetSelectionStart(), Pixel());
    }
}

TEST_F(RangeBarTest, PressOffTheArrowsZoomedDragsAndLostCapture)
{
    m_Bar->SetMediaTime(60);
    m_Bar->SetSelection(20, 40);
    Press(m_Bar, OnBar(5));  // moves the current time there, within the selection
    EXPECT_DOUBLE_EQ(20.0, m_Bar->GetCurrentTime());
    Move(m_Bar, OnBar(55));
    EXPECT_DOUBLE_EQ(40.0, m_Bar->GetCurrentTime());
    Move(m_Bar, OnBar(33));
    EXPECT_NEAR(33.0, m_Bar->GetCurrentTime(), Pixel());
    EXPECT_TRUE(m_Events.empty());
    Release(m_Bar, OnBar(33));
    EXPECT_EQ(Events{"current"}, m_Events);

    m_Events.clear();  // the current-time arrow grabbed and let go reports nothing
    Press(m_Bar, ArrowCentre(RangeBarCtrl::CurrentArrow));
    Release(m_Bar, ArrowCentre(RangeBarCtrl::CurrentArrow));
    EXPECT_TRUE(m_Events.empty());

    // Zoomed, the begin arrow cannot leave the visible span, even with
    // captured moves outside the window.
    m_Bar->SetSelection(10, 40);
    m_Bar->FitToSelection();
    Press(m_Bar, ArrowCentre(RangeBarCtrl::BeginArrow));
    Move(m_Bar, wxPoint(-50, Bar().y + 20));
    EXPECT_DOUBLE_EQ(5.5, m_Bar->GetSelectionStart());
    Release(m_Bar, wxPoint(-50, Bar().y + 20));
    EXPECT_EQ(Events{"begin"}, m_Events);

    // Losing the capture ends a drag like a release.
    m_Events.clear();
    m_Bar->SetSelection(10, 40);
    Press(m_Bar, ArrowCentre(RangeBarCtrl::EndArrow));
    Move(m_Bar, OnBar(20));
    wxMouseCaptureLostEvent lost(m_Bar->GetId());
    lost.SetEventObject(m_Bar);
    m_Bar->GetEventHandler()->ProcessEvent(lost);
    EXPECT_EQ((Events{"end", "current"}), m_Events);
    Move(m_Bar, OnBar(30));
    EXPECT_NEAR(20.0, m_Bar->GetSelectionEnd(), Pixel());
    if (m_Bar->HasCapture())
        m_Bar->ReleaseMouse();
}

TEST_F(RangeBarTest, KeysStepByFramesAndSecondsJumpToTheEndsAndSetTheRange)
{
    EXPECT_TRUE(m_Bar->AcceptsFocusFromKeyboard());
    m_Bar->SetMediaTime(10);
    m_Bar->SetFrameRate(25);
    m_Bar->SetSelection(2, 8);
    m_Bar->SetCurrentTime(5);
    const struct {
        int key;
        bool shift;
        double current, start, end;
        Events events;
    } steps[] = {
        {WXK_RIGHT, false, 5.04, 2, 8, {"current"}},
        {WXK_RIGHT, true, 6.04, 2, 8, {"current"}},
        {WXK_LEFT, false, 6.0, 2, 8, {"current"}},
        {'[', false, 6.0, 6, 8, {"begin"}},
        {WXK_LEFT, false, 6.0, 6, 8, {}},  // held at the range's begin
        {WXK_END, false, 8.0, 6, 8, {"current"}},
        {WXK_LEFT, true, 7.0, 6, 8, {"current"}},
        {']', false, 7.0, 6, 7, {"end"}},
        {WXK_HOME, false, 6.0, 6, 7, {"current"}},
        {'x', false, 6.0, 6, 7, {}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.key);
        m_Events.clear();
        Key(step.key, step.shift);
        EXPECT_NEAR(step.current, m_Bar->GetCurrentTime(), 1e-9);
        EXPECT_NEAR(step.start, m_Bar->GetSelectionStart(), 1e-9);
        EXPECT_NEAR(step.end, m_Bar->GetSelectionEnd(), 1e-9);
        EXPECT_EQ(step.events, m_Events);
    }
}

// A time between two frames is put on the nearer one, wherever it comes
// from, so a label never names a time that the export does not start at.
TEST_F(RangeBarTest, WithAFrameRateEveryTimeLiesOnAFrame)
{
    m_Bar->SetMediaTime(12.3);
    m_Bar->SetFrameRate(25);
    EXPECT_DOUBLE_EQ(6.16, m_Bar->GetCurrentTime());  // the middle, 6.15, put on a frame
    m_Bar->SetSelection(4.97, 12.3);
    EXPECT_DOUBLE_EQ(4.96, m_Bar->GetSelectionStart());
    EXPECT_DOUBLE_EQ(12.3, m_Bar->GetSelectionEnd());  // the media's end is kept
    m_Bar->SetCurrentTime(5.013);
    EXPECT_DOUBLE_EQ(5.0, m_Bar->GetCurrentTime());
    Press(m_Bar, OnBar(7.7));
    Release(m_Bar, OnBar(7.7));
    double frames = m_Bar->GetCurrentTime() * 25;
    EXPECT_NEAR(frames, std::round(frames), 1e-9);
    m_Bar->SetFrameRate(0);  // no frame rate: times as given
    m_Bar->SetCurrentTime(5.013);
    EXPECT_DOUBLE_EQ(5.013, m_Bar->GetCurrentTime());
}

TEST_F(RangeBarTest, PaintsTheSelectionInItsColourBetweenTheArrows)
{
    const wxColour background(240, 240, 240);
    m_Bar->SetBackgroundColour(background);
    m_Bar->SetMediaTime(60);
    m_Bar->SetSelection(15, 45);
    m_Bar->SetCurrentTime(35);
    wxImage image = Render(m_Bar->GetClientSize(), [this](wxDC& dc) { m_Bar->Paint(dc); });
    SaveScreenshot(image, "range-bar.png");

    const wxRect bar = Bar();
    const int y = bar.y + 2, xs = OnBar(15).x, xe = OnBar(45).x, xc = OnBar(35).x;
    for (int x = bar.x + 1; x < bar.GetRight(); ++x) {
        const bool selected = x > xs + 1 && x < xe - 1, unselected = x < xs - 1 || x > xe + 1;
        const wxColour expected = x == xc ? *wxBLACK  // the current-time marker
                                  : selected ? wxColour(120, 255, 120) : wxColour(120, 120, 255);
        if (x == xc || selected || unselected) {
            EXPECT_EQ(expected, PixelAt(image, x, y)) << x;
        }
    }
    // Each arrow's centre is its bluish body; beside its tip and in the
    // control's corners the background shows.
    for (auto a : {RangeBarCtrl::BeginArrow, RangeBarCtrl::EndArrow, RangeBarCtrl::CurrentArrow}) {
        wxColour body = PixelAt(image, ArrowCentre(a).x, ArrowCentre(a).y);
        EXPECT_GT(body.Blue(), body.Red());
        EXPECT_NE(background, body);
    }
    const wxPoint begin = ArrowCentre(RangeBarCtrl::BeginArrow) - wxPoint(8, 8);
    for (wxPoint p : {begin, wxPoint(2, 2), wxPoint(398, m_Bar->GetClientSize().y - 2)})
        EXPECT_EQ(background, PixelAt(image, p.x, p.y));
    // The labels' grey capsules below the selection ends.
    const int labelMiddle = bar.GetBottom() + 19 + 1 + m_Bar->GetCharHeight() / 2 + 3;
    EXPECT_EQ(wxColour(204, 204, 204), PixelAt(image, xs - m_Bar->GetTextExtent("15.0s").x / 2, labelMiddle));
}

}  // namespace
