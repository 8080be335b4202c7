#include "controls/RangeBarCtrl.h"

#include <algorithm>
#include <cmath>

#include <wx/dcbuffer.h>
#include <wx/module.h>

#include "pipeline/Filmstrip.h"
#include "pipeline/ImageHelpers.h"
#include "resources/RangeBarImages.h"
#include "helpers/Helpers.h"

wxDEFINE_EVENT(wxBEGIN_TIME_ARROW_MOVED, wxCommandEvent);
wxDEFINE_EVENT(wxEND_TIME_ARROW_MOVED, wxCommandEvent);
wxDEFINE_EVENT(wxCURRENT_TIME_ARROW_MOVED, wxCommandEvent);

wxBEGIN_EVENT_TABLE(RangeBarCtrl, wxControl)
    EVT_LEFT_DOWN(RangeBarCtrl::OnLMouseDown)
    EVT_MOTION(RangeBarCtrl::OnMouseMove)
    EVT_LEFT_UP(RangeBarCtrl::OnLMouseUp)
    EVT_MOUSE_CAPTURE_LOST(RangeBarCtrl::OnMouseCaptureLost)
    EVT_KEY_DOWN(RangeBarCtrl::OnKeyDown)
    EVT_CHAR(RangeBarCtrl::OnChar)
    EVT_SET_FOCUS(RangeBarCtrl::OnFocusChanged)
    EVT_KILL_FOCUS(RangeBarCtrl::OnFocusChanged)
    EVT_PAINT(RangeBarCtrl::OnPaint)
    EVT_ERASE_BACKGROUND(RangeBarCtrl::OnEraseBackground)
wxEND_EVENT_TABLE()

const wxSize RangeBarCtrl::ArrowSize(rbSliderDown.iWidth, rbSliderDown.iHeight);
const int RangeBarCtrl::StripHeight = 40;
wxBitmap RangeBarCtrl::UpSliderBitmap;
wxBitmap RangeBarCtrl::DownSliderBitmap;
wxBitmap RangeBarCtrl::SliderBgLeftBitmap;
wxBitmap RangeBarCtrl::SliderBgCenterBitmap;
wxBitmap RangeBarCtrl::SliderBgRightBitmap;

// Drops the shared bitmaps while the GUI library is still running; static
// destructors run too late for that.
class RangeBarBitmapsModule : public wxModule {
public:
    bool OnInit() override { return true; }
    void OnExit() override
    {
        RangeBarCtrl::UpSliderBitmap = wxNullBitmap;
        RangeBarCtrl::DownSliderBitmap = wxNullBitmap;
        RangeBarCtrl::SliderBgLeftBitmap = wxNullBitmap;
        RangeBarCtrl::SliderBgCenterBitmap = wxNullBitmap;
        RangeBarCtrl::SliderBgRightBitmap = wxNullBitmap;
    }

private:
    wxDECLARE_DYNAMIC_CLASS(RangeBarBitmapsModule);
};
wxIMPLEMENT_DYNAMIC_CLASS(RangeBarBitmapsModule, wxModule);

namespace {

const wxColour unselectedColour(120, 120, 255);
const wxColour selectedColour(120, 255, 120);
const wxColour emptyTrackColour(218, 222, 230);  // the track's own, without media
const wxColour labelColour(204, 204, 204);
const wxColour focusColour(60, 60, 60);
const wxColour stripColour(70, 70, 70);  // behind the small pictures, and where none is made yet
// The step of Left/Right while the frame rate is not known.
const double defaultFrameRate = 25.0;

wxBitmap BitmapFromRaw(const MEM_RAW_IMAGE& raw)
{
    return wxBitmap(CreateImageFromMemRawImage(raw));
}

wxString LabelText(double seconds)
{
    return msToString(std::llround(std::clamp(seconds, -1e15, 1e15) * 1000.0));
}

}  // namespace

RangeBarCtrl::RangeBarCtrl(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size,
                           long style, const wxValidator& validator, const wxString& name)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Create(parent, id, pos, size, style, validator, name);
    LoadSharedBitmaps();
    int height = RangeBarGeometry::ControlHeight(GetArrowSize(), GetTimeBarHeight(), StripHeight);
    SetSizeHints(80, height, 2048, height);
    SetSize(std::clamp(GetSize().x, 80, 2048), height);
}

