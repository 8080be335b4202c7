#include "controls/ImageViewCtrl.h"

#include <wx/dcclient.h>

wxBEGIN_EVENT_TABLE(ImageViewCtrl, wxControl)
    EVT_PAINT(ImageViewCtrl::OnPaint)
wxEND_EVENT_TABLE()

ImageViewCtrl::ImageViewCtrl(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size,
                             long style, const wxValidator& validator, const wxString& name)
    : wxControl(parent, id, pos, size, style, validator, name)
{
}

void ImageViewCtrl::SetImage(const wxBitmap& image, bool resize)
{
    m_Image = image;
    if (!m_Image.IsOk())
        return;
    if (resize) {
        const wxSize size = m_Image.GetSize();
        SetSizeHints(size, size);
        SetSize(size);
    }
    Refresh();
}

wxPoint ImageViewCtrl::CalcImageOrigin(const wxRect& client, wxSize picture)
{
    return wxPoint(client.x + (client.width - picture.x) / 2,
                   client.y + (client.height - picture.y) / 2);
}

void ImageViewCtrl::Paint(wxDC& dc) const
{
    if (m_Image.IsOk())
        dc.DrawBitmap(m_Image, CalcImageOrigin(GetClientRect(), m_Image.GetSize()), true);
}

void ImageViewCtrl::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    Paint(dc);
}
