#include "media/OutputStream.h"

#include <algorithm>
#include <cstring>

#include "media/ContainerProfiles.h"

namespace {

const char* const cantCreate = "Can't create output stream with this parameters.";

tFFMpegEncoder* Open3GP(const char* fileName, const tCodecParams& params,
                        tVideoParamsMP4 video, bool noAudio)
{
    int bitrate = Find3GPAudioBitrate(params.iAudioBitrate);
    tVideoParams3GP video3gp;
    if (bitrate < 0 || !ConvertAndPrepareVideoParams3GP(video, video3gp))
        return nullptr;
    enum3GPVersion version = params.eCodec == OC_3G2 ? VERSION_3G2 : VERSION_3GP;
    return OpenOutput3GP(fileName, version, enumAudioBitrate3GP(bitrate), video3gp, noAudio);
}

tFFMpegEncoder* OpenFamily(const char* fileName, const tCodecParams& params)
{
    tAudioParamsMP4 audio = {params.iAudioBitrate, params.iAudioSampleRate, params.iAudioChannels};
    tVideoParamsMP4 video = {params.iVideoBitrate, params.iWidth, params.iHeight, params.iFps, params.iGopSize};
    bool noAudio = !params.bAudioEnabled;
    switch (params.eCodec) {
    case OC_MP4: return OpenOutputMP4(fileName, audio, video, noAudio);
    case OC_PSP: return OpenOutputPSP(fileName, audio, video, noAudio);
    case OC_MOV: return OpenOutputMOV(fileName, audio, video, noAudio);
    case OC_SWF: return OpenOutputSWF(fileName, audio, video, noAudio);
    case OC_FLV: return OpenOutputFLV(fileName, audio, video, noAudio);
    case OC_MPG: return OpenOutputMPG(fileName, MPEG_FORMAT_MPEG, audio, video, noAudio);
    case OC_M2V: return OpenOutputMPG(fileName, MPEG_FORMAT_TS, audio, video, noAudio);
    case OC_VOB: return OpenOutputMPG(fileName, MPEG_FORMAT_DVD, audio, video, noAudio);
    case OC_3GP:
    case OC_3G2: return Open3GP(fileName, params, video, noAudio);
    }
    return nullptr;
}

}  // namespace

OutputStream::OutputStream(const char* fileName, const tCodecParams& params)
    : m_Encoder(OpenFamily(fileName, params))
{
    if (!m_Encoder)
        throw cantCreate;
    if (params.bAudioEnabled) {
        m_AudioBufferSize = 2 * GetAudioFrameSize(m_Encoder.get());
        m_AudioBuffer.resize(m_AudioBufferSize);
    }
}

OutputStream::~OutputStream() = default;

void OutputStream::WriteNextVideoFrame(AVFrame* frame)
{
    if (!m_Encoder)
        throw "Can't write to nonopened codec.";
    if (!WriteVideoFrame(m_Encoder.get(), frame))
        throw "Can't write next video frame.";
}

void OutputStream::WriteNextAudioFrame(const void* data, int size)
{
    if (m_AudioBuffer.empty())
        return;
    auto bytes = static_cast<const char*>(data);
    while (size > 0) {
        int n = std::min(size, m_AudioBufferSize - m_AudioBufferFill);
        std::memcpy(m_AudioBuffer.data() + m_AudioBufferFill, bytes, n);
        bytes += n;
        size -= n;
        m_AudioBufferFill += n;
        if (m_AudioBufferFill == m_AudioBufferSize) {
            // A frame the encoder refuses is skipped; the export goes on.
            WriteAudioFrame(m_Encoder.get(), reinterpret_cast<const short*>(m_AudioBuffer.data()));
            m_AudioBufferFill = 0;
        }
    }
}
