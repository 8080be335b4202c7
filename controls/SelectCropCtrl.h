#pragma once
// The preview area: one picture scaled to fit, with a crop rectangle drawn
// over it. Outside the rectangle the picture is lightened; eight handles
// resize the rectangle and dragging inside moves it. Holding Meta (or Ctrl,
// where the platform reports no Meta key) while dragging a corner keeps the
// proportions. The rectangle is kept in picture pixels, which need not be
// square: the picture is drawn as the bitmap shows it, and its pixels are
// those of the size given with it.
#include <wx/bitmap.h>
#include <wx/control.h>
#include <wx/cursor.h>
#include <wx/event.h>

#include "controls/CropGeometry.h"

// Sent to the parent when a drag of the user's has left the crop rectangle
// changed; the receiver reads GetCropRect(). Setters send nothing.
wxDECLARE_EVENT(wxCROP_RECT_CHANGED, wxCommandEvent);

class SelectCropCtrl : public wxControl, public CropMovePoints {
public:
    SelectCropCtrl(wxWindow* parent, int id, const wxPoint& pos = wxDefaultPosition,
                   const wxSize& size = wxDefaultSize, long style = wxBORDER_NONE,
                   const wxValidator& validator = wxDefaultValidator,
                   const wxString& name = "SelectCropCtrl");

    // A valid picture resets the crop rectangle to the whole picture.
    // `pixels`: the picture's size in its own pixels (by default the
    // bitmap's), for a picture shown stretched.
    void SetImage(const wxBitmap& image, wxSize pixels = wxDefaultSize);
    const wxBitmap& GetImage() const { return m_Image; }

    // Confined to the picture; ignored without a picture. While cropping is
    // disabled the stored rectangle is kept.
    void SetCropRect(const wxRect& rect);
    // The whole picture while cropping is disabled; empty without a picture.
    wxRect GetCropRect() const;

    void EnableCrop();
    void DisableCrop();
    bool IsCropEnabled() const { return m_CropEnabled; }

    void EnableScaleToFit();
    void DisableScaleToFit();
    bool IsScaleToFit() const { return !m_ScaleToFitDisabled; }

    void SetBGColor(const wxColour& colour);
    wxColour GetBGColor() const { return m_BGColor; }

    // Draws the whole control into any DC.
    void Paint(wxDC& dc);

    wxRect CalcImagePosition(const wxRect& client) const;
    wxRect CalcScaledCropRect(const wxRect& placement) const;
    MovePoint GetMovePointFromMousePosition(const wxPoint& p) const;

    static const wxSize movePointSize;
    static const wxSize movePointOffset;
    static const wxSize minimalCropSize;

private:
    bool HasPicture() const { return m_Image.IsOk(); }
    wxSize PictureSize() const { return m_Pixels; }
    wxPoint TranslateMousePosToRealCrop(const wxPoint& p) const;
    void MovePointToMousePosition(MovePoint point, const wxPoint& mouse, const wxPoint& offset,
                                  bool proportional);
    void UpdateCashedScaledImages(const wxSize& size, bool force);
    void FinishDrag();
    void DrawCropRect(wxDC& dc, const wxRect& placement);
    static wxCursor GetCursorForMovePoint(MovePoint point);

    void OnLMouseDown(wxMouseEvent& event);
    void OnMouseMove(wxMouseEvent& event);
    void OnLMouseUp(wxMouseEvent& event);
    void OnMouseCaptureLost(wxMouseCaptureLostEvent& event);
    void OnEraseBackground(wxEraseEvent& event);
    void OnPaint(wxPaintEvent& event);

    wxRect m_CropRect;
    wxBitmap m_Image;
    wxSize m_Pixels;
    wxColour m_BGColor{255, 255, 255};
    MovePoint m_MovePoint = NoPoint;
    wxPoint m_DragOffset;
    wxRect m_DragStartCropRect;
    wxBitmap m_ScaledImage;
    wxBitmap m_ScaledDimmedImage;
    bool m_CropEnabled = true;
    bool m_ScaleToFitDisabled = false;

    wxDECLARE_EVENT_TABLE();
};
