#pragma once
// Helpers for the settings tests: a host window that counts the panels'
// events, finding controls inside a panel, and acting like the user on them.
#include <map>
#include <vector>

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/radiobut.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>

#include "ui/settings/SettingsEvents.h"

namespace settingstest {

// A hidden top-level window whose panel children report to it; it counts
// every settings event that reaches it, by type.
class EventCounter : public wxFrame {
public:
    EventCounter() : wxFrame(nullptr, wxID_ANY, "settings test")
    {
        for (wxEventType type : {wxAUDIO_SETTINGS_CHANGED, wxOUTPUT_FORMAT_CHANGED,
                                 wxRESOLUTION_CHANGED, wxVQUALITY_CHANGED}) {
            Bind(wxEventTypeTag<wxCommandEvent>(type), [this, type](wxCommandEvent& event) {
                ++m_Counts[type];
                m_LastId = event.GetId();
            });
        }
    }
    int Count(wxEventType type) const
    {
        auto found = m_Counts.find(type);
        return found == m_Counts.end() ? 0 : found->second;
    }
    int Total() const
    {
        int total = 0;
        for (const auto& entry : m_Counts)
            total += entry.second;
        return total;
    }
    int LastId() const { return m_LastId; }

private:
    std::map<wxEventType, int> m_Counts;
    int m_LastId = -1;
};

// Every window of type T under `root`, in creation order.
template <class T>
std::vector<T*> Find(wxWindow* root)
{
    std::vector<T*> found;
    for (wxWindow* child : root->GetChildren()) {
        if (auto* match = dynamic_cast<T*>(child))
            found.push_back(match);
        for (T* inner : Find<T>(child))
            found.push_back(inner);
    }
    return found;
}

// What the toolkit does when the user changes a control: the control's value
// changes, then its notification goes through the control's own handler.
inline void Send(wxWindow* control, wxCommandEvent& event)
{
    event.SetEventObject(control);
    control->GetEventHandler()->ProcessEvent(event);
}

inline void Click(wxCheckBox* check, bool value)
{
    check->SetValue(value);
    wxCommandEvent event(wxEVT_CHECKBOX, check->GetId());
    event.SetInt(value);
    Send(check, event);
}

inline void Click(wxRadioButton* button)
{
    button->SetValue(true);
    wxCommandEvent event(wxEVT_RADIOBUTTON, button->GetId());
    event.SetInt(1);
    Send(button, event);
}

inline void Choose(wxChoice* choice, int selection)
{
    choice->SetSelection(selection);
    wxCommandEvent event(wxEVT_CHOICE, choice->GetId());
    event.SetInt(selection);
    Send(choice, event);
}

inline void Spin(wxSpinCtrl* spin, int value)
{
    spin->SetValue(value);
    wxSpinEvent event(wxEVT_SPINCTRL, spin->GetId());
    event.SetPosition(value);
    Send(spin, event);
}

inline void Slide(wxSlider* slider, int value, wxEventType type = wxEVT_SCROLL_THUMBTRACK)
{
    slider->SetValue(value);
    wxScrollEvent event(type, slider->GetId(), value, wxHORIZONTAL);
    Send(slider, event);
}

inline std::vector<wxString> Entries(const wxChoice* choice)
{
    std::vector<wxString> entries;
    for (unsigned i = 0; i < choice->GetCount(); ++i)
        entries.push_back(choice->GetString(i));
    return entries;
}

}  // namespace settingstest