void RangeBarCtrl::LoadSharedBitmaps()
{
    if (UpSliderBitmap.IsOk())
        return;
    UpSliderBitmap = BitmapFromRaw(rbSliderUp);
    DownSliderBitmap = BitmapFromRaw(rbSliderDown);
    SliderBgLeftBitmap = BitmapFromRaw(rbSliderBgLeft);
    SliderBgCenterBitmap = BitmapFromRaw(rbSliderBgCenter);
    SliderBgRightBitmap = BitmapFromRaw(rbSliderBgRight);
}

void RangeBarCtrl::SetMediaTime(double time)
{
    // No length (or a meaningless one) still gives a usable bar.
    if (!(time > 0) || !std::isfinite(time))
        time = 1.0;
    m_MediaTime = time;
    m_SelectionStart = 0;
    m_SelectionEnd = time;
    m_VisibleStart = 0;
    m_VisibleEnd = time;
    m_CurrentTime = time * 0.5;
    m_HasMedia = true;
    Refresh();
}

void RangeBarCtrl::ClearMedia()
{
    m_MediaTime = 1.0;
    m_SelectionStart = 0.3;
    m_SelectionEnd = 0.7;
    m_CurrentTime = 0.5;
    m_VisibleStart = 0.0;
    m_VisibleEnd = 1.0;
    m_FrameRate = 0.0;
    m_HasMedia = false;
    SetFilmstrip(nullptr);
}

void RangeBarCtrl::SetFrameRate(double fps)
{
    m_FrameRate = fps > 0 && std::isfinite(fps) ? fps : 0.0;
    SetSelection(m_SelectionStart, m_SelectionEnd);
    SetCurrentTime(m_CurrentTime);
}

double RangeBarCtrl::SnapToFrame(double time) const
{
    if (m_FrameRate <= 0 || !std::isfinite(time))
        return time;
    double frame = std::round(std::clamp(time, -1e12, 1e12) * m_FrameRate);
    return std::min(frame / m_FrameRate, m_MediaTime);
}

void RangeBarCtrl::SetSelection(double start, double end)
{
    start = SnapToFrame(start);
    end = SnapToFrame(end);
    if (end < start)
        std::swap(start, end);
    start = std::max(m_VisibleStart, start);
    end = std::min(m_VisibleEnd, end);
    if (m_CurrentTime < start)
        m_CurrentTime = start;
    if (m_CurrentTime > end)
        m_CurrentTime = end;
    m_SelectionStart = start;
    m_SelectionEnd = end;
    Refresh();
}

void RangeBarCtrl::SetCurrentTime(double time)
{
    m_CurrentTime = ClampToSelection(time);
    Refresh();
}

double RangeBarCtrl::ClampToSelection(double time) const
{
    time = SnapToFrame(time);
    if (time < m_SelectionStart)
        time = m_SelectionStart;
    if (time > m_SelectionEnd)
        time = m_SelectionEnd;
    return time;
}

void RangeBarCtrl::FitToSelection()
{
    if (m_VisibleEnd - m_VisibleStart <= 1.0)
        return;
    double margin = (m_SelectionEnd - m_SelectionStart) / 100.0 * 15.0;
    if (margin == 0)
        margin = m_MediaTime / 1000.0;
    m_VisibleStart = std::max(0.0, m_SelectionStart - margin);
    m_VisibleEnd = std::min(m_MediaTime, m_SelectionEnd + margin);
    Refresh();
}

void RangeBarCtrl::FitToMediaTime()
{
    m_VisibleStart = 0;
    m_VisibleEnd = m_MediaTime;
    Refresh();
}

void RangeBarCtrl::ZoomBy(double factor)
{
    const double shortest = 1.0;
    double span = std::clamp((m_VisibleEnd - m_VisibleStart) * factor, std::min(shortest, m_MediaTime), m_MediaTime);
    m_VisibleStart = std::clamp(m_CurrentTime - span / 2, 0.0, m_MediaTime - span);
    m_VisibleEnd = m_VisibleStart + span;
    Refresh();
}

RangeBarGeometry RangeBarCtrl::Geometry(const wxRect& client) const
{
    return RangeBarGeometry(client, GetArrowSize(), GetTimeBarHeight(), m_VisibleStart,
                            m_VisibleEnd, StripHeight);
}

void RangeBarCtrl::SetFilmstrip(std::shared_ptr<const Filmstrip> filmstrip)
{
    m_Filmstrip = std::move(filmstrip);
    m_StripPictures.clear();
    Refresh();
}

