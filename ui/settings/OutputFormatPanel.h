#pragma once
// One radio button per output of a family, labelled from the output table;
// reports the user's choice with wxOUTPUT_FORMAT_CHANGED.
#include <vector>

#include <wx/panel.h>

#include "media/CodecParams.h"

class wxRadioButton;

class OutputFormatPanel : public wxPanel {
public:
    // `codecs` is not empty.
    OutputFormatPanel(const std::vector<enumOutputCodec>& codecs, wxWindow* parent, wxWindowID id);

    enumOutputCodec GetCodec() const;
    // A codec outside the family is ignored.
    void SetCodec(enumOutputCodec codec);

private:
    void OnRadioButtonChanged(wxCommandEvent& event);

    std::vector<enumOutputCodec> m_Codecs;
    std::vector<wxRadioButton*> m_Buttons;
};
