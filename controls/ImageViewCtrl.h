#pragma once
// Shows one bitmap centred in the client area, optionally sizing the
// control to it.
#include <wx/bitmap.h>
#include <wx/control.h>

class ImageViewCtrl : public wxControl {
public:
    ImageViewCtrl(wxWindow* parent, int id, const wxPoint& pos = wxDefaultPosition,
                  const wxSize& size = wxDefaultSize, long style = wxBORDER_NONE,
                  const wxValidator& validator = wxDefaultValidator,
                  const wxString& name = "ImageViewCtrl");

    // Shares `image`. An invalid bitmap is stored but changes nothing else;
    // with `resize` the control's size, minimum and maximum become the
    // bitmap's size.
    void SetImage(const wxBitmap& image, bool resize);

    // Draws the bitmap, if any, into any DC.
    void Paint(wxDC& dc) const;

    // Top-left corner that centres a picture of `picture` size in `client`.
    static wxPoint CalcImageOrigin(const wxRect& client, wxSize picture);

    // `picture` marked as one that stands in for the exact one: a dimmed
    // border and an "≈" in its top-left corner. Invalid for an invalid image.
    static wxBitmap MarkApproximate(const wxImage& picture);

private:
    void OnPaint(wxPaintEvent& event);

    wxBitmap m_Image;

    wxDECLARE_EVENT_TABLE();
};
