#pragma once
// Three sliders, each with a text showing its value: the distance between
// key frames, the video bit rate and the frame rate. Every scroll event is
// reported with wxVQUALITY_CHANGED.
#include <wx/panel.h>

#include "media/CodecParams.h"
#include "media/OutputFormats.h"

class wxScrollEvent;
class wxSlider;
class wxStaticText;

class VQualitySettingsPanel : public wxPanel {
public:
    VQualitySettingsPanel(wxWindow* parent, wxWindowID id);

    // Shows the record's values within the limits of `format`; the frame
    // rate reads "29.97 (source)" while the record keeps the source's exact rate.
    void Load(const tOutputFormat& format, const tCodecParams& params);
    // Writes the sliders' values into the record; a frame rate the user
    // moved is a whole number, no longer the source's.
    void Read(tCodecParams& params) const;

private:
    void OnScroll(wxScrollEvent& event);
    void ShowValues();

    wxSlider* m_GopSlider;
    wxSlider* m_BitrateSlider;  // kbit/s
    wxSlider* m_FpsSlider;
    wxStaticText* m_GopValue;
    wxStaticText* m_BitrateValue;
    wxStaticText* m_FpsValue;
    double m_SourceFps = 0;  // the exact rate of the loaded record, or 0
};
