#pragma once
// Sound on/off, the sound codec, sample rate, bit rate, stereo and "as the
// source (up to 5.1)", offered as the output and its chosen sound codec
// allow; a copied sound has none of its own. Reports the user's changes
// with wxAUDIO_SETTINGS_CHANGED.
#include <vector>

#include <wx/panel.h>

#include "media/CodecParams.h"
#include "media/OutputFormats.h"

class wxCheckBox;
class wxChoice;

class AudioSettingsPanel : public wxPanel {
public:
    AudioSettingsPanel(wxWindow* parent, wxWindowID id);

    // Offers the sound codecs of `format` and the rates the record's codec
    // allows for its sample rate and channels, and shows the record's
    // values, which are among them.
    void Load(const tOutputFormat& format, const tCodecParams& params);
    void Read(tCodecParams& params) const;

private:
    void OnChange(wxCommandEvent& event);

    wxCheckBox* m_EnabledCheck;
    wxCheckBox* m_StereoCheck;
    wxCheckBox* m_SourceChannelsCheck;
    wxChoice* m_CodecChoice;
    wxChoice* m_SampleRateChoice;
    wxChoice* m_BitrateChoice;
    std::vector<enumSoundCodec> m_Codecs;
    std::vector<int> m_SampleRates;
    std::vector<int> m_Bitrates;
};
