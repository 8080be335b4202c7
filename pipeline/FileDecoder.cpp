#include "pipeline/FileDecoder.h"

namespace {

// A demuxer that keeps asking to be called again is given up on.
const int maxReadRetries = 1000;
// Pictures that no other picture refers to are not decoded when they lie
// this long before the time sought: nobody looks at them.
const double unseen = 0.1;

}  // namespace

FileDecoder::FileDecoder(const char* fileName, AVMediaType type, int streamIndex)
    : m_Frame(av_frame_alloc())
{
    AVFormatContext* context = nullptr;
    if (!m_Frame || avformat_open_input(&context, fileName, nullptr, nullptr) < 0)
        return;
    m_File.reset(context);
    if (avformat_find_stream_info(context, nullptr) < 0)
        return;
    bool chosen = streamIndex >= 0 && unsigned(streamIndex) < context->nb_streams &&
                  context->streams[streamIndex]->codecpar->codec_type == type;
    m_Index = chosen ? streamIndex : av_find_best_stream(context, type, -1, -1, nullptr, 0);
    if (m_Index < 0)
        return;
    for (unsigned i = 0; i < context->nb_streams; ++i)
        context->streams[i]->discard = int(i) == m_Index ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    const AVCodecParameters* parameters = context->streams[m_Index]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    ffmpeg::CodecContextPtr decoder(codec ? avcodec_alloc_context3(codec) : nullptr);
    if (!decoder || avcodec_parameters_to_context(decoder.get(), parameters) < 0)
        return;
    decoder->pkt_timebase = context->streams[m_Index]->time_base;
    decoder->thread_count = 0;
    if (avcodec_open2(decoder.get(), codec, nullptr) >= 0)
        m_Decoder = std::move(decoder);
}

double FileDecoder::StartTime() const
{
    return m_File->start_time != AV_NOPTS_VALUE ? m_File->start_time / double(AV_TIME_BASE) : 0.0;
}

double FileDecoder::Seconds(int64_t timestamp) const
{
    return timestamp * av_q2d(Stream().time_base);
}

void FileDecoder::DecodeFrom(double time, const Taker& take)
{
    if (!IsOpen())
        return;
    // Some demuxers (MPEG program and transport streams among them) land
    // after the time asked for, or at the end: start earlier and earlier
    // until decoding begins in time or at the file's start.
    const double slack = 0.002;
    for (double backoff = 0.0;; backoff = backoff > 0 ? backoff * 2 : 1.0) {
        bool atStart = time - backoff <= StartTime(), first = true, missed = !atStart;
        Seek(time - backoff);
        m_SkipBefore = time - unseen;
        Decode([&](const AVFrame& frame, double at) {
            if (first)
                missed = !atStart && at > time + slack;
            first = false;
            return !missed && take(frame, at);
        });
        if (!missed)
            return;
    }
}

void FileDecoder::Seek(double time)
{
    int64_t target = int64_t(time / av_q2d(Stream().time_base));
    if (av_seek_frame(m_File.get(), m_Index, target, AVSEEK_FLAG_BACKWARD) < 0)
        av_seek_frame(m_File.get(), -1, INT64_MIN, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY);
    avcodec_flush_buffers(m_Decoder.get());
}

void FileDecoder::Decode(const Taker& take)
{
    ffmpeg::PacketPtr packet(av_packet_alloc());
    int retries = 0;
    while (packet) {
        int read = av_read_frame(m_File.get(), packet.get());
        if (read == AVERROR(EAGAIN) && ++retries < maxReadRetries)
            continue;
        if (read < 0)
            break;
        retries = 0;
        bool more = packet->stream_index != m_Index || Send(*packet, take);
        av_packet_unref(packet.get());
        if (!more)
            return;
    }
    if (avcodec_send_packet(m_Decoder.get(), nullptr) >= 0)
        Deliver(take);
}

bool FileDecoder::Send(const AVPacket& packet, const Taker& take)
{
    bool early = packet.pts != AV_NOPTS_VALUE && Seconds(packet.pts) < m_SkipBefore;
    m_Decoder->skip_frame = early && Stream().codecpar->codec_type == AVMEDIA_TYPE_VIDEO ? AVDISCARD_NONREF
                                                                                        : AVDISCARD_DEFAULT;
    int sent = avcodec_send_packet(m_Decoder.get(), &packet);
    if (sent == AVERROR(EAGAIN)) {
        if (!Deliver(take))
            return false;
        sent = avcodec_send_packet(m_Decoder.get(), &packet);
    }
    return sent < 0 || Deliver(take);
}

bool FileDecoder::Deliver(const Taker& take)
{
    while (avcodec_receive_frame(m_Decoder.get(), m_Frame.get()) >= 0) {
        int64_t at = m_Frame->best_effort_timestamp;
        bool more = at == AV_NOPTS_VALUE || take(*m_Frame, Seconds(at));
        av_frame_unref(m_Frame.get());
        if (!more)
            return false;
    }
    return true;
}
