#pragma once
// A panel's framed group with a title, never narrower than its title: GTK
// sizes a static box by its contents alone and cuts a longer title.
#include <wx/sizer.h>

wxStaticBoxSizer* NewTitledBox(wxWindow* panel, int orientation, const wxString& title);
