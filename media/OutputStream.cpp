#include "media/OutputStream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "media/ContainerProfiles.h"

namespace {

const char* const cantCreate = "Can't create output stream with this parameters.";

// The message for a write that failed: a full disk is told as such.
const char* WriteFailure(const tFFMpegEncoder* encoder, const char* otherwise)
{
    return OutputError(encoder) == AVERROR(ENOSPC) ? "The disk is full." : otherwise;
}

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

tFFMpegEncoder* OpenFamily(const char* fileName, const tCodecParams& params, const tColourTags& colour)
{
    tAudioParamsMP4 audio = {params.iAudioBitrate, params.iAudioSampleRate, params.iAudioChannels};
    AVRational rate = OutputFrameRate(params);
    tVideoParamsMP4 video = {params.iVideoBitrate, params.iWidth, params.iHeight, params.iFps,
                             params.iGopSize, rate.num, rate.den, colour};
    bool noAudio = !params.bAudioEnabled;
    if (params.eCodec == OC_3GP || params.eCodec == OC_3G2)
        return Open3GP(fileName, params, video, noAudio);
    return OpenOutputProfile(params.eCodec, fileName, audio, video, noAudio);
}

}  // namespace

OutputStream::OutputStream(const char* fileName, const tCodecParams& params, const tColourTags& colour)
    : m_Encoder(OpenFamily(fileName, params, colour))
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
        throw WriteFailure(m_Encoder.get(), "Can't write next video frame.");
}

void OutputStream::Close()
{
    Finish(false);
}

void OutputStream::CloseEarly()
{
    Finish(true);
}

void OutputStream::Abandon()
{
    if (m_Encoder)
        m_Encoder->bFinished = true;
    m_Encoder.reset();
}

void OutputStream::Finish(bool early)
{
    if (!m_Encoder)
        throw "Can't write to nonopened codec.";
    tFFMpegEncoder* encoder = m_Encoder.get();
    if (!m_AudioBuffer.empty() && !early) {
        int frameBytes = 2 * encoder->pAudioCodec->ch_layout.nb_channels;
        if (m_AudioBufferFill >= frameBytes)
            WriteAudioSamples(encoder, reinterpret_cast<const short*>(m_AudioBuffer.data()),
                              m_AudioBufferFill / frameBytes);
        m_AudioBufferFill = 0;
    }
    int result = FinishOutput(encoder, early);
    const char* failure = WriteFailure(encoder, "Can't finish the output file.");
    m_Encoder.reset();
    if (result < 0)
        throw failure;
}

double OutputStream::GetFrameRate() const
{
    return m_Encoder ? 1.0 / av_q2d(m_Encoder->pVideoCodec->time_base) : 0.0;
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
            // A frame the encoder refuses is skipped and the export goes on;
            // a file that cannot be written ends it.
            WriteAudioFrame(m_Encoder.get(), reinterpret_cast<const short*>(m_AudioBuffer.data()));
            m_AudioBufferFill = 0;
            if (OutputError(m_Encoder.get()) < 0)
                throw WriteFailure(m_Encoder.get(), "Can't write next audio frame.");
        }
    }
}
