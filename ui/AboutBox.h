#pragma once
// The modal about box: the application icon, the name, the version, a
// link to the home page, and the libraries the program is built on with
// their licences.
#include <wx/dialog.h>

class AboutBox : public wxDialog {
public:
    AboutBox(const wxString& name, const wxString& version, const wxString& homePage,
             const wxBitmap& picture, wxWindow* parent, wxWindowID id, const wxString& title,
             const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
             long style = wxDEFAULT_DIALOG_STYLE, const wxString& windowName = "AboutBox");
};
