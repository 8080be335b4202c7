#include "ui/settings/VQualitySettingsPanel.h"

#include <algorithm>

#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "ui/settings/SettingsEvents.h"

namespace {
void SetClamped(wxSlider* slider, int value)
{
    slider->SetValue(std::clamp(value, slider->GetMin(), slider->GetMax()));
}

void ShowValue(const wxSlider* slider, wxStaticText* text)
{
    text->SetLabel(wxString::Format("%i", slider->GetValue()));
}
}  // namespace

wxBEGIN_EVENT_TABLE(VQualitySettingsPanel, wxPanel)
    EVT_COMMAND_SCROLL(VQualitySettingsPanel::ID_QUALITY, VQualitySettingsPanel::OnQualitySliderMover)
    EVT_COMMAND_SCROLL(VQualitySettingsPanel::ID_BITRATE, VQualitySettingsPanel::OnBitrateSliderMover)
    EVT_COMMAND_SCROLL(VQualitySettingsPanel::ID_FPS, VQualitySettingsPanel::OnFpsSliderMover)
wxEND_EVENT_TABLE()

VQualitySettingsPanel::VQualitySettingsPanel(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                             const wxSize& size, long style, const wxString& name)
    : wxPanel(parent, id, pos, size, style, name)
{
    auto* box = new wxStaticBoxSizer(wxHORIZONTAL, this, "Video quality settings");
    SetSizer(box);
    wxWindow* boxWindow = box->GetStaticBox();

    auto* labels = new wxBoxSizer(wxVERTICAL);
    auto* sliders = new wxBoxSizer(wxVERTICAL);
    auto* values = new wxBoxSizer(wxVERTICAL);
    box->Add(labels, 0, wxEXPAND | wxALL, 5);
    box->Add(sliders, 1, wxEXPAND | wxALL, 5);
    box->Add(values, 0, wxEXPAND | wxALL, 5);

    for (const char* label : {"Quality:", "Bitrate\n(kbps):", "FPS:"}) {
        labels->Add(new wxStaticText(boxWindow, wxID_ANY, label, wxDefaultPosition,
                                     wxDefaultSize, wxALIGN_RIGHT),
                    1, wxEXPAND | wxALL, 0);
    }

    auto makeSlider = [&](int id, int value, int min, int max) {
        auto* slider = new wxSlider(boxWindow, id, value, min, max, wxDefaultPosition,
                                    wxDefaultSize, wxSL_HORIZONTAL | wxSL_AUTOTICKS);
        sliders->Add(slider, 1, wxEXPAND | wxALL, 0);
        return slider;
    };
    m_QualitySlider = makeSlider(ID_QUALITY, 10, 0, 20);
    m_BitrateSlider = makeSlider(ID_BITRATE, 5000, 500, 15000);
    m_FpsSlider = makeSlider(ID_FPS, 15, 5, 15);

    auto makeValue = [&](const char* text) {
        auto* value = new wxStaticText(boxWindow, wxID_ANY, text);
        values->Add(value, 1, wxEXPAND | wxALL, 0);
        return value;
    };
    m_QualityValue = makeValue("10");
    m_BitrateValue = makeValue("5000");
    m_FpsValue = makeValue("15");
}

int VQualitySettingsPanel::GetQuality() const { return m_QualitySlider->GetValue(); }
int VQualitySettingsPanel::GetBitrate() const { return m_BitrateSlider->GetValue() * 1000; }
int VQualitySettingsPanel::GetFps() const { return m_FpsSlider->GetValue(); }

void VQualitySettingsPanel::SetQuality(int quality)
{
    SetClamped(m_QualitySlider, quality);
    ShowValue(m_QualitySlider, m_QualityValue);
}

void VQualitySettingsPanel::SetBitrate(int bitrate)
{
    SetClamped(m_BitrateSlider, bitrate / 1000);
    ShowValue(m_BitrateSlider, m_BitrateValue);
}

void VQualitySettingsPanel::SetFps(int fps)
{
    SetClamped(m_FpsSlider, fps);
    ShowValue(m_FpsSlider, m_FpsValue);
}

void VQualitySettingsPanel::SetQualityRange(int min, int max)
{
    m_QualitySlider->SetRange(min, max);
    ShowValue(m_QualitySlider, m_QualityValue);
}

void VQualitySettingsPanel::SetBitrateRange(int min, int max)
{
    m_BitrateSlider->SetRange(min / 1000, max / 1000);
    ShowValue(m_BitrateSlider, m_BitrateValue);
}

void VQualitySettingsPanel::SetFpsRange(int min, int max)
{
    m_FpsSlider->SetRange(min, max);
    ShowValue(m_FpsSlider, m_FpsValue);
}

int VQualitySettingsPanel::GetQualityMinValue() const { return m_QualitySlider->GetMin(); }
int VQualitySettingsPanel::GetQualityMaxValue() const { return m_QualitySlider->GetMax(); }
int VQualitySettingsPanel::GetBitrateMinValue() const { return m_BitrateSlider->GetMin() * 1000; }
int VQualitySettingsPanel::GetBitrateMaxValue() const { return m_BitrateSlider->GetMax() * 1000; }
int VQualitySettingsPanel::GetFpsMinValue() const { return m_FpsSlider->GetMin(); }
int VQualitySettingsPanel::GetFpsMaxValue() const { return m_FpsSlider->GetMax(); }

void VQualitySettingsPanel::OnQualitySliderMover(wxScrollEvent&)
{
    ShowValue(m_QualitySlider, m_QualityValue);
    SendQualityChangedEvent();
}

void VQualitySettingsPanel::OnBitrateSliderMover(wxScrollEvent&)
{
    ShowValue(m_BitrateSlider, m_BitrateValue);
    SendQualityChangedEvent();
}

void VQualitySettingsPanel::OnFpsSliderMover(wxScrollEvent&)
{
    ShowValue(m_FpsSlider, m_FpsValue);
    SendQualityChangedEvent();
}

void VQualitySettingsPanel::SendQualityChangedEvent()
{
    SendPanelEvent(this, wxVQUALITY_CHANGED);
}
