#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <future>
#include <vector>

#include "ControlTestSupport.h"
#include "controls/RangeBarCtrl.h"
#include "pipeline/Filmstrip.h"
#include "support/TestMedia.h"

namespace {

using Geometry = RangeBarGeometry;

TEST(RangeBarGeometry, TimelineArrowsAndHitOrder)
{
    // A 400-pixel-wide bar with 17 x 19 arrows and labels 17 pixels high.
    Geometry g(wxRect(0, 0, 400, Geometry::ControlHeight(wxSize(17, 19), 17)), wxSize(17, 19), 17, 0.0, 60.0);
    EXPECT_EQ(wxRect(8, 39, 383, 6), g.TimelineRect());
    EXPECT_EQ(8 + 382, g.TimeToX(60.0));  // last pixel of the bar
    EXPECT_DOUBLE_EQ(60.0, g.XToTime(8 + 382));  // both ways on one scale
    for (int x = 8; x < 8 + 383; x += 17)
        EXPECT_EQ(x, g.TimeToX(g.XToTime(x))) << x;  // an arrow stays where it is dropped
    Geometry zoomed(wxRect(0, 0, 400, 84), wxSize(17, 19), 17, 5.5, 44.5);
    EXPECT_EQ(8, zoomed.TimeToX(5.5));
    EXPECT_LT(zoomed.XToTime(0), 5.5);

    // Begin and end arrows hang below the bar, the current one above it.
    EXPECT_EQ(wxRect(191, 44, 17, 19), g.ArrowRect(Geometry::BeginArrow, 30.0));
    EXPECT_EQ(g.ArrowRect(Geometry::BeginArrow, 30.0), g.ArrowRect(Geometry::EndArrow, 30.0));
    EXPECT_EQ(wxRect(191, 21, 17, 19), g.ArrowRect(Geometry::CurrentArrow, 30.0));
    // Overlaps favour the current arrow, then the end arrow; the current
    // arrow's bottom row is the bar's top row.
    EXPECT_EQ(Geometry::EndArrow, g.ArrowAt(wxPoint(199, 50), 30.0, 30.0, 30.0));
    EXPECT_EQ(Geometry::BeginArrow, g.ArrowAt(wxPoint(199, 50), 30.0, 40.0, 30.0));
    EXPECT_EQ(Geometry::CurrentArrow, g.ArrowAt(wxPoint(199, 30), 30.0, 30.0, 30.0));
    EXPECT_EQ(Geometry::CurrentArrow, g.ArrowAt(wxPoint(199, 39), 0.0, 60.0, 30.0));
    EXPECT_EQ(Geometry::NoArrow, g.ArrowAt(wxPoint(199, 41), 0.0, 60.0, 30.0));
    EXPECT_EQ(Geometry::NoArrow, g.ArrowAt(wxPoint(250, 50), 0.0, 60.0, 30.0));

    // A strip of pictures 40 high goes between the current arrow and the
    // bar; its places are filled from the bar's start, each showing the time
    // under its middle.
    Geometry s(wxRect(0, 0, 400, Geometry::ControlHeight(wxSize(17, 19), 17, 40)), wxSize(17, 19), 17, 0.0, 60.0, 40);
    EXPECT_EQ(wxRect(8, 79, 383, 6), s.TimelineRect());
    EXPECT_EQ(wxRect(8, 39, 383, 40), s.StripRect());
    EXPECT_EQ(wxRect(191, 21, 17, 19), s.ArrowRect(Geometry::CurrentArrow, 30.0));
    EXPECT_EQ(Geometry::NoArrow, s.ArrowAt(wxPoint(199, 41), 0.0, 60.0, 30.0));
    std::vector<Geometry::StripSlot> slots = s.StripSlots(100);
    ASSERT_EQ(4u, slots.size());
    EXPECT_EQ(308, slots[3].x);
    EXPECT_DOUBLE_EQ(s.XToTime(58), slots[0].time);
    EXPECT_TRUE(g.StripSlots(100).empty());
}

// Labels are moved inwards at the client's edges; the selection's two move
// apart or merge (when the client is too narrow for two) but never overlap.
TEST(RangeBarGeometry, LabelsStayInsideTheClientAreaAndNeverOverlap)
{
    const wxSize text(30, 15), merged(40, 15);
    EXPECT_EQ(0, CalcTimeLabelShape(text, 8, 70, false, 400).leftCircle.x);
    TimeLabelShape right = CalcTimeLabelShape(text, 390, 70, false, 400);
    EXPECT_EQ(399, right.rightCircle.GetRight());
    EXPECT_GE(399, right.middle.GetRight());
    EXPECT_EQ(70 - 19, CalcTimeLabelShape(text, 200, 70, true, 400).middle.y);  // above: y is the bottom

    const struct { int xs, xe, width; bool merged; } cases[] = {
        {50, 300, 400, false}, {200, 206, 400, false}, {8, 12, 400, false}, {390, 395, 400, false}, {30, 40, 80, true}};
    for (const auto& c : cases) {
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
    void Click(wxPoint at) { Press(m_Bar, at), Release(m_Bar, at); }
    void Expect(double start, double end, double current, double within = 1e-9) const
    {
        EXPECT_NEAR(start, m_Bar->GetSelectionStart(), within);
        EXPECT_NEAR(end, m_Bar->GetSelectionEnd(), within);
        EXPECT_NEAR(current, m_Bar->GetCurrentTime(), within);
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

// The times are confined to the media and the selection; with a frame rate
// each lies on the nearer frame, wherever it comes from, so a label never
// names a time that the export does not start at.
TEST_F(RangeBarTest, SettersConfineTheTimesWithoutReportingAndPutThemOnFrames)
{
    EXPECT_EQ(wxSize(400, 2 * m_Bar->GetCharHeight() + 54 + RangeBarCtrl::StripHeight), m_Bar->GetSize());
    for (double broken : {0.0, -3.0}) {  // a broken duration still gives a usable bar
        m_Bar->SetMediaTime(broken);
        EXPECT_DOUBLE_EQ(1.0, m_Bar->GetMediaTime());
        Expect(0.0, 1.0, 0.5);
    }
    m_Bar->SetMediaTime(60);
    Expect(0.0, 60.0, 30.0);
    m_Bar->SetCurrentTime(50);
    m_Bar->SetSelection(40, 10);  // ordered; the current time follows into it
    Expect(10.0, 40.0, 40.0);
    m_Bar->SetCurrentTime(2);
    Expect(10.0, 40.0, 10.0);
    m_Bar->SetSelection(-5, 75);
    Expect(0.0, 60.0, 10.0);
    EXPECT_TRUE(m_Events.empty());

    m_Bar->SetMediaTime(12.3);
    m_Bar->SetFrameRate(25);
    m_Bar->SetSelection(4.97, 12.3);
    Expect(4.96, 12.3, 6.16);  // the media's end is kept; the middle, 6.15, put on a frame
    m_Bar->SetCurrentTime(5.013);
    EXPECT_DOUBLE_EQ(5.0, m_Bar->GetCurrentTime());
    Click(OnBar(7.7));
    const double frames = m_Bar->GetCurrentTime() * 25;
    EXPECT_NEAR(frames, std::round(frames), 1e-9);
    m_Bar->SetFrameRate(0);  // no frame rate: times as given
    m_Bar->SetCurrentTime(5.013);
    EXPECT_DOUBLE_EQ(5.013, m_Bar->GetCurrentTime());
}

TEST_F(RangeBarTest, WithoutMediaTheBarKeepsNothingAndTakesNoInput)
{
    EXPECT_FALSE(m_Bar->HasMedia());
    m_Bar->SetMediaTime(60);
    m_Bar->SetFrameRate(25);
    m_Bar->SetSelection(10, 20);
    m_Bar->ZoomBy(0.5);
    EXPECT_TRUE(m_Bar->HasMedia());
    m_Bar->ClearMedia();  // back to the state of a new bar
    EXPECT_FALSE(m_Bar->HasMedia());
    EXPECT_DOUBLE_EQ(1.0, m_Bar->GetMediaTime());
    EXPECT_DOUBLE_EQ(0.0, m_Bar->GetFrameRate());
    Click(OnBar(0.6));
    Key(WXK_RIGHT);
    Key('[');
    Expect(0.3, 0.7, 0.5);
    EXPECT_EQ(std::make_pair(0.0, 1.0), std::make_pair(m_Bar->GetVisibleStart(), m_Bar->GetVisibleEnd()));
    EXPECT_TRUE(m_Events.empty());
    // Only the empty bar is drawn: no label anywhere.
    wxImage image = Render(m_Bar->GetClientSize(), [this](wxDC& dc) { m_Bar->Paint(dc); }, *wxWHITE);
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            ASSERT_NE(wxColour(204, 204, 204), PixelAt(image, x, y)) << x << "," << y;
}

// Drags on a bar showing 0-60 with the range 20-40 and the current time at
// 30, reporting every move as the main window has it. A press off the arrows
// moves the current time there (`path` starts with it) and drags the
// current-time arrow.
TEST_F(RangeBarTest, DragsReportEveryMove)
{
    m_Bar->SetSendEventsOnlyOnEndDrag(false);
    Release(m_Bar, OnBar(40));  // a release without a press reports nothing
    EXPECT_TRUE(m_Events.empty());
    using Bar = RangeBarCtrl;
    const struct { const char* what; Bar::DraggedArrow arrow; std::vector<double> path; bool zoomed, lost;
                   double pressed, start, end, current; Events events; } drags[] = {
        {"end arrow", Bar::EndArrow, {35, 25}, false, false, 30, 20, 25, 25, {"end", "end", "current"}},
        {"begin arrow", Bar::BeginArrow, {10}, false, false, 30, 10, 40, 30, {"begin"}},
        {"zoomed, out of the window", Bar::BeginArrow, {0}, true, false, 30, 15, 40, 30, {"begin"}},
        {"capture lost", Bar::EndArrow, {25}, false, true, 30, 20, 25, 25, {"end", "current"}},
        {"arrow in place", Bar::BeginArrow, {}, false, false, 30, 20, 40, 30, {}},
        {"current arrow", Bar::CurrentArrow, {33}, false, false, 30, 20, 40, 33, {"current"}},
        {"off the arrows", Bar::NoArrow, {5, 55}, false, false, 20, 20, 40, 40, {"current", "current"}},
        {"click off the arrows", Bar::NoArrow, {50}, false, false, 40, 20, 40, 40, {"current"}},
    };
    for (const auto& d : drags) {
        SCOPED_TRACE(d.what);
        m_Events.clear();
        m_Bar->SetMediaTime(60);
        m_Bar->SetSelection(20, 40);
        if (d.zoomed)
            m_Bar->ZoomBy(0.5);  // 15-45
        std::vector<double> path = d.path;
        wxPoint at = ArrowCentre(d.arrow);
        if (d.arrow == Bar::NoArrow) {
            at = OnBar(path.front());
            path.erase(path.begin());
        }
        Press(m_Bar, at);
        EXPECT_TRUE(m_Bar->HasCapture());
        EXPECT_DOUBLE_EQ(d.pressed, m_Bar->GetCurrentTime());
        for (double time : path)
            Move(m_Bar, at = OnBar(time));
        if (d.lost) {
            wxMouseCaptureLostEvent lost(m_Bar->GetId());
            lost.SetEventObject(m_Bar);
            m_Bar->GetEventHandler()->ProcessEvent(lost);
        } else {
            Release(m_Bar, at);
            EXPECT_FALSE(m_Bar->HasCapture());
        }
        EXPECT_EQ(d.events, m_Events);
        Expect(d.start, d.end, d.current, Pixel());
        Move(m_Bar, OnBar(32));  // the drag is over
        Expect(d.start, d.end, d.current, Pixel());
        if (m_Bar->HasCapture())
            m_Bar->ReleaseMouse();
    }
}

TEST_F(RangeBarTest, KeysStepByFramesAndSecondsJumpToTheEndsAndSetTheRange)
{
    m_Bar->SetMediaTime(10);
    m_Bar->SetFrameRate(25);
    m_Bar->SetSelection(2, 8);
    m_Bar->SetCurrentTime(5);
    const struct { int key; bool shift; double current, start, end; Events events; } steps[] = {
        {WXK_RIGHT, false, 5.04, 2, 8, {"current"}}, {WXK_RIGHT, true, 6.04, 2, 8, {"current"}},
        {WXK_LEFT, false, 6.0, 2, 8, {"current"}},   {'[', false, 6.0, 6, 8, {"begin"}},
        {WXK_LEFT, false, 6.0, 6, 8, {}},  // held at the range's begin
        {WXK_END, false, 8.0, 6, 8, {"current"}},    {WXK_LEFT, true, 7.0, 6, 8, {"current"}},
        {']', false, 7.0, 6, 7, {"end"}},            {WXK_HOME, false, 6.0, 6, 7, {"current"}},
        {'x', false, 6.0, 6, 7, {}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.key);
        m_Events.clear();
        Key(step.key, step.shift);
        Expect(step.start, step.end, step.current);
        EXPECT_EQ(step.events, m_Events);
    }
}

TEST_F(RangeBarTest, PaintsTheSelectionInItsColourBetweenTheArrows)
{
    const wxColour background(240, 240, 240);
    m_Bar->SetBackgroundColour(background);
    m_Bar->SetMediaTime(60);
    m_Bar->SetSelection(15, 45);
    m_Bar->SetCurrentTime(35);
    wxImage image = Render(m_Bar->GetClientSize(), [this](wxDC& dc) { m_Bar->Paint(dc); });

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
    }
    const wxPoint begin = ArrowCentre(RangeBarCtrl::BeginArrow) - wxPoint(8, 8);
    for (wxPoint p : {begin, wxPoint(2, 2), wxPoint(398, m_Bar->GetClientSize().y - 2)})
        EXPECT_EQ(background, PixelAt(image, p.x, p.y));
    // The labels' grey capsules below the selection ends.
    const int labelMiddle = bar.GetBottom() + 19 + 1 + m_Bar->GetCharHeight() / 2 + 3;
    EXPECT_EQ(wxColour(204, 204, 204), PixelAt(image, xs - m_Bar->GetTextExtent("15.0s").x / 2, labelMiddle));
}

// The strip's pictures are made by a worker: held at a gate the test opens,
// it has made nothing when the strip reaches the bar. Once done, the strip
// holds one picture per key frame and the bar draws them.
TEST_F(RangeBarTest, TheStripFillsInTheBackground)
{
    std::promise<void> open, done;
    Filmstrip::Listener listener;
    listener.beforePicture = [gate = open.get_future().share()] { gate.wait(); };
    listener.finished = [&done] { done.set_value(); };
    auto strip = std::make_shared<Filmstrip>(testsupport::MediaPath("gop2s_44k.mp4"), listener, 10);
    m_Bar->SetMediaTime(16.0);
    m_Bar->SetFilmstrip(strip);
    EXPECT_EQ(0u, strip->Count());
    open.set_value();
    done.get_future().wait();
    EXPECT_EQ(8u, strip->Count());  // key frames every 2 s
    double at = -1.0;
    ASSERT_TRUE(strip->Nearest(4.9, at));
    EXPECT_DOUBLE_EQ(4.0, at);
    EXPECT_EQ(wxSize(180, 135), strip->Picture(at).GetSize());  // fits 240 x 135

    m_Bar->SetSelection(4.0, 12.0);
    wxImage image = Render(m_Bar->GetClientSize(), [this](wxDC& dc) { m_Bar->Paint(dc); });
    SaveScreenshot(image, "range-bar.png");
    const wxRect bar = Bar();
    int painted = 0;
    for (int x = bar.x + 2; x < bar.GetRight(); x += 7)
        painted += PixelAt(image, x, bar.y - 20) != wxColour(70, 70, 70);
    EXPECT_GT(painted, (bar.width / 7) * 9 / 10);
}

}  // namespace
