#include "ui/settings/CodecPropsDlg.h"

#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "ui/settings/CodecParamPage3GP.h"
#include "ui/settings/CodecParamPageMP4.h"
#include "ui/settings/CodecParamPageMPEG.h"
#include "ui/settings/CodecParamPageSWF.h"

namespace {
constexpr int FAMILY_3GP = 0;
constexpr int FAMILY_MP4 = 1;
constexpr int FAMILY_FLASH = 2;
constexpr int FAMILY_MPEG = 3;

wxString MakeTitle(const wxString& title, bool showCodecChoice, enumOutputCodec codec)
{
    if (showCodecChoice)
        return title;
    return title + " (" +
           CodecPropsDlg::GetCodecName(CodecPropsDlg::GetCodecIndexFromCodecType(codec)) + ")";
}
}  // namespace

const wxString CodecPropsDlg::CODEC_NAMES[CODEC_COUNT] = {"3GP", "MP4", "Flash", "MPEG"};

wxBEGIN_EVENT_TABLE(CodecPropsDlg, wxDialog)
    EVT_CHOICE(CodecPropsDlg::ID_CODEC_CHOICE, CodecPropsDlg::OnCodecSelected)
wxEND_EVENT_TABLE()

CodecPropsDlg::CodecPropsDlg(const tCodecParams& params, bool showCodecChoice, wxWindow* parent,
                             wxWindowID id, const wxString& title, const wxPoint& pos,
                             const wxSize& size, long style, const wxString& name)
    : wxDialog(parent, id, MakeTitle(title, showCodecChoice, params.eCodec), pos, size, style, name),
      m_Params(params)
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    SetSizer(top);

    const int family = GetCodecIndexFromCodecType(m_Params.eCodec);
    if (showCodecChoice) {
        auto* choiceRow = new wxBoxSizer(wxHORIZONTAL);
        top->Add(choiceRow, 0, wxEXPAND | wxALL, 0);
        choiceRow->Add(new wxStaticText(this, wxID_ANY, "Codec:"), 0,
                       wxEXPAND | wxALL, 5);
        auto* choice = new wxChoice(this, ID_CODEC_CHOICE);
        for (int i = 0; i < GetCountSupportedCodecs(); ++i)
            choice->Append(GetCodecName(i));
        choice->SetSelection(family);
        choiceRow->Add(choice, 1, wxEXPAND | wxALL, 5);
    }

    m_PageSizer = new wxBoxSizer(wxVERTICAL);
    top->Add(m_PageSizer, 1, wxEXPAND | wxALL, 0);
    SetNewPage(family);

    top->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 5);
    Fit();
    Centre(wxBOTH);
}

int CodecPropsDlg::GetCountSupportedCodecs() { return CODEC_COUNT; }

enumOutputCodec CodecPropsDlg::GetCodecTypeFromIndex(int familyIndex)
{
    switch (familyIndex) {
    case FAMILY_MP4: return OC_MP4;
    case FAMILY_FLASH: return OC_SWF;
    case FAMILY_MPEG: return OC_MPG;
    default: return OC_3GP;
    }
}

int CodecPropsDlg::GetCodecIndexFromCodecType(enumOutputCodec codec)
{
    switch (codec) {
    case OC_MP4:
    case OC_MP4_PART2:
    case OC_PSP:
    case OC_MOV:
    case OC_MOV_PART2: return FAMILY_MP4;
    case OC_SWF:
    case OC_FLV: return FAMILY_FLASH;
    case OC_MPG:
    case OC_M2V:
    case OC_VOB: return FAMILY_MPEG;
    default: return FAMILY_3GP;
    }
}

wxString CodecPropsDlg::GetCodecName(int familyIndex)
{
    if (familyIndex < 0 || familyIndex >= CODEC_COUNT)
        return wxString();
    return CODEC_NAMES[familyIndex];
}

CodecParamPage* CodecPropsDlg::CreateCodecParamPage(int familyIndex, tCodecParams& params,
                                                    wxWindow* parent)
{
    switch (familyIndex) {
    case FAMILY_3GP: return new CodecParamPage3GP(params, parent);
    case FAMILY_MP4: return new CodecParamPageMP4(params, parent);
    case FAMILY_FLASH: return new CodecParamPageSWF(params, parent);
    case FAMILY_MPEG: return new CodecParamPageMPEG(params, parent);
    default: return nullptr;
    }
}

void CodecPropsDlg::DoParamsValidation(tCodecParams& params)
{
    CodecPropsDlg dialog(params, false, nullptr, 0, "Select codec parameters");
    params = dialog.GetCodecParams();
}

void CodecPropsDlg::SetNewPage(int familyIndex)
{
    if (m_Page) {
        m_Page->Destroy();
        m_Page = nullptr;
    }
    m_Page = CreateCodecParamPage(familyIndex, m_Params, this);
    if (!m_Page)
        return;
    m_PageSizer->Add(m_Page, 1, wxEXPAND | wxALL, 0);
    m_PageSizer->Layout();
}

void CodecPropsDlg::OnCodecSelected(wxCommandEvent& event)
{
    SetNewPage(event.GetSelection());
}
