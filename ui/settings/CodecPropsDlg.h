#pragma once
// The modal dialog in which the output parameters are edited, one page per
// output family. It works on its own copies of the record, one per family:
// a family's first visit starts from the record proposed for the source, a
// return shows what was set there. The caller reads the chosen family's
// record back with GetCodecParams() after OK.
#include <vector>

#include <wx/dialog.h>

#include "media/CodecParams.h"
#include "media/FormatRules.h"

class CodecParamPage;
class wxBoxSizer;

class CodecPropsDlg : public wxDialog {
public:
    // With showCodecChoice false the family's name is appended to the title
    // and the family cannot be changed. The dialog can always be resized.
    CodecPropsDlg(const tCodecParams& params, bool showCodecChoice, wxWindow* parent,
                  wxWindowID id, const wxString& title,
                  const wxPoint& pos = wxDefaultPosition,
                  const wxSize& size = wxDefaultSize,
                  long style = wxDEFAULT_DIALOG_STYLE,
                  const wxString& name = "CodecPropsDlg");

    // What another family's first visit proposes a record for; until set,
    // the source as the record describes it.
    void SetSource(const tSourceDescription& source) { m_Source = source; }

    static int GetCountSupportedCodecs();
    // The family's first codec; the MP4 family's for an index outside them.
    static enumOutputCodec GetCodecTypeFromIndex(int familyIndex);
    static int GetCodecIndexFromCodecType(enumOutputCodec codec);
    // Empty for an index outside the families.
    static wxString GetCodecName(int familyIndex);

    tCodecParams GetCodecParams() const { return m_Records[m_Family]; }
    void SetNewPage(int familyIndex);

private:
    void OnCodecSelected(wxCommandEvent& event);

    tSourceDescription m_Source;
    std::vector<tCodecParams> m_Records;  // per family
    std::vector<bool> m_Visited;
    int m_Family = 0;
    CodecParamPage* m_Page = nullptr;
    wxBoxSizer* m_PageSizer = nullptr;
};
