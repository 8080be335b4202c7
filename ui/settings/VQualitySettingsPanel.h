#pragma once
// Three sliders: quality (0..20), video bit rate and frame rate, each with a
// text showing its value. The bit-rate slider counts kbps; the interface
// counts bit/s. Every scroll event is reported with wxVQUALITY_CHANGED.
#include <wx/panel.h>

class wxScrollEvent;
class wxSlider;
class wxStaticText;

class VQualitySettingsPanel : public wxPanel {
public:
    VQualitySettingsPanel(wxWindow* parent, wxWindowID id = wxID_ANY,
                          const wxPoint& pos = wxDefaultPosition,
                          const wxSize& size = wxDefaultSize,
                          long style = wxTAB_TRAVERSAL,
                          const wxString& name = "VQualitySettingsPanel");

    int GetQuality() const;
    int GetBitrate() const;  // bit/s
    int GetFps() const;

    // Values outside a slider's range are clamped to the nearer bound.
    void SetQuality(int quality);
    void SetBitrate(int bitrate);  // bit/s, shown in whole kbps
    void SetFps(int fps);

    void SetQualityRange(int min, int max);
    void SetBitrateRange(int min, int max);  // bit/s
    void SetFpsRange(int min, int max);

    int GetQualityMinValue() const;
    int GetQualityMaxValue() const;
    int GetBitrateMinValue() const;  // bit/s
    int GetBitrateMaxValue() const;  // bit/s
    int GetFpsMinValue() const;
    int GetFpsMaxValue() const;

private:
    enum { ID_QUALITY = 1000, ID_BITRATE, ID_FPS };

    void OnQualitySliderMover(wxScrollEvent& event);
    void OnBitrateSliderMover(wxScrollEvent& event);
    void OnFpsSliderMover(wxScrollEvent& event);
    void SendQualityChangedEvent();

    wxSlider* m_QualitySlider;
    wxSlider* m_BitrateSlider;
    wxSlider* m_FpsSlider;
    wxStaticText* m_QualityValue;
    wxStaticText* m_BitrateValue;
    wxStaticText* m_FpsValue;

    wxDECLARE_EVENT_TABLE();
};