// Side by side along the strip, each place shows the picture nearest to
// the time under its middle, so zooming in spreads the pictures out.
void RangeBarCtrl::DrawFilmstrip(wxDC& dc, const RangeBarGeometry& geometry) const
{
    const wxRect strip = geometry.StripRect();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(stripColour));
    dc.DrawRectangle(strip);
    double first = 0.0;
    if (!m_HasMedia || !m_Filmstrip || !m_Filmstrip->Nearest(0.0, first))
        return;
    const int width = StripPicture(first).GetWidth();
    wxDCClipper clip(dc, strip);
    for (const RangeBarGeometry::StripSlot& slot : geometry.StripSlots(width)) {
        double at = 0.0;
        if (m_Filmstrip->Nearest(slot.time, at))
            dc.DrawBitmap(StripPicture(at), slot.x, strip.y + 1, false);
    }
}

const wxBitmap& RangeBarCtrl::StripPicture(double at) const
{
    wxBitmap& picture = m_StripPictures[at];
    if (!picture.IsOk()) {
        wxImage image = m_Filmstrip->Picture(at);
        int height = StripHeight - 2;
        if (image.IsOk())
            image.Rescale(std::max(1, image.GetWidth() * height / image.GetHeight()), height, wxIMAGE_QUALITY_BILINEAR);
        else
            image = wxImage(height, height);
        picture = wxBitmap(image);
    }
    return picture;
}

wxSize RangeBarCtrl::GetArrowSize() const
{
    return ArrowSize;
}

int RangeBarCtrl::GetTimeBarHeight() const
{
    return GetCharHeight() + 2;
}

wxRect RangeBarCtrl::CalcTimelineRect(const wxRect& client) const
{
    return Geometry(client).TimelineRect();
}

wxRect RangeBarCtrl::CalcArrowRect(DraggedArrow arrow, const wxRect& client) const
{
    RangeBarGeometry geometry = Geometry(client);
    switch (arrow) {
    case BeginArrow:
        return geometry.ArrowRect(arrow, m_SelectionStart);
    case EndArrow:
        return geometry.ArrowRect(arrow, m_SelectionEnd);
    case CurrentArrow:
        return geometry.ArrowRect(arrow, m_CurrentTime);
    case NoArrow:
        break;
    }
    return wxRect();
}

int RangeBarCtrl::CalcStartSelectionX() const
{
    return Geometry(GetClientRect()).TimeToX(m_SelectionStart);
}

int RangeBarCtrl::CalcEndSelectionX() const
{
    return Geometry(GetClientRect()).TimeToX(m_SelectionEnd);
}

int RangeBarCtrl::CalcCurrentPositionX() const
{
    return Geometry(GetClientRect()).TimeToX(m_CurrentTime);
}

double RangeBarCtrl::TranslateFromXToTime(int x) const
{
    return Geometry(GetClientRect()).XToTime(x);
}

RangeBarCtrl::DraggedArrow RangeBarCtrl::GetArrowIdFromPoint(const wxPoint& point,
                                                             const wxRect& client) const
{
    return Geometry(client).ArrowAt(point, m_SelectionStart, m_SelectionEnd, m_CurrentTime);
}

void RangeBarCtrl::Paint(wxDC& dc) const
{
    const wxRect client = GetClientRect();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(GetBackgroundColour()));
    dc.DrawRectangle(client);
    dc.SetFont(GetFont());
    dc.SetTextForeground(*wxBLACK);

    RangeBarGeometry geometry = Geometry(client);
    wxRect bar = geometry.TimelineRect();
    int xs = geometry.TimeToX(m_SelectionStart);
    int xe = geometry.TimeToX(m_SelectionEnd);
    int xc = geometry.TimeToX(m_CurrentTime);

    DrawTimelineBg(dc, bar);
    DrawFilmstrip(dc, geometry);
    if (!m_HasMedia) {
        dc.SetBrush(wxBrush(emptyTrackColour));
        dc.DrawRectangle(bar);
        return;
    }
    DrawTimelinePart(dc, wxRect(bar.x, bar.y, xs - bar.x + 2, bar.height), BeforeSelection);
    DrawTimelinePart(dc, wxRect(xs + 1, bar.y, xe - xs + 1, bar.height), Selection);
    DrawTimelinePart(dc, wxRect(xe, bar.y, bar.x + bar.width - xe, bar.height), AfterSelection);

    const int arrowHeight = GetArrowSize().y;
    DrawArrow(dc, xs, bar.GetBottom(), false);
    DrawArrow(dc, xe, bar.GetBottom(), false);
    const int stripTop = geometry.StripRect().y;
    DrawArrow(dc, xc, stripTop, true);

    dc.SetPen(wxPen(*wxBLACK, 1, wxPENSTYLE_SOLID));
    dc.DrawLine(xc, stripTop, xc, bar.GetBottom());

    DrawRangeLabels(dc, xs, xe, bar.y + bar.height + arrowHeight + 1);
    DrawTimeBar(dc, LabelText(m_CurrentTime), xc, stripTop - arrowHeight - 1, true);
    if (HasFocus())
        DrawFocusMark(dc);
}

