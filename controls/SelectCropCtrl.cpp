#include "controls/SelectCropCtrl.h"

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>

#include "pipeline/ImageHelpers.h"

using namespace CropGeometry;

wxDEFINE_EVENT(wxCROP_RECT_CHANGED, wxCommandEvent);

wxBEGIN_EVENT_TABLE(SelectCropCtrl, wxControl)
    EVT_LEFT_DOWN(SelectCropCtrl::OnLMouseDown)
    EVT_MOTION(SelectCropCtrl::OnMouseMove)
    EVT_LEFT_UP(SelectCropCtrl::OnLMouseUp)
    EVT_MOUSE_CAPTURE_LOST(SelectCropCtrl::OnMouseCaptureLost)
    EVT_ERASE_BACKGROUND(SelectCropCtrl::OnEraseBackground)
    EVT_PAINT(SelectCropCtrl::OnPaint)
wxEND_EVENT_TABLE()

const wxSize SelectCropCtrl::movePointSize(CropGeometry::movePointSize,
                                           CropGeometry::movePointSize);
const wxSize SelectCropCtrl::movePointOffset(CropGeometry::movePointOffset,
                                             CropGeometry::movePointOffset);
const wxSize SelectCropCtrl::minimalCropSize(CropGeometry::minimalCropSize,
                                             CropGeometry::minimalCropSize);

namespace {
// How far the picture outside the crop rectangle is moved toward white.
constexpr unsigned char dimOpacity = 60;
}

SelectCropCtrl::SelectCropCtrl(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size,
                               long style, const wxValidator& validator, const wxString& name)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Create(parent, id, pos, size, style, validator, name);
}

void SelectCropCtrl::SetImage(const wxBitmap& image, wxSize pixels)
{
    m_Image = image;
    m_Pixels = pixels == wxDefaultSize && image.IsOk() ? image.GetSize() : pixels;
    if (HasPicture()) {
        UpdateCashedScaledImages(CalcImagePosition(GetClientRect()).GetSize(), true);
        SetCropRect(wxRect(wxPoint(0, 0), PictureSize()));
    }
    Refresh();
}

void SelectCropCtrl::SetCropRect(const wxRect& rect)
{
    if (rect == m_CropRect || !HasPicture())
        return;
    if (m_CropEnabled)
        m_CropRect = ClipCropRect(rect, PictureSize());
    Refresh();
}

wxRect SelectCropCtrl::GetCropRect() const
{
    if (!HasPicture())
        return wxRect();
    if (!m_CropEnabled)
        return wxRect(wxPoint(0, 0), PictureSize());
    return m_CropRect;
}

void SelectCropCtrl::EnableCrop()
{
    if (m_CropEnabled)
        return;
    m_CropEnabled = true;
    Refresh();
}

void SelectCropCtrl::DisableCrop()
{
    if (!m_CropEnabled)
        return;
    SetCursor(wxNullCursor);
    m_CropEnabled = false;
    Refresh();
}

void SelectCropCtrl::EnableScaleToFit()
{
    if (!m_ScaleToFitDisabled)
        return;
    m_ScaleToFitDisabled = false;
    Refresh();
}

void SelectCropCtrl::DisableScaleToFit()
{
    if (m_ScaleToFitDisabled)
        return;
    m_ScaleToFitDisabled = true;
    Refresh();
}

void SelectCropCtrl::SetBGColor(const wxColour& colour)
{
    if (colour == m_BGColor)
        return;
    m_BGColor = colour;
    Refresh();
}

wxRect SelectCropCtrl::CalcImagePosition(const wxRect& client) const
{
    if (!HasPicture())
        return wxRect();
    return CropGeometry::CalcImagePosition(client.GetSize(), m_Image.GetSize(), !m_ScaleToFitDisabled);
}

wxRect SelectCropCtrl::CalcScaledCropRect(const wxRect& placement) const
{
    if (!HasPicture())
        return wxRect();
    return CropGeometry::CalcScaledCropRect(m_CropRect, PictureSize(), placement);
}

SelectCropCtrl::MovePoint SelectCropCtrl::GetMovePointFromMousePosition(const wxPoint& p) const
{
    return CropGeometry::HitTest(p, CalcScaledCropRect(CalcImagePosition(GetClientRect())));
}

wxPoint SelectCropCtrl::TranslateMousePosToRealCrop(const wxPoint& p) const
{
    return TranslateToPicture(p, PictureSize(), CalcImagePosition(GetClientRect()));
}

void SelectCropCtrl::MovePointToMousePosition(MovePoint point, const wxPoint& mouse,
                                              const wxPoint& offset, bool proportional)
{
    if (point == NoPoint)
        return;
    wxPoint target = TranslateMousePosToRealCrop(mouse) + offset;
    SetCropRect(MoveCropPoint(point, target, m_CropRect, m_DragStartCropRect, PictureSize(),
                              proportional));
}

wxCursor SelectCropCtrl::GetCursorForMovePoint(MovePoint point)
{
    switch (point) {
    case TopLeftPoint:
    case BottomRightPoint: return wxCursor(wxCURSOR_SIZENWSE);
    case TopPoint:
    case BottomPoint: return wxCursor(wxCURSOR_SIZENS);
    case TopRightPoint:
    case BottomLeftPoint: return wxCursor(wxCURSOR_SIZENESW);
    case RightPoint:
    case LeftPoint: return wxCursor(wxCURSOR_SIZEWE);
    case CenterPoint: return wxCursor(wxCURSOR_SIZING);
    case NoPoint: break;
    }
    return wxNullCursor;
}

