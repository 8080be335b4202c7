#include "media/SoundEncoder.h"

#include "media/ContainerProfiles.h"
#include "media/MediaError.h"

SoundEncoder::SoundEncoder(AVFormatContext& file, AVCodecID codec, const tAudioParamsMP4& params)
    : m_File(file), m_Packet(av_packet_alloc())
{
    const AVCodec* encoder = avcodec_find_encoder(codec);
    m_Codec.reset(encoder ? avcodec_alloc_context3(encoder) : nullptr);
    if (!m_Codec || !m_Packet)
        throw cantCreateOutput;
    m_Stream = CreateAudioStreamMP4(&file, m_Codec.get(), codec, &params);
    if (!m_Stream)
        throw cantCreateOutput;
    CheckMedia(avcodec_open2(m_Codec.get(), encoder, nullptr), cantCreateOutput);
    CheckMedia(avcodec_parameters_from_context(m_Stream->codecpar, m_Codec.get()), cantCreateOutput);
    m_Stream->time_base = m_Codec->time_base;
    m_Sound = std::make_unique<AudioResampler>(*m_Codec);
}

int64_t SoundEncoder::Write(const AVFrame& frame, int64_t room)
{
    int64_t taken = m_Sound->Put(&frame, room);
    while (ffmpeg::FramePtr out = m_Sound->Take(false))
        Encode(out.get());
    return taken;
}

void SoundEncoder::Finish()
{
    while (ffmpeg::FramePtr out = m_Sound->Take(true))
        Encode(out.get());
    Encode(nullptr);
}

// A frame the encoder refuses is skipped; a file that cannot be written ends it.
void SoundEncoder::Encode(AVFrame* frame)
{
    if (frame) {
        frame->pts = m_NextPts;
        m_NextPts += frame->nb_samples;
    }
    if (avcodec_send_frame(m_Codec.get(), frame) < 0)
        return;
    while (avcodec_receive_packet(m_Codec.get(), m_Packet.get()) >= 0) {
        av_packet_rescale_ts(m_Packet.get(), m_Codec->time_base, m_Stream->time_base);
        m_Packet->stream_index = m_Stream->index;
        int written = av_interleaved_write_frame(&m_File, m_Packet.get());
        if (written < 0)
            ThrowOutputFailure(written, "Can't write next audio frame.");
    }
}