void RangeBarCtrl::DrawRangeLabels(wxDC& dc, int xs, int xe, int y) const
{
    const wxString start = LabelText(m_SelectionStart);
    const wxString end = LabelText(m_SelectionEnd);
    const wxString merged = start == end ? start : start + wxString::FromUTF8(" \u2013 ") + end;
    RangeLabelsShape labels =
        CalcRangeLabelsShape(dc.GetTextExtent(start), dc.GetTextExtent(end), dc.GetTextExtent(merged),
                             xs, xe, y, GetClientSize().x);
    if (labels.merged) {
        DrawTimeLabel(dc, merged, labels.start);
        return;
    }
    DrawTimeLabel(dc, start, labels.start);
    DrawTimeLabel(dc, end, labels.end);
}

void RangeBarCtrl::DrawFocusMark(wxDC& dc) const
{
    dc.SetPen(wxPen(focusColour, 1, wxPENSTYLE_DOT));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(GetClientRect());
}

void RangeBarCtrl::DrawTimelineBg(wxDC& dc, const wxRect& bar) const
{
    const int h = SliderBgCenterBitmap.GetHeight();
    const int y = bar.y - h / 2 + 1;
    const int tile = SliderBgCenterBitmap.GetWidth();
    dc.SetClippingRegion(bar.x, y, bar.width, h);
    for (int i = 0; tile > 0 && i <= bar.width; i += tile)
        dc.DrawBitmap(SliderBgCenterBitmap, bar.x + i, y, true);
    dc.DestroyClippingRegion();
    dc.DrawBitmap(SliderBgLeftBitmap, bar.x - SliderBgLeftBitmap.GetWidth() + 2, y, true);
    dc.DrawBitmap(SliderBgRightBitmap, bar.x + bar.width - 3, y, true);
}

void RangeBarCtrl::DrawTimelinePart(wxDC& dc, const wxRect& rect, TimelinePart part) const
{
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(part == Selection ? selectedColour : unselectedColour));
    dc.DrawRectangle(rect);
}

void RangeBarCtrl::DrawArrow(wxDC& dc, int x, int y, bool above) const
{
    const int half = GetArrowSize().x / 2;
    if (above)
        dc.DrawBitmap(DownSliderBitmap, x - half, y - GetArrowSize().y, true);
    else
        dc.DrawBitmap(UpSliderBitmap, x - half, y, true);
}

void RangeBarCtrl::DrawTimeBar(wxDC& dc, wxString text, int x, int y, bool above) const
{
    DrawTimeLabel(dc, text, CalcTimeLabelShape(dc.GetTextExtent(text), x, y, above, GetClientSize().x));
}

void RangeBarCtrl::DrawTimeLabel(wxDC& dc, const wxString& text, const TimeLabelShape& shape) const
{
    dc.SetPen(wxPen(*wxBLACK, 1, wxPENSTYLE_TRANSPARENT));
    dc.SetBrush(wxBrush(labelColour));
    dc.DrawEllipse(shape.rightCircle);
    dc.DrawEllipse(shape.leftCircle);
    dc.DrawRectangle(shape.middle);
    dc.DrawText(text, shape.textOrigin);
}

void RangeBarCtrl::SendArrowEvent(wxEventType type)
{
    wxCommandEvent event(type, GetId());
    event.SetEventObject(this);
    GetEventHandler()->ProcessEvent(event);
}

void RangeBarCtrl::SendBeginTimeArrowMovedEvent()
{
    SendArrowEvent(wxBEGIN_TIME_ARROW_MOVED);
}

void RangeBarCtrl::SendEndTimeArrowMovedEvent()
{
    SendArrowEvent(wxEND_TIME_ARROW_MOVED);
}

void RangeBarCtrl::SendCurrentTimeArrowMovedEvent()
{
    SendArrowEvent(wxCURRENT_TIME_ARROW_MOVED);
}

