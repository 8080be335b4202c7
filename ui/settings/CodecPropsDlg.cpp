#include "ui/settings/CodecPropsDlg.h"

#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "ui/settings/CodecParamPage.h"
#include "ui/settings/FormatFamilies.h"

namespace {
wxString MakeTitle(const wxString& title, bool showCodecChoice, enumOutputCodec codec)
{
    if (showCodecChoice)
        return title;
    return title + " (" + CodecPropsDlg::GetCodecName(FamilyOf(codec)) + ")";
}

// The source as a record describes it, for a caller that names none.
tSourceDescription SourceOf(const tCodecParams& p)
{
    bool exact = p.iSourceFpsNum > 0 && p.iSourceFpsDen > 0;
    return {p.iWidth,         p.iHeight,       1.0,  p.iSourceFpsNum,    p.iSourceFpsDen,
            exact ? double(p.iSourceFpsNum) / p.iSourceFpsDen : p.iFps,
            p.bAudioEnabled,  p.iAudioSampleRate, p.iAudioChannels};
}
}  // namespace

CodecPropsDlg::CodecPropsDlg(const tCodecParams& params, bool showCodecChoice, wxWindow* parent,
                             wxWindowID id, const wxString& title, const wxPoint& pos,
                             const wxSize& size, long style, const wxString& name)
    : wxDialog(parent, id, MakeTitle(title, showCodecChoice, params.eCodec), pos, size, style | wxRESIZE_BORDER,
               name),
      m_Source(SourceOf(params)),
      m_Records(FormatFamilies().size(), params),
      m_Visited(FormatFamilies().size(), false),
      m_Family(FamilyOf(params.eCodec))
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    SetSizer(top);
    m_Visited[m_Family] = true;
    if (showCodecChoice) {
        auto* choiceRow = new wxBoxSizer(wxHORIZONTAL);
        top->Add(choiceRow, 0, wxEXPAND | wxALL, 0);
        choiceRow->Add(new wxStaticText(this, wxID_ANY, "Format:"), 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
        auto* choice = new wxChoice(this, wxID_ANY);
        for (int i = 0; i < GetCountSupportedCodecs(); ++i)
            choice->Append(GetCodecName(i));
        choice->SetSelection(m_Family);
        choice->Bind(wxEVT_CHOICE, &CodecPropsDlg::OnCodecSelected, this);
        choiceRow->Add(choice, 0, wxALL, 5);
    }

    m_PageSizer = new wxBoxSizer(wxVERTICAL);
    top->Add(m_PageSizer, 1, wxEXPAND | wxALL, 0);
    top->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 5);
    SetNewPage(m_Family);
    Fit();
    CentreOnParent(wxBOTH);
}

int CodecPropsDlg::GetCountSupportedCodecs() { return int(FormatFamilies().size()); }

enumOutputCodec CodecPropsDlg::GetCodecTypeFromIndex(int familyIndex)
{
    if (familyIndex < 0 || familyIndex >= GetCountSupportedCodecs())
        familyIndex = FamilyOf(OC_MP4);
    return FormatFamilies()[familyIndex].codecs.front();
}

int CodecPropsDlg::GetCodecIndexFromCodecType(enumOutputCodec codec)
{
    return FamilyOf(codec);
}

wxString CodecPropsDlg::GetCodecName(int familyIndex)
{
    if (familyIndex < 0 || familyIndex >= GetCountSupportedCodecs())
        return wxString();
    return FormatFamilies()[familyIndex].name;
}

void CodecPropsDlg::SetNewPage(int familyIndex)
{
    if (familyIndex < 0 || familyIndex >= GetCountSupportedCodecs())
        return;
    m_Family = familyIndex;
    if (!m_Visited[familyIndex]) {
        m_Records[familyIndex] = ProposeForSource(GetCodecTypeFromIndex(familyIndex), m_Source);
        m_Visited[familyIndex] = true;
    }
    if (m_Page)
        m_Page->Destroy();
    m_Page = new CodecParamPage(m_Records[familyIndex], FormatFamilies()[familyIndex], this);
    m_PageSizer->Add(m_Page, 1, wxEXPAND | wxALL, 0);
    m_Page->FitDialog();
}

void CodecPropsDlg::OnCodecSelected(wxCommandEvent& event)
{
    SetNewPage(event.GetSelection());
}
