#pragma once
// Command events that the settings panels send when the user changes them;
// the page that holds a panel binds to the panel's events.
#include <wx/event.h>

wxDECLARE_EVENT(wxAUDIO_SETTINGS_CHANGED, wxCommandEvent);
wxDECLARE_EVENT(wxOUTPUT_FORMAT_CHANGED, wxCommandEvent);
wxDECLARE_EVENT(wxRESOLUTION_CHANGED, wxCommandEvent);
wxDECLARE_EVENT(wxVQUALITY_CHANGED, wxCommandEvent);

// Sends an event of `type` from `panel`, synchronously, through the panel's
// own event handler.
void SendPanelEvent(wxWindow* panel, wxEventType type);