void RangeBarCtrl::OnLMouseDown(wxMouseEvent& event)
{
    SetFocus();
    if (!m_HasMedia)
        return;
    m_DragStartCurrentTime = m_CurrentTime;
    m_DraggedArrow = GetArrowIdFromPoint(event.GetPosition(), GetClientRect());
    if (m_DraggedArrow == NoArrow) {
        m_CurrentTime = ClampToSelection(TranslateFromXToTime(event.GetX()));
        Refresh();
        m_DraggedArrow = CurrentArrow;
        if (!m_SendEventsOnlyOnEndDrag && m_CurrentTime != m_DragStartCurrentTime)
            SendCurrentTimeArrowMovedEvent();
    }
    if (!HasCapture())
        CaptureMouse();
}

void RangeBarCtrl::OnMouseMove(wxMouseEvent& event)
{
    if (m_DraggedArrow == NoArrow)
        return;
    const double time = TranslateFromXToTime(event.GetX());
    const double currentBefore = m_CurrentTime;
    const bool immediate = !m_SendEventsOnlyOnEndDrag;
    switch (m_DraggedArrow) {
    case EndArrow:
        SetSelection(m_SelectionStart, time);
        if (immediate)
            SendEndTimeArrowMovedEvent();
        break;
    case CurrentArrow:
        m_CurrentTime = ClampToSelection(time);
        Refresh();
        break;
    case BeginArrow:
        SetSelection(time, m_SelectionEnd);
        if (immediate)
            SendBeginTimeArrowMovedEvent();
        break;
    case NoArrow:
        break;
    }
    if (immediate && m_CurrentTime != currentBefore)
        SendCurrentTimeArrowMovedEvent();
}

// Ends a drag, reporting it in end-of-drag mode. A release that no press on
// this control started reports nothing.
void RangeBarCtrl::FinishDrag()
{
    if (m_DraggedArrow == NoArrow)
        return;
    if (m_SendEventsOnlyOnEndDrag) {
        if (m_DraggedArrow == BeginArrow)
            SendBeginTimeArrowMovedEvent();
        else if (m_DraggedArrow == EndArrow)
            SendEndTimeArrowMovedEvent();
        if (m_CurrentTime != m_DragStartCurrentTime)
            SendCurrentTimeArrowMovedEvent();
    }
    m_DraggedArrow = NoArrow;
}

void RangeBarCtrl::OnLMouseUp(wxMouseEvent&)
{
    FinishDrag();
    if (HasCapture())
        ReleaseMouse();
}

void RangeBarCtrl::OnMouseCaptureLost(wxMouseCaptureLostEvent&)
{
    FinishDrag();
}

// Moves the current time as the user asked and tells the parent at once.
void RangeBarCtrl::MoveCurrentTime(double time)
{
    const double before = m_CurrentTime;
    SetCurrentTime(time);
    if (m_CurrentTime != before)
        SendCurrentTimeArrowMovedEvent();
}

void RangeBarCtrl::OnKeyDown(wxKeyEvent& event)
{
    if (!m_HasMedia) {
        event.Skip();
        return;
    }
    const double frame = 1.0 / (m_FrameRate > 0 ? m_FrameRate : defaultFrameRate);
    const double step = event.ShiftDown() ? 1.0 : frame;
    switch (event.GetKeyCode()) {
    case WXK_LEFT:
    case WXK_NUMPAD_LEFT:
        MoveCurrentTime(m_CurrentTime - step);
        break;
    case WXK_RIGHT:
    case WXK_NUMPAD_RIGHT:
        MoveCurrentTime(m_CurrentTime + step);
        break;
    case WXK_HOME:
    case WXK_NUMPAD_HOME:
        MoveCurrentTime(m_SelectionStart);
        break;
    case WXK_END:
    case WXK_NUMPAD_END:
        MoveCurrentTime(m_SelectionEnd);
        break;
    default:
        event.Skip();
    }
}

// '[' and ']' come as characters: on many keyboards they need a modifier.
void RangeBarCtrl::OnChar(wxKeyEvent& event)
{
    if (!m_HasMedia) {
        event.Skip();
        return;
    }
    switch (event.GetUnicodeKey()) {
    case '[':
        SetSelection(m_CurrentTime, m_SelectionEnd);
        SendBeginTimeArrowMovedEvent();
        break;
    case ']':
        SetSelection(m_SelectionStart, m_CurrentTime);
        SendEndTimeArrowMovedEvent();
        break;
    default:
        event.Skip();
    }
}

void RangeBarCtrl::OnFocusChanged(wxFocusEvent& event)
{
    Refresh();
    event.Skip();
}

void RangeBarCtrl::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    Paint(dc);
}

void RangeBarCtrl::OnEraseBackground(wxEraseEvent&)
{
}
