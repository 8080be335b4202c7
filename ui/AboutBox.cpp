#include "ui/AboutBox.h"

#include <wx/button.h>
#include <wx/hyperlink.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "controls/ImageViewCtrl.h"

namespace {
const char* const credits =
    "Built on FFmpeg (GNU LGPL 2.1 or later), x264 (GNU GPL 2 or later)\n"
    "and wxWidgets (wxWindows Library Licence).\n\n"
    "Since x264 is under the GNU GPL, this program as distributed is\n"
    "under the GNU General Public License, version 2 or later: you may\n"
    "share and change it under its terms, whoever passes it on must offer\n"
    "its source code, and it comes with no warranty.";
}  // namespace

AboutBox::AboutBox(const wxString& name, const wxString& version, const wxString& homePage,
                   const wxBitmap& picture, wxWindow* parent, wxWindowID id, const wxString& title,
                   const wxPoint& pos, const wxSize& size, long style, const wxString& windowName)
    : wxDialog(parent, id, title, pos, size, style, windowName)
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    SetSizer(top);

    auto* pictureRow = new wxBoxSizer(wxHORIZONTAL);
    top->Add(pictureRow, 0, wxEXPAND | wxALL, 0);
    pictureRow->AddStretchSpacer(1);
    auto* image = new ImageViewCtrl(this, 0, wxDefaultPosition, wxDefaultSize, wxNO_BORDER,
                                    wxDefaultValidator, wxPanelNameStr);
    image->SetImage(picture, true);
    pictureRow->Add(image, 0, wxALIGN_CENTER | wxALL, 15);
    pictureRow->AddStretchSpacer(1);

    auto* textRow = new wxBoxSizer(wxHORIZONTAL);
    top->Add(textRow, 1, wxEXPAND | wxALL, 0);
    textRow->Add(30, 30);
    auto* texts = new wxBoxSizer(wxVERTICAL);
    textRow->Add(texts, 1, wxEXPAND | wxALL, 5);
    textRow->Add(30, 30);

    auto* nameText = new wxStaticText(this, wxID_ANY, name, wxDefaultPosition, wxDefaultSize, wxALIGN_CENTRE);
    nameText->SetFont(wxFont(20, wxFONTFAMILY_DEFAULT, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false));
    texts->Add(nameText, 1, wxEXPAND | wxALL, 5);
    texts->Add(new wxStaticText(this, wxID_ANY, version, wxDefaultPosition, wxDefaultSize, wxALIGN_CENTRE),
               1, wxEXPAND | wxALL, 5);
    texts->Add(new wxHyperlinkCtrl(this, 0, homePage, homePage, wxDefaultPosition, wxDefaultSize,
                                   wxHL_DEFAULT_STYLE),
               0, wxALIGN_CENTER | wxALL, 5);
    texts->Add(new wxStaticText(this, wxID_ANY, credits, wxDefaultPosition, wxDefaultSize, wxALIGN_CENTRE, "Credits"),
               0, wxEXPAND | wxALL, 5);

    top->Add(new wxButton(this, wxID_OK, "OK"), 0, wxSHAPED | wxALIGN_CENTER | wxALL, 5);
    top->SetSizeHints(this);
    Centre(wxBOTH);
}
