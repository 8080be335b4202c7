#include "ui/settings/CodecParamPage.h"

#include <algorithm>

#include <wx/sizer.h>
#include <wx/toplevel.h>

#include "media/FormatRules.h"
#include "ui/settings/AudioSettingsPanel.h"
#include "ui/settings/EncoderSettingsPanel.h"
#include "ui/settings/FormatFamilies.h"
#include "ui/settings/OutputFormatPanel.h"
#include "ui/settings/ResolutionPanel.h"
#include "ui/settings/SettingsEvents.h"
#include "ui/settings/VQualitySettingsPanel.h"

CodecParamPage::CodecParamPage(tCodecParams& params, const tFormatFamily& family, wxWindow* parent)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL | wxNO_BORDER, "CodecParamPage"),
      m_Params(params)
{
    const std::vector<enumOutputCodec>& codecs = family.codecs;
    if (std::find(codecs.begin(), codecs.end(), m_Params.eCodec) == codecs.end())
        m_Params.eCodec = codecs.front();
    m_Params = NormaliseForFormat(m_Params);

    m_ResolutionPanel = new ResolutionPanel(this, wxID_ANY);
    m_QualityPanel = new VQualitySettingsPanel(this, wxID_ANY);
    m_EncoderPanel = new EncoderSettingsPanel(this, wxID_ANY);
    m_AudioPanel = new AudioSettingsPanel(this, wxID_ANY);
    m_FormatPanel = new OutputFormatPanel(codecs, this, wxID_ANY);
    // While the user types a size, the size fields keep what was typed.
    m_ResolutionPanel->Bind(wxRESOLUTION_CHANGED, [this](wxCommandEvent&) { ReadPanels(false); });
    auto readAll = [this](wxCommandEvent&) { ReadPanels(true); };
    m_QualityPanel->Bind(wxVQUALITY_CHANGED, readAll);
    m_EncoderPanel->Bind(wxVQUALITY_CHANGED, readAll);
    m_AudioPanel->Bind(wxAUDIO_SETTINGS_CHANGED, readAll);
    m_FormatPanel->Bind(wxOUTPUT_FORMAT_CHANGED, readAll);

    // Two columns: the picture and the file type; the video and the sound.
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    const std::vector<std::vector<wxWindow*>> panels = {{m_ResolutionPanel, m_FormatPanel},
                                                        {m_QualityPanel, m_EncoderPanel, m_AudioPanel}};
    for (const std::vector<wxWindow*>& column : panels) {
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        for (wxWindow* panel : column)
            sizer->Add(panel, 0, wxEXPAND | wxALL, 5);
        columns->Add(sizer, 1, wxEXPAND);
    }
    SetSizer(columns);
    ShowRecord(true);
}

void CodecParamPage::ReadPanels(bool showSize)
{
    wxSize size = m_ResolutionPanel->GetResolution();
    m_Params.iWidth = size.x;
    m_Params.iHeight = size.y;
    m_QualityPanel->Read(m_Params);
    m_EncoderPanel->Read(m_Params);
    m_AudioPanel->Read(m_Params);
    m_Params.eCodec = m_FormatPanel->GetCodec();
    m_Params = NormaliseForFormat(m_Params);
    ShowRecord(showSize);
}

void CodecParamPage::ShowRecord(bool showSize)
{
    const tOutputFormat& format = OutputFormat(m_Params.eCodec);
    if (showSize)
        m_ResolutionPanel->SetResolution(format, wxSize(m_Params.iWidth, m_Params.iHeight));
    m_QualityPanel->Load(format, m_Params);
    m_EncoderPanel->Load(format, m_Params);
    m_AudioPanel->Load(format, m_Params);
    // Copied pictures keep the source's size and rate.
    m_ResolutionPanel->Enable(!m_Params.bCopyVideo);
    m_QualityPanel->Enable(!m_Params.bCopyVideo);
    m_FormatPanel->SetCodec(m_Params.eCodec);
    FitDialog();
}

void CodecParamPage::FitDialog()
{
    wxWindow* top = wxGetTopLevelParent(this);
    if (!top || !top->GetSizer())
        return;
    top->InvalidateBestSize();
    wxSize least = top->GetSizer()->GetMinSize();
    least = top->ClientToWindowSize(least);
    top->SetMinSize(least);
    wxSize now = top->GetSize();
    now.IncTo(least);
    top->SetSize(now);
    top->Layout();
}
