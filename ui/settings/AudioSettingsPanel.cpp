#include "ui/settings/AudioSettingsPanel.h"

#include <algorithm>

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "media/FormatRules.h"
#include "pipeline/OutputNames.h"
#include "ui/settings/SettingsEvents.h"
#include "ui/settings/TitledBox.h"

namespace {
// Fills the choice with `values` shown by `text` and selects `selected`.
template <class Text>
void Fill(wxChoice* choice, const std::vector<int>& values, int selected, Text text)
{
    choice->Clear();
    for (int value : values)
        choice->Append(text(value));
    auto found = std::find(values.begin(), values.end(), selected);
    choice->SetSelection(found == values.end() ? 0 : int(found - values.begin()));
    choice->InvalidateBestSize();
}

wxString KbpsText(int bitrate)
{
    // The AMR rates are not whole kbit/s: "12.2".
    return wxString::Format("%g", bitrate / 1000.0);
}

int Selected(const wxChoice* choice, const std::vector<int>& values)
{
    int selection = choice->GetSelection();
    return selection >= 0 && selection < int(values.size()) ? values[selection] : 0;
}
}  // namespace

AudioSettingsPanel::AudioSettingsPanel(wxWindow* parent, wxWindowID id)
    : wxPanel(parent, id, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, "AudioSettingsPanel")
{
    auto* box = NewTitledBox(this, wxVERTICAL, "Audio settings");
    SetSizer(box);
    wxWindow* boxWindow = box->GetStaticBox();

    m_EnabledCheck = new wxCheckBox(boxWindow, wxID_ANY, "Enabled");
    m_StereoCheck = new wxCheckBox(boxWindow, wxID_ANY, "Stereo");
    m_SourceChannelsCheck = new wxCheckBox(boxWindow, wxID_ANY, "As the source (up to 5.1)");
    m_CodecChoice = new wxChoice(boxWindow, wxID_ANY);
    m_SampleRateChoice = new wxChoice(boxWindow, wxID_ANY);
    m_BitrateChoice = new wxChoice(boxWindow, wxID_ANY);
    for (wxCheckBox* check : {m_EnabledCheck, m_StereoCheck, m_SourceChannelsCheck})
        check->Bind(wxEVT_CHECKBOX, &AudioSettingsPanel::OnChange, this);
    for (wxChoice* choice : {m_CodecChoice, m_SampleRateChoice, m_BitrateChoice})
        choice->Bind(wxEVT_CHOICE, &AudioSettingsPanel::OnChange, this);

    auto* grid = new wxFlexGridSizer(2, 5, 5);
    grid->AddGrowableCol(1);
    grid->Add(new wxStaticText(boxWindow, wxID_ANY, "Codec:"), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(m_CodecChoice, 1, wxEXPAND);
    grid->Add(new wxStaticText(boxWindow, wxID_ANY, "Samples per second:"), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(m_SampleRateChoice, 1, wxEXPAND);
    grid->Add(new wxStaticText(boxWindow, wxID_ANY, "Bitrate (kbps):"), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(m_BitrateChoice, 1, wxEXPAND);
    box->Add(m_EnabledCheck, 0, wxEXPAND | wxALL, 5);
    box->Add(grid, 0, wxEXPAND | wxALL, 5);
    box->Add(m_StereoCheck, 0, wxEXPAND | wxALL, 5);
    box->Add(m_SourceChannelsCheck, 0, wxEXPAND | wxALL, 5);
}

void AudioSettingsPanel::Load(const tOutputFormat& format, const tCodecParams& params)
{
    const tSoundLimits& sound = SoundLimitsFor(format, params.eSoundCodec);
    bool own = params.bAudioEnabled && params.eSoundCodec != SC_COPY;  // a sound of the output's own making
    m_EnabledCheck->SetValue(params.bAudioEnabled);
    m_StereoCheck->SetValue(params.iAudioChannels > 1);
    m_CodecChoice->Clear();
    m_Codecs.clear();
    for (const tSoundChoice& choice : SoundChoices(format)) {
        m_CodecChoice->Append(choice.label);
        m_Codecs.push_back(choice.codec);
    }
    auto codec = std::find(m_Codecs.begin(), m_Codecs.end(), params.eSoundCodec);
    m_CodecChoice->SetSelection(codec == m_Codecs.end() ? 0 : int(codec - m_Codecs.begin()));
    m_CodecChoice->InvalidateBestSize();
    m_CodecChoice->Enable(params.bAudioEnabled);
    m_SampleRates = sound.sampleRates;
    Fill(m_SampleRateChoice, m_SampleRates, params.iAudioSampleRate, [](int rate) { return wxString::Format("%i", rate); });
    m_Bitrates = SoundBitrates(sound, params.iAudioSampleRate, params.iAudioChannels);
    Fill(m_BitrateChoice, m_Bitrates, params.iAudioBitrate, KbpsText);
    m_SampleRateChoice->Enable(own);
    m_BitrateChoice->Enable(own);
    bool surround = params.iAudioChannels > 2;
    m_SourceChannelsCheck->Show(sound.maxChannels > 2);
    m_SourceChannelsCheck->SetValue(surround);
    m_SourceChannelsCheck->Enable(own);
    m_StereoCheck->Enable(own && sound.maxChannels > 1 && !surround);
    Layout();
}

void AudioSettingsPanel::Read(tCodecParams& params) const
{
    params.bAudioEnabled = m_EnabledCheck->GetValue();
    int codec = m_CodecChoice->GetSelection();
    if (codec >= 0 && codec < int(m_Codecs.size()))
        params.eSoundCodec = m_Codecs[codec];
    const int asTheSource = 6;  // at most: the export keeps fewer when the source has them
    bool surround = m_SourceChannelsCheck->IsShown() && m_SourceChannelsCheck->GetValue();
    params.iAudioChannels = surround ? asTheSource : m_StereoCheck->GetValue() ? 2 : 1;
    params.iAudioSampleRate = Selected(m_SampleRateChoice, m_SampleRates);
    params.iAudioBitrate = Selected(m_BitrateChoice, m_Bitrates);
}

void AudioSettingsPanel::OnChange(wxCommandEvent&)
{
    SendPanelEvent(this, wxAUDIO_SETTINGS_CHANGED);
}
