#include "ui/settings/EncoderSettingsPanel.h"

#include <algorithm>
#include <cmath>

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "ui/settings/SettingsEvents.h"
#include "ui/settings/TitledBox.h"

namespace {
constexpr int sliderWidth = 240;
constexpr double largestTargetMB = 100000;
// A target size first chosen: what mail and chat services commonly take.
constexpr int firstTargetKB = 25000;

const char* RateText(enumVideoRate rate)
{
    static const char* const texts[] = {"Bit rate", "Constant quality", "Target size"};
    return texts[rate];
}

wxString SpeedText(const tEncoderChoices& encoder, size_t index)
{
    wxString text = encoder.speeds[index];
    if (index == 0)
        text += " (fastest)";
    else if (index + 1 == encoder.speeds.size())
        text += " (slowest, smallest)";
    return text;
}
}  // namespace

EncoderSettingsPanel::EncoderSettingsPanel(wxWindow* parent, wxWindowID id)
    : wxPanel(parent, id, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, "EncoderSettingsPanel")
{
    auto* box = NewTitledBox(this, wxVERTICAL, "Encoding");
    SetSizer(box);
    wxWindow* boxWindow = box->GetStaticBox();
    m_Grid = new wxFlexGridSizer(2, 5, 5);
    m_Grid->AddGrowableCol(1);
    box->Add(m_Grid, 0, wxEXPAND | wxALL, 5);

    m_RateChoice = new wxChoice(boxWindow, wxID_ANY);
    m_QualitySlider = new wxSlider(boxWindow, wxID_ANY, 0, 0, 1, wxDefaultPosition, wxSize(sliderWidth, -1),
                                   wxSL_HORIZONTAL | wxSL_VALUE_LABEL);
    m_TargetSpin = new wxSpinCtrlDouble(boxWindow, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                        wxSP_ARROW_KEYS, 0.1, largestTargetMB, 25, 0.1);
    m_TargetSpin->SetDigits(1);
    m_SpeedChoice = new wxChoice(boxWindow, wxID_ANY);
    m_RateRow = AddRow("Rate control:", m_RateChoice);
    m_QualityRow = AddRow("Quality (lower is better):", m_QualitySlider);
    m_TargetRow = AddRow("Target size (MB):", m_TargetSpin);
    m_SpeedRow = AddRow("Speed:", m_SpeedChoice);
    m_CopyVideoCheck = new wxCheckBox(boxWindow, wxID_ANY, "Copy the video as it is (no re-encoding)");
    m_KeepHdrCheck = new wxCheckBox(boxWindow, wxID_ANY, "Keep HDR (10-bit)");
    box->Add(m_KeepHdrCheck, 0, wxEXPAND | wxALL, 5);
    box->Add(m_CopyVideoCheck, 0, wxEXPAND | wxALL, 5);

    for (wxChoice* choice : {m_RateChoice, m_SpeedChoice})
        choice->Bind(wxEVT_CHOICE, &EncoderSettingsPanel::OnChange, this);
    for (wxCheckBox* check : {m_CopyVideoCheck, m_KeepHdrCheck})
        check->Bind(wxEVT_CHECKBOX, &EncoderSettingsPanel::OnChange, this);
    m_QualitySlider->Bind(wxEVT_SCROLL_CHANGED, [this](wxScrollEvent&) { SendPanelEvent(this, wxVQUALITY_CHANGED); });
    m_QualitySlider->Bind(wxEVT_SCROLL_THUMBTRACK, [this](wxScrollEvent&) { SendPanelEvent(this, wxVQUALITY_CHANGED); });
    m_TargetSpin->Bind(wxEVT_SPINCTRLDOUBLE, [this](wxSpinDoubleEvent&) { SendPanelEvent(this, wxVQUALITY_CHANGED); });
}

EncoderSettingsPanel::tRow EncoderSettingsPanel::AddRow(const char* label, wxWindow* control)
{
    auto* text = new wxStaticText(control->GetParent(), wxID_ANY, label);
    m_Grid->Add(text, 0, wxALIGN_CENTER_VERTICAL);
    m_Grid->Add(control, 1, wxEXPAND);
    return {text, control};
}

