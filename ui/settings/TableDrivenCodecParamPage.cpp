#include "ui/settings/TableDrivenCodecParamPage.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "media/OutputStream.h"
#include "ui/settings/AudioSettingsPanel.h"
#include "ui/settings/OutputFormatPanel.h"
#include "ui/settings/ResolutionPanel.h"
#include "ui/settings/SettingsEvents.h"
#include "ui/settings/VQualitySettingsPanel.h"

namespace {
AudioSettingsTable MakeAudioTable(const tCodecPageTable& table)
{
    AudioSettingsTable audio(table.iSampleRatesCount, table.iBitRatesCount, false);
    std::copy_n(table.piSampleRates, table.iSampleRatesCount, audio.piSampleRates);
    std::copy_n(table.piMaxStereoBitrates, table.iSampleRatesCount, audio.piMaxStereoBitrates);
    std::copy_n(table.piMaxMonoBitrates, table.iSampleRatesCount, audio.piMaxMonoBitrates);
    std::copy_n(table.piBitRates, table.iBitRatesCount, audio.piBitRates);
    return audio;
}
}  // namespace

const int TableDrivenCodecParamPage::AUDIO_BITRATES[AUDIO_BITRATE_COUNT] = {
    320000, 288000, 256000, 224000, 192000, 160000, 128000, 96000, 64000, 32000, 16000};

wxBEGIN_EVENT_TABLE(TableDrivenCodecParamPage, CodecParamPage)
    EVT_COMMAND(TableDrivenCodecParamPage::ID_RESOLUTION, wxRESOLUTION_CHANGED, TableDrivenCodecParamPage::OnResolutionChanged)
    EVT_COMMAND(TableDrivenCodecParamPage::ID_VQUALITY, wxVQUALITY_CHANGED, TableDrivenCodecParamPage::OnVideoQualityChanged)
    EVT_COMMAND(TableDrivenCodecParamPage::ID_AUDIO, wxAUDIO_SETTINGS_CHANGED, TableDrivenCodecParamPage::OnAudioSettingsChanged)
    EVT_COMMAND(TableDrivenCodecParamPage::ID_FORMAT, wxOUTPUT_FORMAT_CHANGED, TableDrivenCodecParamPage::OnOutputFormatChanged)
wxEND_EVENT_TABLE()

TableDrivenCodecParamPage::TableDrivenCodecParamPage(tCodecParams& params, wxWindow* parent,
                                                     const tCodecPageTable& table)
    : CodecParamPage(params, parent), m_Table(table)
{
    m_ResolutionPanel = new ResolutionPanel(this, ID_RESOLUTION, wxDefaultPosition, wxDefaultSize,
                                            wxTAB_TRAVERSAL, "ResolutionPanel");
    m_QualityPanel = new VQualitySettingsPanel(this, ID_VQUALITY, wxDefaultPosition,
                                               wxDefaultSize, wxTAB_TRAVERSAL, "VQualitySettingsPanel");
    m_AudioPanel = new AudioSettingsPanel(MakeAudioTable(table), this, ID_AUDIO, wxDefaultPosition,
                                          wxDefaultSize, wxTAB_TRAVERSAL, "AudioSettingsPanel");
    const std::vector<wxString> labels(table.formats.pLabels,
                                       table.formats.pLabels + table.formats.iCount);
    m_FormatPanel = new OutputFormatPanel(table.formats.iCount, labels.data(), this, ID_FORMAT,
                                          wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL,
                                          "OutputFormatPanel");
    LayOutPanels(m_ResolutionPanel, m_QualityPanel, m_AudioPanel,
                 table.bShowFormatPanel ? m_FormatPanel : nullptr);
    if (!table.bShowFormatPanel)
        m_FormatPanel->Show(false);

    m_FormatPanel->SetFormatIndex(FormatIndexFromCodec(table.formats, m_Params.eCodec));
    m_Params.eCodec = CodecFromFormatIndex(table.formats, m_FormatPanel->GetFormatIndex());

    // The bit rate is written back before the stereo flag is applied.
    m_AudioPanel->SetSamplesPerSecond(m_Params.iAudioSampleRate);
    m_Params.iAudioSampleRate = m_AudioPanel->GetSamplesPerSecond();
    m_AudioPanel->SetBitrate(m_Params.iAudioBitrate);
    m_Params.iAudioBitrate = m_AudioPanel->GetBitrate();
    m_AudioPanel->SetAudioEnabled(m_Params.bAudioEnabled);
    m_Params.bAudioEnabled = m_AudioPanel->IsAudioEnabled();
    m_AudioPanel->SetStereo(m_Params.iAudioChannels > 1);
    OfferSourceChannels();
    m_AudioPanel->SetSourceChannels(m_Params.iAudioChannels > 2);
    m_Params.iAudioChannels = m_AudioPanel->GetChannels();

    m_ResolutionPanel->SetResolution(wxSize(m_Params.iWidth, m_Params.iHeight));
    ReadResolution();
    m_ResolutionPanel->SetResolution(wxSize(m_Params.iWidth, m_Params.iHeight));

    NormaliseVideoQuality(m_QualityPanel, table.iMaxFps);
    SnapFrameRate();
}

void TableDrivenCodecParamPage::SnapFrameRate()
{
    if (m_Table.iFrameRatesCount < 1)
        return;
    const int* rates = m_Table.piFrameRates;
    const int* nearest = std::min_element(rates, rates + m_Table.iFrameRatesCount, [this](int a, int b) {
        return std::abs(a - m_Params.iFps) < std::abs(b - m_Params.iFps);
    });
    m_Params.iFps = *nearest;
    m_QualityPanel->SetFps(*nearest);
}

void TableDrivenCodecParamPage::ReadResolution()
{
    const wxSize resolution = m_ResolutionPanel->GetResolution();
    const int evenMask = m_Table.bEvenSize ? ~1 : ~0;
    m_Params.iWidth = resolution.GetWidth() & evenMask;
    m_Params.iHeight = resolution.GetHeight() & evenMask;
}

// The panel keeps what the user typed; the record takes the even size.
void TableDrivenCodecParamPage::OnResolutionChanged(wxCommandEvent&)
{
    ReadResolution();
}

void TableDrivenCodecParamPage::OnVideoQualityChanged(wxCommandEvent&)
{
    ReadVideoQuality(m_QualityPanel);
    SnapFrameRate();
}

void TableDrivenCodecParamPage::OnAudioSettingsChanged(wxCommandEvent&)
{
    m_Params.iAudioSampleRate = m_AudioPanel->GetSamplesPerSecond();
    m_Params.iAudioBitrate = m_AudioPanel->GetBitrate();
    m_Params.bAudioEnabled = m_AudioPanel->IsAudioEnabled();
    m_Params.iAudioChannels = m_AudioPanel->GetChannels();
}

void TableDrivenCodecParamPage::OnOutputFormatChanged(wxCommandEvent&)
{
    m_Params.eCodec = CodecFromFormatIndex(m_Table.formats, m_FormatPanel->GetFormatIndex());
    OfferSourceChannels();
    m_Params.iAudioChannels = m_AudioPanel->GetChannels();
}

void TableDrivenCodecParamPage::OfferSourceChannels()
{
    tCodecParams surround = m_Params;
    surround.iAudioChannels = 6;
    m_AudioPanel->OfferSourceChannels(OutputStream::ChannelsFor(surround) > 2);
}
