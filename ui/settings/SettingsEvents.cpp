#include "ui/settings/SettingsEvents.h"

#include <wx/window.h>

// Each type gets its number from wxNewEventType() during static initialisation.
wxDEFINE_EVENT(wxAUDIO_SETTINGS_CHANGED, wxCommandEvent);
wxDEFINE_EVENT(wxOUTPUT_FORMAT_CHANGED, wxCommandEvent);
wxDEFINE_EVENT(wxRESOLUTION_CHANGED, wxCommandEvent);
wxDEFINE_EVENT(wxVQUALITY_CHANGED, wxCommandEvent);

void SendPanelEvent(wxWindow* panel, wxEventType type)
{
    wxCommandEvent event(type, panel->GetId());
    event.SetEventObject(panel);
    panel->GetEventHandler()->ProcessEvent(event);
}