void EncoderSettingsPanel::ShowRow(const tRow& row, bool show)
{
    m_Grid->Show(row.label, show);
    m_Grid->Show(row.control, show);
}

void EncoderSettingsPanel::Load(const tOutputFormat& format, const tCodecParams& params)
{
    const tEncoderChoices& encoder = format.encoder;
    m_Rates = {VR_BITRATE, VR_TARGET_SIZE};
    if (encoder.quality)
        m_Rates.insert(m_Rates.begin(), VR_QUALITY);
    m_RateChoice->Clear();
    for (enumVideoRate rate : m_Rates)
        m_RateChoice->Append(RateText(rate));
    auto rate = std::find(m_Rates.begin(), m_Rates.end(), params.eVideoRate);
    m_RateChoice->SetSelection(rate == m_Rates.end() ? 0 : int(rate - m_Rates.begin()));
    m_QualitySlider->SetRange(encoder.minQuality, encoder.maxQuality);
    m_QualitySlider->SetValue(params.iQuality);
    m_ShownTargetMB = std::round(params.iTargetKB / 100.0) / 10;
    if (m_TargetSpin->GetValue() != m_ShownTargetMB)
        m_TargetSpin->SetValue(m_ShownTargetMB);
    m_SpeedChoice->Clear();
    for (size_t i = 0; i < encoder.speeds.size(); ++i)
        m_SpeedChoice->Append(SpeedText(encoder, i));
    int speed = params.iSpeed >= 0 ? params.iSpeed : encoder.defaultSpeed;
    m_SpeedChoice->SetSelection(encoder.speeds.empty() ? wxNOT_FOUND : std::min(speed, int(encoder.speeds.size()) - 1));
    m_CopyVideoCheck->SetValue(params.bCopyVideo);
    m_KeepHdrCheck->SetValue(params.bKeepHdr);

    bool encoding = !params.bCopyVideo;
    ShowRow(m_QualityRow, params.eVideoRate == VR_QUALITY && encoder.quality);
    ShowRow(m_TargetRow, params.eVideoRate == VR_TARGET_SIZE);
    ShowRow(m_SpeedRow, !encoder.speeds.empty());
    GetSizer()->Show(m_KeepHdrCheck, encoder.tenBit);
    for (wxWindow* control : {static_cast<wxWindow*>(m_RateChoice), static_cast<wxWindow*>(m_QualitySlider),
                              static_cast<wxWindow*>(m_TargetSpin), static_cast<wxWindow*>(m_SpeedChoice),
                              static_cast<wxWindow*>(m_KeepHdrCheck)})
        control->Enable(encoding);
    m_RateChoice->InvalidateBestSize();
    m_SpeedChoice->InvalidateBestSize();
    Layout();
}

void EncoderSettingsPanel::Read(tCodecParams& params) const
{
    int rate = m_RateChoice->GetSelection();
    if (rate >= 0 && rate < int(m_Rates.size()))
        params.eVideoRate = m_Rates[rate];
    if (m_QualityRow.control->IsShown())
        params.iQuality = m_QualitySlider->GetValue();
    if (m_TargetSpin->GetValue() != m_ShownTargetMB)
        params.iTargetKB = int(std::lround(m_TargetSpin->GetValue() * 1000));
    if (params.eVideoRate == VR_TARGET_SIZE && params.iTargetKB <= 0)
        params.iTargetKB = firstTargetKB;
    if (m_SpeedRow.control->IsShown())
        params.iSpeed = m_SpeedChoice->GetSelection();
    params.bCopyVideo = m_CopyVideoCheck->GetValue();
    params.bKeepHdr = m_KeepHdrCheck->IsShown() && m_KeepHdrCheck->GetValue();
}

void EncoderSettingsPanel::OnChange(wxCommandEvent&)
{
    SendPanelEvent(this, wxVQUALITY_CHANGED);
}
