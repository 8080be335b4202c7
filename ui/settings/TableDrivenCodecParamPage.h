#pragma once
// A page with a free picture size and a sample-rate/bit-rate audio panel,
// whose family is described entirely by a table: its containers, whether
// the container choice is shown, and the audio rates it offers. The MP4 and
// Flash pages are this page with their own tables.
#include "ui/settings/CodecParamPage.h"

class AudioSettingsPanel;
class OutputFormatPanel;
class ResolutionPanel;
class VQualitySettingsPanel;

struct tCodecPageTable {
    CodecParamPage::tFormatChoices formats;
    bool bShowFormatPanel;
    bool bEvenSize;                  // H.264 in 4:2:0 takes even widths and heights only
    int iMaxFps;
    int iSampleRatesCount;
    const int* piSampleRates;        // Hz, highest first
    const int* piMaxStereoBitrates;  // per sample rate: position in piBitRates of the highest allowed
    const int* piMaxMonoBitrates;
    int iBitRatesCount;
    const int* piBitRates;           // bit/s, highest first
    int iFrameRatesCount;            // 0: every whole rate up to iMaxFps
    const int* piFrameRates;         // the only rates the codec takes, lowest first
};

class TableDrivenCodecParamPage : public CodecParamPage {
public:
    TableDrivenCodecParamPage(tCodecParams& params, wxWindow* parent, const tCodecPageTable& table);

    // The audio bit rates that both families offer, highest first.
    static constexpr int AUDIO_BITRATE_COUNT = 11;
    static const int AUDIO_BITRATES[AUDIO_BITRATE_COUNT];

private:
    void OnResolutionChanged(wxCommandEvent& event);
    void OnVideoQualityChanged(wxCommandEvent& event);
    void OnAudioSettingsChanged(wxCommandEvent& event);
    void OnOutputFormatChanged(wxCommandEvent& event);
    // "As the source" is offered where the output's sound takes surround.
    void OfferSourceChannels();
    // The panel's size, made even where the table asks for it.
    void ReadResolution();
    // Moves the frame rate to the nearest one the table allows.
    void SnapFrameRate();

    const tCodecPageTable& m_Table;
    ResolutionPanel* m_ResolutionPanel;
    VQualitySettingsPanel* m_QualityPanel;
    AudioSettingsPanel* m_AudioPanel;
    OutputFormatPanel* m_FormatPanel;

    wxDECLARE_EVENT_TABLE();
};
