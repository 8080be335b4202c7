#include "ui/settings/AudioSettingsPanel3GP.h"

#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "ui/settings/SettingsEvents.h"

const int AudioSettingsPanel3GP::bitrates3gp[BITRATE_COUNT] = {
    4750, 5150, 5900, 6700, 7400, 7950, 10200, 12200};

wxBEGIN_EVENT_TABLE(AudioSettingsPanel3GP, wxPanel)
    EVT_RADIOBUTTON(AudioSettingsPanel3GP::ID_BITRATE, AudioSettingsPanel3GP::OnRadioButtonChanged)
    EVT_CHECKBOX(AudioSettingsPanel3GP::ID_ENABLED, AudioSettingsPanel3GP::OnCheckBoxChanged)
wxEND_EVENT_TABLE()

AudioSettingsPanel3GP::AudioSettingsPanel3GP(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                             const wxSize& size, long style, const wxString& name)
    : wxPanel(parent, id, pos, size, style, name)
{
    auto* box = new wxStaticBoxSizer(wxVERTICAL, this, "Audio settings");
    SetSizer(box);
    wxWindow* boxWindow = box->GetStaticBox();

    m_EnabledCheck = new wxCheckBox(boxWindow, ID_ENABLED, "Enabled");
    m_EnabledCheck->SetValue(true);
    auto* rates = new wxBoxSizer(wxHORIZONTAL);
    box->Add(m_EnabledCheck, 0, wxEXPAND | wxALL, 5);
    box->Add(rates, 1, wxEXPAND | wxALL, 5);

    rates->Add(new wxStaticText(boxWindow, wxID_ANY, "Bitrate\n(kbps):"), 1, wxEXPAND | wxALL, 5);
    wxBoxSizer* column = nullptr;
    for (int i = 0; i < BITRATE_COUNT; ++i) {
        if (i % 4 == 0) {
            column = new wxBoxSizer(wxVERTICAL);
            rates->Add(column, 1, wxEXPAND | wxALL, 5);
        }
        m_BitrateButtons[i] = new wxRadioButton(
            boxWindow, ID_BITRATE, wxString::Format("%-.2lf", bitrates3gp[i] / 1000.0),
            wxDefaultPosition, wxDefaultSize, i == 0 ? wxRB_GROUP : 0);
        column->Add(m_BitrateButtons[i], 1, wxEXPAND | wxALL, 5);
    }
    m_BitrateIndex = 4;
    m_BitrateButtons[m_BitrateIndex]->SetValue(true);
}

bool AudioSettingsPanel3GP::IsAudioEnabled() const { return m_EnabledCheck->GetValue(); }

void AudioSettingsPanel3GP::SetAudioEnabled(bool enabled)
{
    if (m_EnabledCheck->GetValue() == enabled)
        return;
    m_EnabledCheck->SetValue(enabled);
    EnableBitrateButtons(enabled);
}

int AudioSettingsPanel3GP::GetBitrate() const { return bitrates3gp[m_BitrateIndex]; }

int AudioSettingsPanel3GP::CalcIndexFromBitrate(int bitrate)
{
    int position = 0;
    while (position < BITRATE_COUNT - 1 && bitrates3gp[position] < bitrate)
        ++position;
    return position;
}

void AudioSettingsPanel3GP::SetBitrate(int bitrate)
{
    m_BitrateIndex = CalcIndexFromBitrate(bitrate);
    m_BitrateButtons[m_BitrateIndex]->SetValue(true);
}

void AudioSettingsPanel3GP::EnableBitrateButtons(bool enabled)
{
    for (wxRadioButton* button : m_BitrateButtons)
        button->Enable(enabled);
}

void AudioSettingsPanel3GP::OnRadioButtonChanged(wxCommandEvent&)
{
    for (int i = 0; i < BITRATE_COUNT; ++i) {
        if (m_BitrateButtons[i]->GetValue()) {
            m_BitrateIndex = i;
            break;
        }
    }
    SendABitrateChangedEvent();
}

void AudioSettingsPanel3GP::OnCheckBoxChanged(wxCommandEvent&)
{
    EnableBitrateButtons(m_EnabledCheck->GetValue());
    SendABitrateChangedEvent();
}

void AudioSettingsPanel3GP::SendABitrateChangedEvent()
{
    SendPanelEvent(this, wxAUDIO_SETTINGS_CHANGED);
}
