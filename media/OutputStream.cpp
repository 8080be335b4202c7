#include "media/OutputStream.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "media/ContainerProfiles.h"
#include "media/MediaError.h"
#include "media/OutputFormats.h"

namespace {

[[noreturn]] void WriteFailure(const tFFMpegEncoder* encoder, const char* message)
{
    ThrowOutputFailure(OutputError(encoder), message);
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

std::string ReadFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

tEncoding EncodingOf(const tCodecParams& params, int pass, const std::string& stats)
{
    tEncoding encoding;
    encoding.rate = params.eVideoRate;
    encoding.quality = params.iQuality;
    encoding.speed = params.iSpeed;
    encoding.pass = pass;
    encoding.stats = stats;
    if (pass == 2 && OutputFormat(params.eCodec).videoCodec == AV_CODEC_ID_VP9)
        encoding.statsIn = ReadFile(stats);
    encoding.tenBit = params.bKeepHdr;
    encoding.sound = params.eSoundCodec;
    return encoding;
}

tFFMpegEncoder* OpenFamily(const char* fileName, const tCodecParams& params, const tColourTags& colour,
                           AVRational pixelAspect, int pass, const std::string& stats,
                           const AVCodecParameters* copiedSound = nullptr)
{
    tAudioParamsMP4 audio = {params.iAudioBitrate, params.iAudioSampleRate, OutputStream::ChannelsFor(params),
                             copiedSound};
    AVRational rate = OutputFrameRate(params);
    tVideoParamsMP4 video = {params.iVideoBitrate, params.iWidth, params.iHeight, params.iFps,
                             params.iGopSize, rate.num, rate.den, colour, pixelAspect.num, pixelAspect.den};
    bool noAudio = !params.bAudioEnabled;
    if (params.eCodec == OC_3GP || params.eCodec == OC_3G2)
        return Open3GP(fileName, params, video, noAudio);
    return OpenOutputProfile(params.eCodec, fileName, audio, video, noAudio, EncodingOf(params, pass, stats));
}

}  // namespace

int OutputStream::ChannelsFor(const tCodecParams& params)
{
    return std::clamp(params.iAudioChannels, 1, SoundLimits(params.eCodec, params.eSoundCodec).maxChannels);
}

int OutputStream::PixelFormat(const tCodecParams& params)
{
    return EncoderPixelFormat(params.eCodec, params.bKeepHdr);
}

OutputStream::OutputStream(const char* fileName, const tCodecParams& params, const tColourTags& colour,
                           AVRational pixelAspect, int pass, const std::string& stats)
    : m_Pass(pass), m_Stats(stats), m_Encoder(OpenFamily(fileName, params, colour, pixelAspect, pass, stats))
{
    if (!m_Encoder)
        throw cantCreateOutput;
    if (HasAudio(m_Encoder.get()))
        m_Sound = std::make_unique<AudioResampler>(*m_Encoder->audio.pCodec);
}

OutputStream::OutputStream(const char* fileName, const tCodecParams& params, const AVCodecParameters& copiedSound,
                           const tColourTags& colour, AVRational pixelAspect, int pass, const std::string& stats)
    : m_Pass(pass), m_Stats(stats),
      m_Encoder(params.eCodec == OC_3GP || params.eCodec == OC_3G2
                    ? nullptr
                    : OpenFamily(fileName, params, colour, pixelAspect, pass, stats, &copiedSound))
{
    if (!m_Encoder || !HasAudio(m_Encoder.get()))
        throw cantCreateOutput;
}

OutputStream::~OutputStream() = default;

void OutputStream::WriteNextVideoFrame(AVFrame* frame)
{
    if (!m_Encoder)
        throw "Can't write to nonopened codec.";
    if (!WriteVideoFrame(m_Encoder.get(), frame))
        WriteFailure(m_Encoder.get(), "Can't write next video frame.");
}

int64_t OutputStream::WriteSound(const AVFrame* frame, int64_t room)
{
    if (!m_Sound)
        return 0;
    int64_t taken = m_Sound->Put(frame, room);
    EncodeSound(false);
    return taken;
}

void OutputStream::WriteSilence(int samples)
{
    if (!m_Sound)
        return;
    m_Sound->PutSilence(samples);
    EncodeSound(false);
}

void OutputStream::EncodeSound(bool last)
{
    while (ffmpeg::FramePtr frame = m_Sound->Take(last)) {
        // A frame the encoder refuses is skipped and the export goes on;
        // a file that cannot be written ends it.
        WriteAudioFrame(m_Encoder.get(), frame.get());
        if (OutputError(m_Encoder.get()) < 0)
            WriteFailure(m_Encoder.get(), "Can't write next audio frame.");
    }
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
    if (m_Sound && !early)
        EncodeSound(true);
    m_Sound.reset();
    int result = FinishOutput(encoder, early);
    if (m_Pass == 1)
        SaveStatistics();
    auto closed = std::move(m_Encoder);  // the file is closed before a failure is told
    if (result < 0)
        ThrowOutputFailure(result, "Can't finish the output file.");
}

// libvpx hands its first pass's statistics out once drained; x264 and x265
// write their own file.
void OutputStream::SaveStatistics() const
{
    const AVCodecContext* codec = m_Encoder->video.pCodec.get();
    const char* statistics = codec->codec_id == AV_CODEC_ID_VP9 ? codec->stats_out : nullptr;
    if (statistics && !(std::ofstream(m_Stats, std::ios::binary) << statistics))
        throw "Can't write the first pass's statistics.";
}

double OutputStream::GetFrameRate() const
{
    return m_Encoder ? 1.0 / av_q2d(m_Encoder->video.pCodec->time_base) : 0.0;
}

int OutputStream::GetSampleRate() const
{
    return m_Sound ? m_Encoder->audio.pCodec->sample_rate : 0;
}

void OutputStream::WriteCopiedSound(AVPacket* packet, AVRational timeBase)
{
    if (!m_Encoder || m_Sound)
        throw "Can't write to nonopened codec.";
    av_packet_rescale_ts(packet, timeBase, m_Encoder->audio.pCodec->time_base);
    if (!WriteCopiedAudio(m_Encoder.get(), packet))
        WriteFailure(m_Encoder.get(), "Can't write next audio frame.");
}
