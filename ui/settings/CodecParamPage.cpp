#include "ui/settings/CodecParamPage.h"

#include <algorithm>

#include <wx/sizer.h>

#include "ui/settings/VQualitySettingsPanel.h"

namespace {
// Quality is shown as the distance of the GOP size from its maximum.
constexpr int MAX_GOP_SIZE = 20;
constexpr int MIN_VIDEO_BITRATE = 5000;
constexpr int MAX_VIDEO_BITRATE = 15000000;
constexpr int MIN_FPS = 5;
}  // namespace

CodecParamPage::CodecParamPage(tCodecParams& params, wxWindow* parent)
    : wxPanel(parent, 0, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL | wxNO_BORDER),
      m_Params(params)
{
}

enumOutputCodec CodecParamPage::CodecFromFormatIndex(const tFormatChoices& formats, int formatIndex)
{
    if (formatIndex < 0 || formatIndex >= formats.iCount)
        return formats.pCodecs[0];
    return formats.pCodecs[formatIndex];
}

int CodecParamPage::FormatIndexFromCodec(const tFormatChoices& formats, enumOutputCodec codec)
{
    for (int i = 0; i < formats.iCount; ++i) {
        if (formats.pCodecs[i] == codec)
            return i;
    }
    return 0;
}

void CodecParamPage::LayOutPanels(wxWindow* resolution, wxWindow* quality, wxWindow* audio,
                                  wxWindow* format)
{
    auto* rows = new wxBoxSizer(wxVERTICAL);
    auto* video = new wxBoxSizer(wxHORIZONTAL);
    auto* sound = new wxBoxSizer(wxHORIZONTAL);
    rows->Add(video, 1, wxEXPAND | wxALL, 0);
    rows->Add(sound, 1, wxEXPAND | wxALL, 0);
    video->Add(resolution, 0, wxEXPAND | wxALL, 5);
    video->Add(quality, 1, wxEXPAND | wxALL, 5);
    sound->Add(audio, 1, wxEXPAND | wxALL, 5);
    if (format)
        sound->Add(format, 0, wxEXPAND | wxALL, 5);
    SetSizer(rows);
}

void CodecParamPage::NormaliseVideoQuality(VQualitySettingsPanel* panel, int maxFps)
{
    panel->SetQualityRange(0, MAX_GOP_SIZE);
    // Computed in 64 bits: the record may hold any 32-bit GOP size.
    const long long quality = MAX_GOP_SIZE - static_cast<long long>(m_Params.iGopSize);
    panel->SetQuality(static_cast<int>(std::max(std::min(quality, 1LL * MAX_GOP_SIZE), 0LL)));
    m_Params.iGopSize = MAX_GOP_SIZE - panel->GetQuality();

    panel->SetBitrateRange(MIN_VIDEO_BITRATE, MAX_VIDEO_BITRATE);
    panel->SetBitrate(m_Params.iVideoBitrate);
    m_Params.iVideoBitrate = panel->GetBitrate();

    panel->SetFpsRange(MIN_FPS, maxFps);
    panel->SetFps(m_Params.iFps);
    m_Params.iFps = panel->GetFps();
}

void CodecParamPage::ReadVideoQuality(const VQualitySettingsPanel* panel)
{
    m_Params.iGopSize = MAX_GOP_SIZE - panel->GetQuality();
    m_Params.iVideoBitrate = panel->GetBitrate();
    // A rate the user chooses is a whole number, no longer the source's.
    if (panel->GetFps() != m_Params.iFps)
        m_Params.iSourceFpsNum = m_Params.iSourceFpsDen = 0;
    m_Params.iFps = panel->GetFps();
}