void SelectCropCtrl::UpdateCashedScaledImages(const wxSize& size, bool force)
{
    if (!force && m_ScaledImage.IsOk() && m_ScaledImage.GetSize() == size)
        return;
    // A control too small to show anything has nothing to cache.
    if (size.x <= 0 || size.y <= 0) {
        m_ScaledImage = wxNullBitmap;
        m_ScaledDimmedImage = wxNullBitmap;
        return;
    }
    wxImage image = m_Image.ConvertToImage();
    image.Rescale(size.x, size.y, wxIMAGE_QUALITY_NORMAL);
    m_ScaledImage = wxBitmap(image);
    BlendImageWithColor(image, 255, 255, 255, dimOpacity);
    m_ScaledDimmedImage = wxBitmap(image);
}

void SelectCropCtrl::Paint(wxDC& dc)
{
    const wxRect client = GetClientRect();
    dc.SetBrush(wxBrush(m_BGColor));
    dc.SetPen(wxPen(*wxWHITE, 1, wxPENSTYLE_SOLID));
    dc.DrawRectangle(client);
    if (!HasPicture())
        return;
    const wxRect placement = CalcImagePosition(client);
    UpdateCashedScaledImages(placement.GetSize(), false);
    if (!m_ScaledImage.IsOk())
        return;
    dc.DrawBitmap(m_CropEnabled ? m_ScaledDimmedImage : m_ScaledImage, placement.GetPosition(),
                  false);
    if (m_CropEnabled)
        DrawCropRect(dc, placement);
}

void SelectCropCtrl::DrawCropRect(wxDC& dc, const wxRect& placement)
{
    const wxRect s = CalcScaledCropRect(placement);
    if (s.width > 0 && s.height > 0) {
        wxMemoryDC source;
        source.SelectObjectAsSource(m_ScaledImage);
        dc.Blit(s.x, s.y, s.width, s.height, &source, s.x - placement.x, s.y - placement.y,
                wxCOPY, false);
    }
    dc.SetPen(wxPen(*wxBLACK, 1, wxPENSTYLE_SOLID));
    dc.SetBrush(*wxWHITE_BRUSH);
    for (int handle = TopLeftPoint; handle <= LeftPoint; ++handle)
        dc.DrawRectangle(CalcMovePointPosition(static_cast<MovePoint>(handle), s));
}

void SelectCropCtrl::OnLMouseDown(wxMouseEvent& event)
{
    // A control too small to show the picture has nothing to drag.
    if (!HasPicture() || !m_CropEnabled || CalcImagePosition(GetClientRect()).IsEmpty())
        return;
    const wxPoint mouse = event.GetPosition();
    m_MovePoint = GetMovePointFromMousePosition(mouse);
    SetCursor(GetCursorForMovePoint(m_MovePoint));
    if (m_MovePoint == NoPoint)
        return;
    // Kept in picture pixels: the mouse's way from where it was pressed moves
    // the dragged point, so a press without a move changes nothing.
    m_DragOffset = CalcMovePointDragPoint(m_MovePoint, m_CropRect) - TranslateMousePosToRealCrop(mouse);
    m_DragStartCropRect = GetCropRect();
    if (!HasCapture())
        CaptureMouse();
}

void SelectCropCtrl::OnMouseMove(wxMouseEvent& event)
{
    if (!HasPicture() || !m_CropEnabled)
        return;
    const wxPoint mouse = event.GetPosition();
    MovePoint shown = m_MovePoint == NoPoint ? GetMovePointFromMousePosition(mouse) : m_MovePoint;
    SetCursor(GetCursorForMovePoint(shown));
    // GTK reports the Super key as Meta, if at all, so Ctrl serves as well.
    const bool proportional = event.MetaDown() || event.ControlDown();
    MovePointToMousePosition(m_MovePoint, mouse, m_DragOffset, proportional);
}

void SelectCropCtrl::OnLMouseUp(wxMouseEvent&)
{
    // The capture is released even if the picture or cropping went away
    // during the drag, or the mouse would stay captured.
    if (HasPicture() && m_CropEnabled)
        SetCursor(wxNullCursor);
    FinishDrag();
    if (HasCapture())
        ReleaseMouse();
}

void SelectCropCtrl::OnMouseCaptureLost(wxMouseCaptureLostEvent&)
{
    FinishDrag();
}

void SelectCropCtrl::FinishDrag()
{
    const bool dragged = m_MovePoint != NoPoint;
    m_MovePoint = NoPoint;
    if (!dragged || GetCropRect() == m_DragStartCropRect)
        return;
    wxCommandEvent event(wxCROP_RECT_CHANGED, GetId());
    event.SetEventObject(this);
    GetEventHandler()->ProcessEvent(event);
}

void SelectCropCtrl::OnEraseBackground(wxEraseEvent&)
{
}

void SelectCropCtrl::OnPaint(wxPaintEvent&)
{
    wxBufferedPaintDC dc(this);
    Paint(dc);
}
