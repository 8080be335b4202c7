#include "ui/settings/AudioSettingsPanel.h"

#include <algorithm>

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "ui/settings/SettingsEvents.h"

wxBEGIN_EVENT_TABLE(AudioSettingsPanel, wxPanel)
    EVT_CHECKBOX(AudioSettingsPanel::ID_STEREO, AudioSettingsPanel::OnStereoChanged)
    EVT_CHECKBOX(AudioSettingsPanel::ID_SOURCE_CHANNELS, AudioSettingsPanel::OnStereoChanged)
    EVT_CHECKBOX(AudioSettingsPanel::ID_ENABLED, AudioSettingsPanel::OnEnabledAudioChanged)
    EVT_CHOICE(AudioSettingsPanel::ID_SAMPLE_RATE, AudioSettingsPanel::OnSamplesPerSecondChanged)
    EVT_CHOICE(AudioSettingsPanel::ID_BITRATE, AudioSettingsPanel::OnBitrateChanged)
wxEND_EVENT_TABLE()

AudioSettingsPanel::AudioSettingsPanel(const AudioSettingsTable& table, wxWindow* parent,
                                       wxWindowID id, const wxPoint& pos, const wxSize& size,
                                       long style, const wxString& name)
    : wxPanel(parent, id, pos, size, style, name), m_Table(table)
{
    auto* box = new wxStaticBoxSizer(wxVERTICAL, this, "Audio settings");
    SetSizer(box);
    wxWindow* boxWindow = box->GetStaticBox();

    m_EnabledCheck = new wxCheckBox(boxWindow, ID_ENABLED, "Enabled");
    m_StereoCheck = new wxCheckBox(boxWindow, ID_STEREO, "Stereo");
    m_SourceChannelsCheck = new wxCheckBox(boxWindow, ID_SOURCE_CHANNELS, "As the source (up to 5.1)");
    m_SourceChannelsCheck->Hide();
    m_SampleRateChoice = new wxChoice(boxWindow, ID_SAMPLE_RATE);
    m_BitrateChoice = new wxChoice(boxWindow, ID_BITRATE);

    auto* rates = new wxBoxSizer(wxHORIZONTAL);
    box->Add(m_EnabledCheck, 0, wxEXPAND | wxALL, 5);
    box->Add(rates, 1, wxEXPAND | wxALL, 5);
    box->Add(m_StereoCheck, 0, wxEXPAND | wxALL, 5);
    box->Add(m_SourceChannelsCheck, 0, wxEXPAND | wxALL, 5);

    auto* labels = new wxBoxSizer(wxVERTICAL);
    auto* choices = new wxBoxSizer(wxVERTICAL);
    rates->Add(labels, 0, wxEXPAND | wxALL, 5);
    rates->Add(choices, 1, wxEXPAND | wxALL, 5);
    labels->Add(new wxStaticText(boxWindow, wxID_ANY, "Samples per second:"), 1, wxEXPAND | wxALL, 5);
    labels->Add(new wxStaticText(boxWindow, wxID_ANY, "Bitrate (kbps):"), 1, wxEXPAND | wxALL, 5);
    choices->Add(m_SampleRateChoice, 1, wxEXPAND | wxALL, 5);
    choices->Add(m_BitrateChoice, 1, wxEXPAND | wxALL, 5);

    m_EnabledCheck->SetValue(true);
    m_StereoCheck->SetValue(true);

    for (int i = 0; i < m_Table.iSampleRatesCount; ++i)
        m_SampleRateChoice->Append(wxString::Format("%i", m_Table.piSampleRates[i]));
    if (m_Table.iSampleRatesCount > 0)
        m_SampleRateChoice->SetSelection(0);

    RebuildBitrateChoice();
    if (m_BitrateChoice->GetCount() > 0)
        m_BitrateChoice->SetSelection(0);
}

bool AudioSettingsPanel::IsAudioEnabled() const { return m_EnabledCheck->GetValue(); }
bool AudioSettingsPanel::IsStereo() const { return m_StereoCheck->GetValue(); }

void AudioSettingsPanel::SetAudioEnabled(bool enabled)
{
    if (m_EnabledCheck->GetValue() == enabled)
        return;
    m_EnabledCheck->SetValue(enabled);
    EnableAudioControls(enabled);
}

void AudioSettingsPanel::SetStereo(bool stereo)
{
    m_StereoCheck->SetValue(stereo);
    RebuildBitrateChoice();
}

void AudioSettingsPanel::OfferSourceChannels(bool offer)
{
    m_SourceChannelsCheck->Show(offer);
    if (!offer)
        SetSourceChannels(false);
    Layout();
}

