#include "controls/RangeBarGeometry.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int barMargin = 3;  // between the label and the arrow rows
constexpr int labelGap = 4;   // between two labels side by side

// How far the first label reaches into the second, gap included.
int Overlap(const TimeLabelShape& first, const TimeLabelShape& second)
{
    return first.rightCircle.GetRight() + labelGap - second.leftCircle.x;
}
}  // namespace

RangeBarGeometry::RangeBarGeometry(const wxRect& client, wxSize arrowSize, int timeBarHeight,
                                   double visibleStart, double visibleEnd, int stripHeight)
    : m_ArrowSize(arrowSize), m_StripHeight(stripHeight), m_VisibleStart(visibleStart), m_VisibleEnd(visibleEnd),
      m_Timeline(client.x + arrowSize.x / 2,
                 client.y + barMargin + timeBarHeight + arrowSize.y + stripHeight,
                 client.width - arrowSize.x,
                 client.height - 2 * (arrowSize.y + timeBarHeight) - 2 * barMargin - stripHeight)
{
}

wxRect RangeBarGeometry::StripRect() const
{
    return wxRect(m_Timeline.x, m_Timeline.y - m_StripHeight, m_Timeline.width, m_StripHeight);
}

std::vector<RangeBarGeometry::StripSlot> RangeBarGeometry::StripSlots(int pictureWidth) const
{
    std::vector<StripSlot> slots;
    if (pictureWidth <= 0 || m_StripHeight <= 0)
        return slots;
    for (int x = m_Timeline.x; x < m_Timeline.GetRight(); x += pictureWidth)
        slots.push_back({x, XToTime(x + pictureWidth / 2)});
    return slots;
}

int RangeBarGeometry::TimeToX(double time) const
{
    double span = m_VisibleEnd - m_VisibleStart;
    if (span == 0 || !std::isfinite(span))
        return m_Timeline.x;
    double offset = (m_Timeline.width - 1) * (time - m_VisibleStart) / span;
    // Times far outside the visible span would not fit an int.
    offset = std::clamp(std::round(offset), -1.0e7, 1.0e7);
    return m_Timeline.x + static_cast<int>(offset);
}

double RangeBarGeometry::XToTime(int x) const
{
    // The same scale as TimeToX: the timeline's last pixel is the visible end.
    if (m_Timeline.width <= 1)
        return m_VisibleStart;
    return m_VisibleStart
           + double(x - m_Timeline.x) / (m_Timeline.width - 1) * (m_VisibleEnd - m_VisibleStart);
}

wxRect RangeBarGeometry::ArrowRect(DraggedArrow arrow, double time) const
{
    int left = TimeToX(time) - m_ArrowSize.x / 2;
    switch (arrow) {
    case BeginArrow:
    case EndArrow:
        return wxRect(left, m_Timeline.GetBottom(), m_ArrowSize.x, m_ArrowSize.y);
    case CurrentArrow:
        return wxRect(left, m_Timeline.y - m_StripHeight - m_ArrowSize.y + 1, m_ArrowSize.x, m_ArrowSize.y);
    case NoArrow:
        break;
    }
    return wxRect();
}

RangeBarGeometry::DraggedArrow RangeBarGeometry::ArrowAt(const wxPoint& point,
                                                         double selectionStart,
                                                         double selectionEnd,
                                                         double currentTime) const
{
    if (ArrowRect(CurrentArrow, currentTime).Contains(point))
        return CurrentArrow;
    if (ArrowRect(EndArrow, selectionEnd).Contains(point))
        return EndArrow;
    if (ArrowRect(BeginArrow, selectionStart).Contains(point))
        return BeginArrow;
    return NoArrow;
}

int RangeBarGeometry::ControlHeight(wxSize arrowSize, int timeBarHeight, int stripHeight)
{
    return (timeBarHeight + arrowSize.y + 2) * 2 + 8 + stripHeight;
}

TimeLabelShape CalcTimeLabelShape(wxSize textSize, int x, int y, bool above, int clientWidth)
{
    int tw = textSize.x;
    int th = textSize.y;
    int half = tw / 2;
    if (tw <= 14) {
        tw = 15;
        half = 7;
    }
    int d = th + 4;
    int r = d / 2;
    if (x - half - r - 1 < 0)
        x = r + half + 1;
    // The right circle ends at x + half - r + th + 6; keep that column inside.
    if (x + half - r + th + 6 >= clientWidth)
        x = clientWidth - half + r - th - 7;
    if (above)
        y -= th + 4;

    TimeLabelShape shape;
    shape.rightCircle = wxRect(x + half - r + 3, y, d, d);
    shape.leftCircle = wxRect(x - half - r - 1, y, d, d);
    shape.middle = wxRect(x - half - 1, y, tw + 4, d);
    shape.textOrigin = wxPoint(x - textSize.x / 2 + 2, y + 1);
    return shape;
}

RangeLabelsShape CalcRangeLabelsShape(wxSize startText, wxSize endText, wxSize mergedText, int xs,
                                      int xe, int y, int clientWidth)
{
    auto place = [&](int startShift, int endShift) {
        return RangeLabelsShape{false, CalcTimeLabelShape(startText, xs - startShift, y, false, clientWidth),
                                CalcTimeLabelShape(endText, xe + endShift, y, false, clientWidth)};
    };
    RangeLabelsShape labels = place(0, 0);
    int overlap = Overlap(labels.start, labels.end);
    if (overlap <= 0)
        return labels;
    // Each moves out by half; where an edge holds one back, the other goes on.
    int startShift = (overlap + 1) / 2;
    int endShift = overlap / 2;
    labels = place(startShift, endShift);
    int rest = Overlap(labels.start, labels.end);
    if (rest > 0)
        labels = place(startShift + rest, endShift + rest);
    if (Overlap(labels.start, labels.end) <= 0)
        return labels;
    TimeLabelShape merged = CalcTimeLabelShape(mergedText, (xs + xe) / 2, y, false, clientWidth);
    return RangeLabelsShape{true, merged, merged};
}
