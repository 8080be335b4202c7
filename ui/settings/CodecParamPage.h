#pragma once
// The body of the settings dialog for one output family: picture size,
// video settings, encoding, sound and the family's outputs, each offered within the
// chosen output's limits. The page edits the record it is given in place:
// every change the user makes is read back, normalised for the output and
// shown again.
#include <wx/panel.h>

#include "media/CodecParams.h"

struct tFormatFamily;
class AudioSettingsPanel;
class EncoderSettingsPanel;
class OutputFormatPanel;
class ResolutionPanel;
class VQualitySettingsPanel;

class CodecParamPage : public wxPanel {
public:
    // The record is normalised for its output, or the family's first output
    // when it is not one of the family's.
    CodecParamPage(tCodecParams& params, const tFormatFamily& family, wxWindow* parent);

    // Lets the dialog grow where the page or a value's text has grown; a
    // larger size the user chose stays.
    void FitDialog();

private:
    // Reads every panel, normalises the record and shows it again (the
    // size fields too when showSize).
    void ReadPanels(bool showSize);
    void ShowRecord(bool showSize);

    tCodecParams& m_Params;
    ResolutionPanel* m_ResolutionPanel;
    VQualitySettingsPanel* m_QualityPanel;
    EncoderSettingsPanel* m_EncoderPanel;
    AudioSettingsPanel* m_AudioPanel;
    OutputFormatPanel* m_FormatPanel;
};