bool AudioSettingsPanel::IsSourceChannels() const
{
    return m_SourceChannelsCheck->IsShown() && m_SourceChannelsCheck->GetValue();
}

void AudioSettingsPanel::SetSourceChannels(bool source)
{
    m_SourceChannelsCheck->SetValue(source && m_SourceChannelsCheck->IsShown());
    EnableAudioControls(IsAudioEnabled());
}

int AudioSettingsPanel::GetChannels() const
{
    const int asTheSource = 6;
    return IsSourceChannels() ? asTheSource : IsStereo() ? 2 : 1;
}

int AudioSettingsPanel::GetSamplesPerSecond() const
{
    return GetSamplesPerSecondFromIndex(SelectedSampleRatePosition());
}

void AudioSettingsPanel::SetSamplesPerSecond(int rate)
{
    if (m_Table.iSampleRatesCount == 0)
        return;
    int position = 0;
    while (position < m_Table.iSampleRatesCount - 1 && m_Table.piSampleRates[position] > rate)
        ++position;
    m_SampleRateChoice->SetSelection(position);
    RebuildBitrateChoice();
}

int AudioSettingsPanel::GetBitrate() const
{
    const int selected = std::max(m_BitrateChoice->GetSelection(), 0);
    const int position = m_ListStart + selected;
    return position < m_Table.iBitRatesCount ? m_Table.piBitRates[position] : 0;
}

void AudioSettingsPanel::SetBitrate(int bitrate)
{
    if (m_Table.iBitRatesCount == 0)
        return;
    int position = 0;
    while (position < m_Table.iBitRatesCount - 1 && m_Table.piBitRates[position] > bitrate)
        ++position;
    m_BitrateChoice->SetSelection(std::max(position - m_ListStart, 0));
}

int AudioSettingsPanel::GetSamplesPerSecondFromIndex(int position) const
{
    if (position < 0 || position >= m_Table.iSampleRatesCount)
        return 0;
    return m_Table.piSampleRates[position];
}

int AudioSettingsPanel::GetBitrateFromIndex(int position, bool stereo, int sampleRatePosition) const
{
    const int index = ListStart(stereo, sampleRatePosition) + position;
    if (position < 0 || index >= m_Table.iBitRatesCount)
        return 0;
    return m_Table.piBitRates[index];
}

int AudioSettingsPanel::ListStart(bool stereo, int sampleRatePosition) const
{
    if (sampleRatePosition < 0 || sampleRatePosition >= m_Table.iSampleRatesCount)
        return 0;
    const int start = stereo ? m_Table.piMaxStereoBitrates[sampleRatePosition]
                             : m_Table.piMaxMonoBitrates[sampleRatePosition];
    return std::clamp(start, 0, std::max(m_Table.iBitRatesCount - 1, 0));
}

int AudioSettingsPanel::SelectedSampleRatePosition() const
{
    return std::max(m_SampleRateChoice->GetSelection(), 0);
}

void AudioSettingsPanel::RebuildBitrateChoice()
{
    const bool hadSelection = m_BitrateChoice->GetSelection() != wxNOT_FOUND;
    const int previousRate = hadSelection ? GetBitrate() : 0;

    m_ListStart = ListStart(IsStereo(), SelectedSampleRatePosition());
    m_BitrateChoice->Clear();
    for (int i = m_ListStart; i < m_Table.iBitRatesCount; ++i)
        m_BitrateChoice->Append(wxString::Format("%i", m_Table.piBitRates[i] / 1000));

    if (hadSelection)
        SetBitrate(previousRate);
}

void AudioSettingsPanel::EnableAudioControls(bool enabled)
{
    m_StereoCheck->Enable(enabled && !m_SourceChannelsCheck->GetValue());
    m_SourceChannelsCheck->Enable(enabled);
    m_SampleRateChoice->Enable(enabled);
    m_BitrateChoice->Enable(enabled);
}

void AudioSettingsPanel::OnStereoChanged(wxCommandEvent&)
{
    EnableAudioControls(IsAudioEnabled());
    RebuildBitrateChoice();
    SendSettingsChangedEvent();
}

void AudioSettingsPanel::OnEnabledAudioChanged(wxCommandEvent&)
{
    EnableAudioControls(m_EnabledCheck->GetValue());
    SendSettingsChangedEvent();
}

void AudioSettingsPanel::OnSamplesPerSecondChanged(wxCommandEvent&)
{
    RebuildBitrateChoice();
    SendSettingsChangedEvent();
}

void AudioSettingsPanel::OnBitrateChanged(wxCommandEvent&)
{
    SendSettingsChangedEvent();
}

void AudioSettingsPanel::SendSettingsChangedEvent()
{
    SendPanelEvent(this, wxAUDIO_SETTINGS_CHANGED);
}
