#pragma once
// How the video is encoded: by bit rate, constant quality or a target file
// size, the encoder's speed, the source's pictures copied as they are, and
// 10-bit HDR kept. Each control is shown only where the output offers it.
// The user's changes are reported with wxVQUALITY_CHANGED.
#include <vector>

#include <wx/panel.h>

#include "media/CodecParams.h"
#include "media/OutputFormats.h"

class wxCheckBox;
class wxChoice;
class wxFlexGridSizer;
class wxSizer;
class wxSlider;
class wxSpinCtrlDouble;
class wxStaticText;

class EncoderSettingsPanel : public wxPanel {
public:
    EncoderSettingsPanel(wxWindow* parent, wxWindowID id);

    void Load(const tOutputFormat& format, const tCodecParams& params);
    void Read(tCodecParams& params) const;

private:
    void OnChange(wxCommandEvent& event);
    // A label and its control, beside each other in the panel's grid.
    struct tRow {
        wxStaticText* label;
        wxWindow* control;
    };
    tRow AddRow(const char* label, wxWindow* control);
    void ShowRow(const tRow& row, bool show);

    wxFlexGridSizer* m_Grid;
    tRow m_RateRow, m_QualityRow, m_TargetRow, m_SpeedRow;
    wxChoice* m_RateChoice;
    wxSlider* m_QualitySlider;
    wxStaticText* m_QualityValue;
    wxSpinCtrlDouble* m_TargetSpin;  // MB
    wxChoice* m_SpeedChoice;
    wxCheckBox* m_CopyVideoCheck;
    wxCheckBox* m_KeepHdrCheck;
    std::vector<enumVideoRate> m_Rates;  // as the rate choice lists them
    double m_ShownTargetMB = 0;          // what Load showed, so that an untouched target keeps its kB
};
