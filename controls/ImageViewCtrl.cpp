#include "controls/ImageViewCtrl.h"

#include <algorithm>

#include <wx/dcclient.h>
#include <wx/dcmemory.h>

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

wxBitmap ImageViewCtrl::MarkApproximate(const wxImage& picture)
{
    if (!picture.IsOk())
        return wxBitmap();
    wxBitmap marked(picture);
    wxMemoryDC dc(marked);
    const int border = std::max(2, picture.GetHeight() / 60);
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.SetPen(wxPen(wxColour(128, 128, 128), border));
    dc.DrawRectangle(border / 2, border / 2, picture.GetWidth() - border + 1, picture.GetHeight() - border + 1);
    wxFont font = wxFont(wxFontInfo(std::max(8, picture.GetHeight() / 12)).Bold());
    dc.SetFont(font);
    const wxString mark = wxString::FromUTF8("\u2248");
    wxSize text = dc.GetTextExtent(mark);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(wxColour(40, 40, 40)));
    dc.DrawRectangle(border, border, text.x + 8, text.y + 2);
    dc.SetTextForeground(*wxWHITE);
    dc.DrawText(mark, border + 4, border + 1);
    dc.SelectObject(wxNullBitmap);
    return marked;
}
