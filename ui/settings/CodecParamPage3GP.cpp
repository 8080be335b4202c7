#include "ui/settings/CodecParamPage3GP.h"

#include "ui/settings/AudioSettingsPanel3GP.h"
#include "ui/settings/OutputFormatPanel.h"
#include "ui/settings/ResolutionPanel3GP.h"
#include "ui/settings/SettingsEvents.h"
#include "ui/settings/VQualitySettingsPanel.h"

namespace {
const char* const FORMAT_LABELS[] = {"3gp format", "3g2 format"};
const enumOutputCodec FORMAT_CODECS[] = {OC_3GP, OC_3G2};
const CodecParamPage::tFormatChoices FORMATS = {2, FORMAT_LABELS, FORMAT_CODECS};

constexpr int MAX_FPS = 15;
// AMR-NB encodes only this.
constexpr int AUDIO_SAMPLE_RATE = 8000;
constexpr int AUDIO_CHANNELS = 1;
}  // namespace

wxBEGIN_EVENT_TABLE(CodecParamPage3GP, CodecParamPage)
    EVT_COMMAND(CodecParamPage3GP::ID_RESOLUTION, wxRESOLUTION_CHANGED, CodecParamPage3GP::OnResolutionChanged)
    EVT_COMMAND(CodecParamPage3GP::ID_VQUALITY, wxVQUALITY_CHANGED, CodecParamPage3GP::OnVideoQualityChanged)
    EVT_COMMAND(CodecParamPage3GP::ID_AUDIO, wxAUDIO_SETTINGS_CHANGED, CodecParamPage3GP::OnAudioSettingsChanged)
    EVT_COMMAND(CodecParamPage3GP::ID_FORMAT, wxOUTPUT_FORMAT_CHANGED, CodecParamPage3GP::OnOutputFormatChanged)
wxEND_EVENT_TABLE()

enumOutputCodec CodecParamPage3GP::GetCodecIdFromIndex(int formatIndex)
{
    return CodecFromFormatIndex(FORMATS, formatIndex);
}

int CodecParamPage3GP::GetIndexFromCodecId(enumOutputCodec codec)
{
    return FormatIndexFromCodec(FORMATS, codec);
}

CodecParamPage3GP::CodecParamPage3GP(tCodecParams& params, wxWindow* parent)
    : CodecParamPage(params, parent)
{
    m_ResolutionPanel = new ResolutionPanel3GP(this, ID_RESOLUTION, wxDefaultPosition,
                                               wxDefaultSize, wxTAB_TRAVERSAL, "ResolutionPanel3GP");
    m_QualityPanel = new VQualitySettingsPanel(this, ID_VQUALITY, wxDefaultPosition,
                                               wxDefaultSize, wxTAB_TRAVERSAL, "VQualitySettingsPanel");
    m_AudioPanel = new AudioSettingsPanel3GP(this, ID_AUDIO, wxDefaultPosition, wxDefaultSize,
                                             wxTAB_TRAVERSAL, "AudioSettingsPanel3GP");
    const wxString labels[] = {FORMAT_LABELS[0], FORMAT_LABELS[1]};
    m_FormatPanel = new OutputFormatPanel(FORMATS.iCount, labels, this, ID_FORMAT, wxDefaultPosition,
                                          wxDefaultSize, wxTAB_TRAVERSAL, "OutputFormatPanel");
    LayOutPanels(m_ResolutionPanel, m_QualityPanel, m_AudioPanel, m_FormatPanel);

    m_FormatPanel->SetFormatIndex(GetIndexFromCodecId(m_Params.eCodec));
    m_Params.eCodec = GetCodecIdFromIndex(m_FormatPanel->GetFormatIndex());

    m_AudioPanel->SetBitrate(m_Params.iAudioBitrate);
    m_Params.iAudioBitrate = m_AudioPanel->GetBitrate();
    m_AudioPanel->SetAudioEnabled(m_Params.bAudioEnabled);
    m_Params.bAudioEnabled = m_AudioPanel->IsAudioEnabled();

    m_ResolutionPanel->SetResolution(wxSize(m_Params.iWidth, m_Params.iHeight));
    const wxSize resolution = m_ResolutionPanel->GetResolution();
    m_Params.iWidth = resolution.GetWidth();
    m_Params.iHeight = resolution.GetHeight();

    NormaliseVideoQuality(m_QualityPanel, MAX_FPS);

    m_Params.iAudioChannels = AUDIO_CHANNELS;
    m_Params.iAudioSampleRate = AUDIO_SAMPLE_RATE;
}

void CodecParamPage3GP::OnResolutionChanged(wxCommandEvent&)
{
    const wxSize resolution = m_ResolutionPanel->GetResolution();
    m_Params.iWidth = resolution.GetWidth();
    m_Params.iHeight = resolution.GetHeight();
}

void CodecParamPage3GP::OnVideoQualityChanged(wxCommandEvent&)
{
    ReadVideoQuality(m_QualityPanel);
}

void CodecParamPage3GP::OnAudioSettingsChanged(wxCommandEvent&)
{
    m_Params.iAudioBitrate = m_AudioPanel->GetBitrate();
    m_Params.bAudioEnabled = m_AudioPanel->IsAudioEnabled();
}

void CodecParamPage3GP::OnOutputFormatChanged(wxCommandEvent&)
{
    m_Params.eCodec = GetCodecIdFromIndex(m_FormatPanel->GetFormatIndex());
}
