#pragma once
// Audio on/off, sample rate, bit rate, stereo and surround for the MP4 and Flash pages.
// The bit rates offered depend on the sample rate and on stereo, both taken
// from the table the page supplies. Reports the user's changes with
// wxAUDIO_SETTINGS_CHANGED.
#include <wx/panel.h>

#include "ui/settings/AudioSettingsTable.h"

class wxCheckBox;
class wxChoice;

class AudioSettingsPanel : public wxPanel {
public:
    AudioSettingsPanel(const AudioSettingsTable& table, wxWindow* parent,
                       wxWindowID id = wxID_ANY,
                       const wxPoint& pos = wxDefaultPosition,
                       const wxSize& size = wxDefaultSize,
                       long style = wxTAB_TRAVERSAL,
                       const wxString& name = "AudioSettingsPanel");

    bool IsAudioEnabled() const;
    void SetAudioEnabled(bool enabled);
    bool IsStereo() const;
    void SetStereo(bool stereo);
    // "As the source (up to 5.1)", shown where the output's sound takes it.
    void OfferSourceChannels(bool offer);
    bool IsSourceChannels() const;
    void SetSourceChannels(bool source);
    // The record's channel count: 6 for as the source, else 2 or 1.
    int GetChannels() const;

    int GetSamplesPerSecond() const;  // Hz
    // The highest table rate not above `rate`, or the lowest table rate.
    void SetSamplesPerSecond(int rate);

    int GetBitrate() const;  // bit/s
    // The highest allowed rate not above `bitrate`; the highest allowed rate
    // when `bitrate` is above it; the lowest rate when below all.
    void SetBitrate(int bitrate);

    int GetSamplesPerSecondFromIndex(int position) const;
    // The rate at `position` of the list offered for that sample rate and stereo setting.
    int GetBitrateFromIndex(int position, bool stereo, int sampleRatePosition) const;

    // Refills the bit-rate list for the current sample rate and stereo
    // setting, keeping the selected rate if it is still offered and taking
    // the highest offered rate otherwise.
    void RebuildBitrateChoice();
    void SendSettingsChangedEvent();

private:
    enum { ID_STEREO = 1000, ID_ENABLED, ID_SAMPLE_RATE, ID_BITRATE, ID_SOURCE_CHANNELS };

    // Position in piBitRates of the first rate offered.
    int ListStart(bool stereo, int sampleRatePosition) const;
    int SelectedSampleRatePosition() const;
    void EnableAudioControls(bool enabled);

    void OnStereoChanged(wxCommandEvent& event);
    void OnEnabledAudioChanged(wxCommandEvent& event);
    void OnSamplesPerSecondChanged(wxCommandEvent& event);
    void OnBitrateChanged(wxCommandEvent& event);

    wxCheckBox* m_EnabledCheck;
    wxCheckBox* m_StereoCheck;
    wxCheckBox* m_SourceChannelsCheck;
    wxChoice* m_SampleRateChoice;
    wxChoice* m_BitrateChoice;
    AudioSettingsTable m_Table;
    int m_ListStart = 0;  // list start of m_BitrateChoice as last built

    wxDECLARE_EVENT_TABLE();
};
