#pragma once
// Command events that the settings panels send to the page that holds them.
// Each carries the sending panel's window id; the panel does not handle its
// own event, so it travels up to the parent, which routes it by that id.
#include <wx/event.h>

wxDECLARE_EVENT(wxAUDIO_SETTINGS_CHANGED, wxCommandEvent);
wxDECLARE_EVENT(wxOUTPUT_FORMAT_CHANGED, wxCommandEvent);
wxDECLARE_EVENT(wxRESOLUTION_CHANGED, wxCommandEvent);
wxDECLARE_EVENT(wxVQUALITY_CHANGED, wxCommandEvent);

// Sends an event of `type` from `panel`, synchronously, through the panel's
// own event handler.
void SendPanelEvent(wxWindow* panel, wxEventType type);
