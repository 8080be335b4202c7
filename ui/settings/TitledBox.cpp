#include "ui/settings/TitledBox.h"

#include <wx/statbox.h>

wxStaticBoxSizer* NewTitledBox(wxWindow* panel, int orientation, const wxString& title)
{
    auto* box = new wxStaticBoxSizer(orientation, panel, title);
    // Room for the frame's corners on both sides of the title.
    const int corners = 16;
    box->SetMinSize(box->GetStaticBox()->GetTextExtent(title).x + corners, -1);
    return box;
}
