#include "ui/settings/VQualitySettingsPanel.h"

#include <cmath>

#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "helpers/Helpers.h"
#include "ui/settings/SettingsEvents.h"
#include "ui/settings/TitledBox.h"

namespace {
// Long enough that each step of the longest range can be picked.
constexpr int sliderWidth = 240;

wxString GopText(int gop)
{
    // A GOP of 0 or 1 both make every picture a key frame.
    return gop <= 1 ? wxString("picture") : wxString::Format("%i pictures", gop);
}
}  // namespace

VQualitySettingsPanel::VQualitySettingsPanel(wxWindow* parent, wxWindowID id)
    : wxPanel(parent, id, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, "VQualitySettingsPanel")
{
    auto* box = NewTitledBox(this, wxVERTICAL, "Video settings");
    SetSizer(box);
    wxWindow* boxWindow = box->GetStaticBox();
    auto* grid = new wxFlexGridSizer(3, 5, 5);
    grid->AddGrowableCol(1);
    box->Add(grid, 1, wxEXPAND | wxALL, 5);

    auto addRow = [&](const char* label, int max, wxSlider*& slider, wxStaticText*& value) {
        grid->Add(new wxStaticText(boxWindow, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
        slider = new wxSlider(boxWindow, wxID_ANY, 1, 0, max, wxDefaultPosition, wxSize(sliderWidth, -1),
                              wxSL_HORIZONTAL);
        slider->SetMinSize(wxSize(sliderWidth, -1));
        slider->Bind(wxEVT_SCROLL_CHANGED, &VQualitySettingsPanel::OnScroll, this);
        slider->Bind(wxEVT_SCROLL_THUMBTRACK, &VQualitySettingsPanel::OnScroll, this);
        grid->Add(slider, 1, wxEXPAND | wxALIGN_CENTER_VERTICAL);
        value = new wxStaticText(boxWindow, wxID_ANY, "");
        grid->Add(value, 0, wxALIGN_CENTER_VERTICAL);
    };
    addRow("Key frame every:", maxGopSize, m_GopSlider, m_GopValue);
    addRow("Bitrate (kbps):", 15000, m_BitrateSlider, m_BitrateValue);
    addRow("Frames per second:", 60, m_FpsSlider, m_FpsValue);
}

void VQualitySettingsPanel::Load(const tOutputFormat& format, const tCodecParams& params)
{
    m_GopSlider->SetRange(0, maxGopSize);
    m_GopSlider->SetValue(params.iGopSize);
    m_BitrateSlider->SetRange(minVideoBitrate / 1000, format.maxVideoBitrate / 1000);
    m_BitrateSlider->SetValue(params.iVideoBitrate / 1000);
    m_BitrateSlider->Enable(params.eVideoRate == VR_BITRATE);
    bool fixedRates = !format.fixedRates.empty();
    m_FpsSlider->SetRange(fixedRates ? format.fixedRates.front() : minFps,
                          fixedRates ? format.fixedRates.back() : format.maxFps);
    m_FpsSlider->SetValue(params.iFps);
    bool exact = params.iSourceFpsNum > 0 && params.iSourceFpsDen > 0;
    m_SourceFps = exact ? double(params.iSourceFpsNum) / params.iSourceFpsDen : 0;
    ShowValues();
}

void VQualitySettingsPanel::Read(tCodecParams& params) const
{
    params.iGopSize = m_GopSlider->GetValue();
    params.iVideoBitrate = m_BitrateSlider->GetValue() * 1000;
    if (m_FpsSlider->GetValue() != params.iFps)
        params.iSourceFpsNum = params.iSourceFpsDen = 0;
    params.iFps = m_FpsSlider->GetValue();
}

void VQualitySettingsPanel::ShowValues()
{
    m_GopValue->SetLabel(GopText(m_GopSlider->GetValue()));
    m_BitrateValue->SetLabel(wxString::Format("%i", m_BitrateSlider->GetValue()));
    int fps = m_FpsSlider->GetValue();
    bool source = m_SourceFps > 0 && std::lround(m_SourceFps) == fps;
    m_FpsValue->SetLabel(source ? FrameRateText(m_SourceFps) + " (source)" : wxString::Format("%i", fps));
}

void VQualitySettingsPanel::OnScroll(wxScrollEvent&)
{
    ShowValues();
    SendPanelEvent(this, wxVQUALITY_CHANGED);
}
