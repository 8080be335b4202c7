#pragma once
// The modal dialog in which the output parameters are edited, one page per
// output family. It works on its own copy of the record; the caller reads it
// back with GetCodecParams() after OK.
//
// It is also the validator of a record: building the family's page on a
// record leaves in it only values that the page can show.
#include <wx/dialog.h>

#include "media/CodecParams.h"

class CodecParamPage;
class wxBoxSizer;

class CodecPropsDlg : public wxDialog {
public:
    // With showCodecChoice false the family's name is appended to the title
    // and the family cannot be changed.
    CodecPropsDlg(const tCodecParams& params, bool showCodecChoice, wxWindow* parent,
                  wxWindowID id, const wxString& title,
                  const wxPoint& pos = wxDefaultPosition,
                  const wxSize& size = wxDefaultSize,
                  long style = wxDEFAULT_DIALOG_STYLE,
                  const wxString& name = "CodecPropsDlg");

    static int GetCountSupportedCodecs();
    // The family's first codec: 1 → OC_MP4, 2 → OC_SWF, 3 → OC_MPG, anything else → OC_3GP.
    static enumOutputCodec GetCodecTypeFromIndex(int familyIndex);
    // The MP4 type → 1, SWF/FLV → 2, MPG/M2V/VOB → 3, anything else → 0.
    static int GetCodecIndexFromCodecType(enumOutputCodec codec);
    // Empty for an index outside the families.
    static wxString GetCodecName(int familyIndex);
    // The family's page, built on `params` (which it normalises); null for an
    // index outside the families.
    static CodecParamPage* CreateCodecParamPage(int familyIndex, tCodecParams& params,
                                                wxWindow* parent);
    // Rewrites `params` to what its family's page shows.
    static void DoParamsValidation(tCodecParams& params);

    tCodecParams GetCodecParams() const { return m_Params; }
    void SetNewPage(int familyIndex);

private:
    enum { ID_CODEC_CHOICE = 1001 };
    static constexpr int CODEC_COUNT = 4;
    static const wxString CODEC_NAMES[CODEC_COUNT];

    void OnCodecSelected(wxCommandEvent& event);

    tCodecParams m_Params;
    CodecParamPage* m_Page = nullptr;
    wxBoxSizer* m_PageSizer = nullptr;

    wxDECLARE_EVENT_TABLE();
};
