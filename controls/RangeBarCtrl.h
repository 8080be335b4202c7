#pragma once
// The timeline under the preview: the media's time line as a bar, the
// export range between two arrows below it, the preview time as an arrow
// above it, each with a time label. Arrows are dragged with the mouse; a
// press elsewhere moves the current-time arrow there. With the keyboard
// focus, Left/Right step the current time by a frame (with Shift by a
// second), Home/End take it to the range's ends, and '[' / ']' set the
// range's begin / end at it. Above the bar a strip of small pictures shows
// what lies where (see Filmstrip), redrawn for the span shown.
#include <map>
#include <memory>

#include <wx/bitmap.h>
#include <wx/control.h>
#include <wx/event.h>

#include "controls/RangeBarGeometry.h"

class Filmstrip;

// Sent to the parent when the user moved the begin, end or current-time
// arrow; the events carry no data, the receiver reads the getters.
wxDECLARE_EVENT(wxBEGIN_TIME_ARROW_MOVED, wxCommandEvent);
wxDECLARE_EVENT(wxEND_TIME_ARROW_MOVED, wxCommandEvent);
wxDECLARE_EVENT(wxCURRENT_TIME_ARROW_MOVED, wxCommandEvent);

// All times are seconds from the start of the media. Setters never send
// events; only the mouse and the keyboard do.
class RangeBarCtrl : public wxControl, public RangeBarParts {
public:
    RangeBarCtrl(wxWindow* parent, int id, const wxPoint& pos = wxDefaultPosition,
                 const wxSize& size = wxDefaultSize, long style = wxBORDER_NONE,
                 const wxValidator& validator = wxDefaultValidator,
                 const wxString& name = "RangeBarCtrl");

    // Selects and shows the whole media, with the current time in the middle.
    void SetMediaTime(double time);
    double GetMediaTime() const { return m_MediaTime; }
    // Back to the state of a new bar: only the empty bar is drawn, without
    // arrows or labels, and the mouse and keys do nothing until the next
    // SetMediaTime.
    void ClearMedia();
    bool HasMedia() const { return m_HasMedia; }

    // With a frame rate, every time the bar takes is put on the nearest
    // frame, so the labels, the preview and the export name one picture;
    // 0 (the default) leaves times as given.
    void SetFrameRate(double fps);
    double GetFrameRate() const { return m_FrameRate; }

    // Orders the two times and confines them to the visible span.
    void SetSelection(double start, double end);
    double GetSelectionStart() const { return m_SelectionStart; }
    double GetSelectionEnd() const { return m_SelectionEnd; }

    // Confined to the selection.
    void SetCurrentTime(double time);
    double GetCurrentTime() const { return m_CurrentTime; }

    // Zooms to the selection with a margin of 15 % on each side.
    void FitToSelection();
    // Shows the whole media again.
    void FitToMediaTime();
    // Narrows (factor < 1) or widens the visible span by `factor` around the
    // current time, within the media and never below a second; the arrows
    // may then lie outside it.
    void ZoomBy(double factor);
    double GetVisibleStart() const { return m_VisibleStart; }
    double GetVisibleEnd() const { return m_VisibleEnd; }

    // When set (the default), a drag reports its result once, at release;
    // otherwise every mouse move reports.
    void SetSendEventsOnlyOnEndDrag(bool onlyOnEnd) { m_SendEventsOnlyOnEndDrag = onlyOnEnd; }
    bool IsSendEventsOnlyOnEndDrag() const { return m_SendEventsOnlyOnEndDrag; }
    // An arrow is being dragged with the mouse.
    bool IsDragging() const { return m_DraggedArrow != NoArrow; }

    // The pictures of the strip (null: an empty strip). Call Refresh() when
    // the strip has new pictures.
    void SetFilmstrip(std::shared_ptr<const Filmstrip> filmstrip);

    bool AcceptsFocus() const override { return true; }
    bool AcceptsFocusFromKeyboard() const override { return true; }

    // Draws the whole control, background included, into any DC.
    virtual void Paint(wxDC& dc) const;

    virtual wxRect CalcArrowRect(DraggedArrow arrow, const wxRect& client) const;
    virtual wxRect CalcTimelineRect(const wxRect& client) const;
    int CalcStartSelectionX() const;
    int CalcEndSelectionX() const;
    int CalcCurrentPositionX() const;
    double TranslateFromXToTime(int x) const;
    DraggedArrow GetArrowIdFromPoint(const wxPoint& point, const wxRect& client) const;

    static const wxSize ArrowSize;
    static const int StripHeight;

protected:
    virtual void DrawArrow(wxDC& dc, int x, int y, bool above) const;
    virtual void DrawTimelineBg(wxDC& dc, const wxRect& bar) const;
    virtual void DrawTimelinePart(wxDC& dc, const wxRect& rect, TimelinePart part) const;
    virtual void DrawTimeBar(wxDC& dc, wxString text, int x, int y, bool above) const;
    void DrawTimeLabel(wxDC& dc, const wxString& text, const TimeLabelShape& shape) const;
    virtual wxSize GetArrowSize() const;
    virtual int GetTimeBarHeight() const;

    void SendBeginTimeArrowMovedEvent();
    void SendEndTimeArrowMovedEvent();
    void SendCurrentTimeArrowMovedEvent();

    // Shared by all range bars; made from the raw images when the first
    // range bar is created, since bitmaps need the GUI library running.
    static wxBitmap UpSliderBitmap;
    static wxBitmap DownSliderBitmap;
    static wxBitmap SliderBgLeftBitmap;
    static wxBitmap SliderBgCenterBitmap;
    static wxBitmap SliderBgRightBitmap;

private:
    RangeBarGeometry Geometry(const wxRect& client) const;
    double ClampToSelection(double time) const;
    double SnapToFrame(double time) const;
    void MoveCurrentTime(double time);
    void DrawRangeLabels(wxDC& dc, int xs, int xe, int y) const;
    void DrawFocusMark(wxDC& dc) const;
    void DrawFilmstrip(wxDC& dc, const RangeBarGeometry& geometry) const;
    const wxBitmap& StripPicture(double at) const;

    void SendArrowEvent(wxEventType type);
    void FinishDrag();
    static void LoadSharedBitmaps();
    friend class RangeBarBitmapsModule;

    void OnLMouseDown(wxMouseEvent& event);
    void OnMouseMove(wxMouseEvent& event);
    void OnLMouseUp(wxMouseEvent& event);
    void OnMouseCaptureLost(wxMouseCaptureLostEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnFocusChanged(wxFocusEvent& event);
    void OnPaint(wxPaintEvent& event);
    void OnEraseBackground(wxEraseEvent& event);

    double m_MediaTime = 1.0;
    double m_SelectionStart = 0.3;
    double m_SelectionEnd = 0.7;
    double m_CurrentTime = 0.5;
    double m_VisibleStart = 0.0;
    double m_VisibleEnd = 1.0;
    DraggedArrow m_DraggedArrow = NoArrow;
    double m_DragStartCurrentTime = 0.5;
    bool m_SendEventsOnlyOnEndDrag = true;
    double m_FrameRate = 0.0;
    bool m_HasMedia = false;
    std::shared_ptr<const Filmstrip> m_Filmstrip;
    mutable std::map<double, wxBitmap> m_StripPictures;  // made small once, by picture time

    wxDECLARE_EVENT_TABLE();
};
