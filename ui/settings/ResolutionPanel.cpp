#include "ui/settings/ResolutionPanel.h"

#include <algorithm>

#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "ui/settings/SettingsEvents.h"

wxBEGIN_EVENT_TABLE(ResolutionPanel, wxPanel)
    EVT_SPINCTRL(ID_SIZE, ResolutionPanel::OnSpinValueChanged)
    EVT_TEXT(ID_SIZE, ResolutionPanel::OnSpinTextChanged)
wxEND_EVENT_TABLE()

ResolutionPanel::ResolutionPanel(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                 const wxSize& size, long style, const wxString& name)
    : wxPanel(parent, id, pos, size, style, name)
{
    auto* box = new wxStaticBoxSizer(wxHORIZONTAL, this, "Resolution (Width x Height)");
    SetSizer(box);
    wxWindow* boxWindow = box->GetStaticBox();

    auto* labels = new wxBoxSizer(wxVERTICAL);
    auto* spins = new wxBoxSizer(wxVERTICAL);
    box->Add(labels, 0, wxEXPAND | wxALL, 5);
    box->Add(spins, 0, wxEXPAND | wxALL, 5);

    auto makeSpin = [&](int initial) {
        return new wxSpinCtrl(boxWindow, ID_SIZE, wxEmptyString, wxDefaultPosition,
                              wxDefaultSize, wxSP_ARROW_KEYS, MIN_SIZE, MAX_SIZE, initial,
                              "wxSpinCtrl");
    };
    m_WidthSpin = makeSpin(640);
    m_HeightSpin = makeSpin(480);

    labels->Add(new wxStaticText(boxWindow, wxID_ANY, "Width:"), 0, wxEXPAND | wxALL, 5);
    labels->AddStretchSpacer(1);
    labels->Add(new wxStaticText(boxWindow, wxID_ANY, "Height:"), 0, wxEXPAND | wxALL, 5);
    labels->AddStretchSpacer(1);
    spins->Add(m_WidthSpin, 0, wxEXPAND | wxALL, 5);
    spins->AddStretchSpacer(1);
    spins->Add(m_HeightSpin, 0, wxEXPAND | wxALL, 5);
    spins->AddStretchSpacer(1);
}

wxSize ResolutionPanel::GetResolution() const
{
    return wxSize(m_WidthSpin->GetValue(), m_HeightSpin->GetValue());
}

void ResolutionPanel::SetResolution(const wxSize& size)
{
    m_WidthSpin->SetValue(std::clamp(size.GetWidth(), MIN_SIZE, MAX_SIZE));
    m_HeightSpin->SetValue(std::clamp(size.GetHeight(), MIN_SIZE, MAX_SIZE));
}

void ResolutionPanel::OnSpinValueChanged(wxSpinEvent&)
{
    SendResolutionChangedEvent();
}

// A typed size counts at once, not only when the field gives up the focus:
// the dialog may be confirmed before that.
void ResolutionPanel::OnSpinTextChanged(wxCommandEvent&)
{
    SendResolutionChangedEvent();
}

void ResolutionPanel::SendResolutionChangedEvent()
{
    SendPanelEvent(this, wxRESOLUTION_CHANGED);
}
