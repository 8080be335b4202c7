#pragma once
// The 3GP/3G2 page: the five H.263 picture sizes, 5..15 frames per second,
// and AMR-NB sound, which is always 8000 Hz mono.
#include "ui/settings/CodecParamPage.h"

class AudioSettingsPanel3GP;
class OutputFormatPanel;
class ResolutionPanel3GP;
class VQualitySettingsPanel;

class CodecParamPage3GP : public CodecParamPage {
public:
    CodecParamPage3GP(tCodecParams& params, wxWindow* parent);

    static enumOutputCodec GetCodecIdFromIndex(int formatIndex);
    static int GetIndexFromCodecId(enumOutputCodec codec);

private:
    void OnResolutionChanged(wxCommandEvent& event);
    void OnVideoQualityChanged(wxCommandEvent& event);
    void OnAudioSettingsChanged(wxCommandEvent& event);
    void OnOutputFormatChanged(wxCommandEvent& event);

    ResolutionPanel3GP* m_ResolutionPanel;
    VQualitySettingsPanel* m_QualityPanel;
    AudioSettingsPanel3GP* m_AudioPanel;
    OutputFormatPanel* m_FormatPanel;

    wxDECLARE_EVENT_TABLE();
};
