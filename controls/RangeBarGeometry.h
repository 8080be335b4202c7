#pragma once
// Geometry of the range bar: where the timeline lies in the client area,
// time <-> x on it, where the arrows and time labels go. No window needed.
#include <vector>

#include <wx/gdicmn.h>

struct RangeBarParts {
    enum DraggedArrow { BeginArrow = 0, EndArrow = 1, CurrentArrow = 2, NoArrow = 3 };
    enum TimelinePart { BeforeSelection = 0, Selection = 1, AfterSelection = 2 };
};

class RangeBarGeometry : public RangeBarParts {
public:
    // `arrowSize` is the size of the arrow pictures, `timeBarHeight` the
    // height of a time label; [visibleStart, visibleEnd] is the time span
    // shown across the bar; `stripHeight` that of the row of small pictures
    // right above the bar (none when 0).
    RangeBarGeometry(const wxRect& client, wxSize arrowSize, int timeBarHeight,
                     double visibleStart, double visibleEnd, int stripHeight = 0);

    // The bar itself: inset by half an arrow on each side, with room for an
    // arrow and a label above (and the strip) and below.
    wxRect TimelineRect() const { return m_Timeline; }
    // The row of small pictures, as wide as the bar, on top of it.
    wxRect StripRect() const;
    // Where the strip's pictures of `pictureWidth` go (their left edges,
    // side by side from the bar's start) and the time each one shows: the
    // time under its middle.
    struct StripSlot {
        int x;
        double time;
    };
    std::vector<StripSlot> StripSlots(int pictureWidth) const;

    int TimeToX(double time) const;
    double XToTime(int x) const;

    // The arrow at `time`: below the bar (tip up) for the selection ends,
    // above it (tip down) for the current time.
    wxRect ArrowRect(DraggedArrow arrow, double time) const;

    // The arrow under `point`; the current-time arrow wins over the end
    // arrow, which wins over the begin arrow.
    DraggedArrow ArrowAt(const wxPoint& point, double selectionStart, double selectionEnd,
                         double currentTime) const;

    // The control's fixed height: a label and an arrow above and below a bar
    // 6 pixels high (and the strip above the bar).
    static int ControlHeight(wxSize arrowSize, int timeBarHeight, int stripHeight = 0);

private:
    wxSize m_ArrowSize;
    int m_StripHeight;
    double m_VisibleStart;
    double m_VisibleEnd;
    wxRect m_Timeline;
};

// The rounded label (capsule) drawn for a time: its two end circles, the
// rectangle between them and where its text starts.
struct TimeLabelShape {
    wxRect leftCircle;
    wxRect rightCircle;
    wxRect middle;
    wxPoint textOrigin;
};

// Label for a text of `textSize` centred on `x`; `y` is the label's top, or
// its bottom line when `above`. Moved inwards so it stays within
// [0, clientWidth).
TimeLabelShape CalcTimeLabelShape(wxSize textSize, int x, int y, bool above, int clientWidth);

// The selection's two labels below the bar: side by side, moved apart where
// they would touch, or merged into one label centred between the arrows
// when the client area has no room to keep them apart.
struct RangeLabelsShape {
    bool merged;
    TimeLabelShape start;  // the merged label when merged
    TimeLabelShape end;
};

RangeLabelsShape CalcRangeLabelsShape(wxSize startText, wxSize endText, wxSize mergedText, int xs,
                                      int xe, int y, int clientWidth);
