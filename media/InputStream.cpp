#include "media/InputStream.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include <sys/stat.h>

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
}

namespace {

// A demuxer that keeps asking to be called again is given up on after this
// many calls in a row, so no read loop can spin for ever.
const int kMaxReadRetries = 1000;

const char* const noVideoMessage = "This file has no video.";

bool IsValidRate(AVRational rate) { return rate.num > 0 && rate.den > 0; }

// Pipes, devices and folders could block the first read for ever or never
// end; only plain files are media files here.
bool IsRegularFile(const char* fileName)
{
    struct stat status {};
    return fileName && stat(fileName, &status) == 0 && S_ISREG(status.st_mode);
}

// A stream is video only when pictures of a known size and format can be
// decoded from it; a cover picture attached to a song is not video.
bool IsUsableVideo(const AVStream& stream)
{
    const AVCodecParameters& codec = *stream.codecpar;
    if (codec.codec_type != AVMEDIA_TYPE_VIDEO || (stream.disposition & AV_DISPOSITION_ATTACHED_PIC))
        return false;
    AVPixelFormat format = static_cast<AVPixelFormat>(codec.format);
    return codec.width > 0 && codec.height > 0 && format != AV_PIX_FMT_NONE &&
           sws_isSupportedInput(format) && avcodec_find_decoder(codec.codec_id);
}

// The largest timestamp the seconds `time` reach in `timeBase`, truncated
// toward zero and kept inside the 64-bit range.
int64_t SecondsToTimestamp(double time, AVRational timeBase)
{
    double value = time * timeBase.den / timeBase.num;
    const double limit = 9.2e18;
    return static_cast<int64_t>(std::max(-limit, std::min(limit, value)));
}

}  // namespace

InputStream::StaticInit::StaticInit()
{
    // The program keeps no log, so FFmpeg's own messages are not wanted either.
    av_log_set_level(AV_LOG_QUIET);
}

InputStream::StaticInit InputStream::m_StaticInit;

InputStream::InputStream(const char* fileName, bool skipAudio, bool skipVideo)
    : m_ReadPacket(av_packet_alloc()), m_AudioFrame(av_frame_alloc())
{
    if (!m_ReadPacket || !m_AudioFrame) throw "Can't open input file.";
    AVFormatContext* context = nullptr;
    if (!IsRegularFile(fileName) || avformat_open_input(&context, fileName, nullptr, nullptr) < 0)
        throw "Can't open input file.";
    m_FormatContext.reset(context);
    if (avformat_find_stream_info(context, nullptr) < 0)
        throw "Can't read information about stream.";

    bool hasVideo = ChooseStreams(skipAudio, skipVideo);
    if (skipAudio && !skipVideo && !hasVideo)
        throw noVideoMessage;
    if (m_AudioStreamIndex < 0 && m_VideoStreamIndex < 0)
        throw "Input file is empty, can't find audio or video streams. Or all streams is skipped.";

    // A stream whose decoder is missing or fails is dropped; the other one stays.
    if (IsAudioPresent()) {
        try {
            InitAudioStream();
        } catch (const char*) {
            m_AudioDecoder.reset();
            m_AudioStreamIndex = -1;
        }
    }
    if (IsVideoPresent()) {
        try {
            InitVideoStream();
        } catch (const char*) {
            m_VideoDecoder.reset();
            m_VideoStreamIndex = -1;
        }
    }
    GetAudioStreamInfo();
    GetVideoStreamInfo();
    if (m_AudioStreamIndex < 0 && m_VideoStreamIndex < 0)
        throw "Input file is empty, can't find supported audio or video streams. Or all streams is skipped.";

    if (context->start_time != AV_NOPTS_VALUE) m_StartTime = context->start_time;
    CalcRealDuration();
    DiscardUnusedStreams();
}

// The demuxer then skips the other streams' packets instead of reading them
// for nothing (for a file opened once for its sound and once for its
// pictures, each input would otherwise read all of the other's data).
void InputStream::DiscardUnusedStreams()
{
    for (unsigned i = 0; i < m_FormatContext->nb_streams; ++i)
        if (int(i) != m_AudioStreamIndex && int(i) != m_VideoStreamIndex)
            m_FormatContext->streams[i]->discard = AVDISCARD_ALL;
}

InputStream::~InputStream() = default;

bool InputStream::ChooseStreams(bool skipAudio, bool skipVideo)
{
    // The last stream of each kind wins.
    for (unsigned i = 0; i < m_FormatContext->nb_streams; ++i) {
        const AVStream& stream = *m_FormatContext->streams[i];
        if (IsUsableVideo(stream)) m_VideoStreamIndex = static_cast<int>(i);
        if (stream.codecpar->codec_type == AVMEDIA_TYPE_AUDIO) m_AudioStreamIndex = static_cast<int>(i);
    }
    bool hasVideo = m_VideoStreamIndex >= 0;
    if (skipAudio) m_AudioStreamIndex = -1;
    if (skipVideo) m_VideoStreamIndex = -1;
    return hasVideo;
}

ffmpeg::CodecContextPtr InputStream::OpenDecoder(int streamIndex, const char* noDecoderMessage,
                                                 const char* openMessage) const
{
    const AVStream* stream = m_FormatContext->streams[streamIndex];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) throw noDecoderMessage;
    ffmpeg::CodecContextPtr decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0)
        throw openMessage;
    decoder->pkt_timebase = stream->time_base;
    if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
        decoder->thread_count = 0;  // as many codec threads as the machine suits
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) throw openMessage;
    return decoder;
}

void InputStream::InitAudioStream()
{
    const char* openMessage = "Can't open audio codec.";
    m_AudioDecoder = OpenDecoder(m_AudioStreamIndex,
        "Can't find decoder for audio stream. This audio compression not supported.", openMessage);
    const AVChannelLayout& layout = m_AudioDecoder->ch_layout;
    if (layout.nb_channels < 1 || m_AudioDecoder->sample_rate < 1) throw openMessage;
    if (layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&m_AudioLayout.value, layout.nb_channels);
    else if (av_channel_layout_copy(&m_AudioLayout.value, &layout) < 0)
        throw openMessage;
}

void InputStream::InitVideoStream()
{
    const char* openMessage = "Can't open video codec.";
    m_VideoDecoder = OpenDecoder(m_VideoStreamIndex,
        "Can't find decoder for video stream. This video compression not supported.", openMessage);
    if (m_VideoDecoder->width < 1 || m_VideoDecoder->height < 1 ||
        !sws_isSupportedInput(m_VideoDecoder->pix_fmt))
        throw openMessage;
}

void InputStream::GetAudioStreamInfo()
{
    if (!IsAudioPresent()) return;
    m_Info.sampleRate = m_AudioDecoder->sample_rate;
    m_Info.channels = m_AudioLayout.value.nb_channels;
    m_Info.audioCodec = avcodec_get_name(m_AudioDecoder->codec_id);
}

void InputStream::GetVideoStreamInfo()
{
    if (!IsVideoPresent()) return;
    AVStream* stream = m_FormatContext->streams[m_VideoStreamIndex];
    m_Rotator = PictureRotator(PictureRotator::QuarterTurnsOf(*stream));
    m_DecodedWidth = m_VideoDecoder->width;
    m_DecodedHeight = m_VideoDecoder->height;
    m_Info.width = m_Rotator.SwapsSides() ? m_DecodedHeight : m_DecodedWidth;
    m_Info.height = m_Rotator.SwapsSides() ? m_DecodedWidth : m_DecodedHeight;
    m_Info.pixFmt = m_VideoDecoder->pix_fmt;
    // Pictures that are turned come in a format that can be turned.
    if (m_Rotator.GetQuarterTurns() != 0 && !PictureRotator::CanTurn(m_VideoDecoder->pix_fmt))
        m_Info.pixFmt = AV_PIX_FMT_YUV420P;
    GetPictureShape(*stream);

    AVRational rate = stream->avg_frame_rate;
    if (!IsValidRate(rate)) rate = av_guess_frame_rate(m_FormatContext.get(), stream, nullptr);
    AVRational timeBase = m_VideoDecoder->time_base;
    if (IsValidRate(rate)) {
        m_Info.frameRate = av_q2d(rate);
        // Kept within what every encoder's time base can hold.
        av_reduce(&m_Info.frameRateNum, &m_Info.frameRateDen, rate.num, rate.den, 65535);
    } else if (IsValidRate(timeBase))
        m_Info.frameRate = 1.0 / av_q2d(timeBase);
    else
        m_Info.frameRate = 25.0;  // nothing in the file says; the common rate
}

void InputStream::GetPictureShape(AVStream& stream)
{
    AVRational aspect = av_guess_sample_aspect_ratio(m_FormatContext.get(), &stream, nullptr);
    if (aspect.num < 1 || aspect.den < 1) aspect = {1, 1};
    if (m_Rotator.SwapsSides()) std::swap(aspect.num, aspect.den);
    av_reduce(&m_Info.sampleAspectNum, &m_Info.sampleAspectDen, aspect.num, aspect.den, 65535);
    // Wider pixels widen the picture, narrower ones make it narrower; a
    // stretched width is kept even, as pictures of 4:2:0 pixels need.
    m_Info.displayWidth = m_Info.width;
    if (aspect.num != aspect.den)
        m_Info.displayWidth = 2 * int(std::lround(double(m_Info.width) * aspect.num / aspect.den / 2));
    m_Info.displayHeight = m_Info.height;
    const AVCodecParameters& codec = *stream.codecpar;
    m_Info.colour = {codec.color_space, codec.color_primaries, codec.color_trc, codec.color_range};
    m_Info.interlaced = codec.field_order != AV_FIELD_UNKNOWN && codec.field_order != AV_FIELD_PROGRESSIVE;
    m_Info.videoCodec = avcodec_get_name(m_VideoDecoder->codec_id);
}

double InputStream::ContainerDuration() const
{
    if (m_FormatContext->duration != AV_NOPTS_VALUE && m_FormatContext->duration > 0)
        return m_FormatContext->duration / 1000000.0;
    if (IsVideoPresent()) {
        const AVStream* stream = m_FormatContext->streams[m_VideoStreamIndex];
        if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
            return StreamSeconds(m_VideoStreamIndex, stream->duration);
    }
    return 0.0;
}

void InputStream::CalcRealDuration()
{
    m_Duration = std::max(0.0, ContainerDuration());
}

double InputStream::StreamSeconds(int streamIndex, int64_t timestamp) const
{
    return timestamp * av_q2d(m_FormatContext->streams[streamIndex]->time_base);
}

double InputStream::GetPosition() const
{
    if (!IsVideoPresent()) return m_AudioPosition;
    if (!IsAudioPresent()) return m_VideoPosition;
    return std::min(m_AudioPosition, m_VideoPosition);
}

int InputStream::GetVideoFrameBufferSize() const
{
    if (!IsVideoPresent()) return 0;
    int size = av_image_get_buffer_size(static_cast<AVPixelFormat>(m_Info.pixFmt),
                                        m_Info.width, m_Info.height, 1);
    return std::max(size, 0);
}

bool InputStream::IsAudioEnded() const
{
    return !IsAudioPresent() || (m_AllDataRead && m_AudioPackets.Size() == 0 &&
                                 m_AudioData.Size() == 0 && m_AudioDrained);
}

bool InputStream::IsVideoEnded() const
{
    return !IsVideoPresent() || (m_AllDataRead && m_VideoPackets.Size() == 0 &&
                                 m_VideoFrames.Size() == 0 && m_VideoDrained);
}

// ---------------------------------------------------------------- reading

void InputStream::ReadPacket()
{
    AVPacket* packet = m_ReadPacket.get();
    m_AtStart = false;
    int result = av_read_frame(m_FormatContext.get(), packet);
    if (result == AVERROR(EAGAIN)) {
        if (++m_ReadRetries >= kMaxReadRetries) m_AllDataRead = true;
        return;
    }
    m_ReadRetries = 0;
    if (result < 0) {
        m_AllDataRead = true;
        return;
    }
    int stream = packet->stream_index;
    if (packet->size < 1 || !packet->data) {
        // Nothing to decode.
    } else if (stream == m_AudioStreamIndex && !m_AudioPackets.Put(*packet)) {
        av_packet_unref(packet);
        throw "Can't add new audio packet to queue.";
    } else if (stream == m_VideoStreamIndex && !m_VideoPackets.Put(*packet)) {
        av_packet_unref(packet);
        throw "Can't add new video packet to queue.";
    }
    av_packet_unref(packet);  // a packet that was queued is blank already
}

void InputStream::ReadUntilQueued(const AVPacketQueue& queue)
{
    while (queue.Size() == 0 && !m_AllDataRead) ReadPacket();
}

// ---------------------------------------------------------------- audio

void InputStream::DecodeNextAudioFrame(void* buffer, int size)
{
    if (!buffer || size < 1) throw "Invalid buffer or buffer size on decoding audio.";
    char* dest = static_cast<char*>(buffer);
    for (;;) {
        if (m_AudioData.Size() >= size) {
            ReadAudioData(dest, size);
            return;
        }
        if (!IsAudioPresent()) break;
        ReadUntilQueued(m_AudioPackets);
        if (m_AudioPackets.Size() > 0) {
            DecodeAudio();
        } else {
            DrainAudioDecoder();
            break;
        }
    }
    // End of the audio: what is left, then silence.
    long left = std::min<long>(m_AudioData.Size(), size);
    if (left > 0) ReadAudioData(dest, left);
    std::memset(dest + left, 0, size - left);
}

void InputStream::ReadAudioData(char* buffer, long size)
{
    if (!m_AudioData.Read(buffer, size)) throw "Can't read audio from queue.";
    m_NextAudioTime += static_cast<double>(size) / (2.0 * m_Info.channels * m_Info.sampleRate);
}

bool InputStream::FillAudioData()
{
    while (m_AudioData.Size() == 0) {
        ReadUntilQueued(m_AudioPackets);
        if (m_AudioPackets.Size() == 0) {
            DrainAudioDecoder();
            return m_AudioData.Size() > 0;
        }
        DecodeAudio();
    }
    return true;
}

void InputStream::DiscardAudioData(long size)
{
    char scratch[4096];
    while (size > 0) {
        long piece = std::min<long>(size, sizeof scratch);
        ReadAudioData(scratch, piece);
        size -= piece;
    }
}

void InputStream::DecodeAudio()
{
    if (!IsAudioPresent() || m_AudioPackets.Size() == 0) return;
    ffmpeg::PacketPtr packet = m_AudioPackets.Get();
    int result = avcodec_send_packet(m_AudioDecoder.get(), packet.get());
    if (result == AVERROR(EAGAIN)) {
        ReceiveAudioFrames();
        result = avcodec_send_packet(m_AudioDecoder.get(), packet.get());
    }
    if (result < 0) return;  // a packet that does not decode is dropped
    ReceiveAudioFrames();
    int64_t time = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
    if (time != AV_NOPTS_VALUE) m_AudioPosition = StreamSeconds(m_AudioStreamIndex, time);
}

void InputStream::ReceiveAudioFrames()
{
    AVFrame* frame = m_AudioFrame.get();
    while (avcodec_receive_frame(m_AudioDecoder.get(), frame) >= 0) {
        // The queue's bytes follow one another without gaps; its first
        // byte after a seek takes the time of the frame it came from.
        if (std::isnan(m_NextAudioTime) && m_AudioData.Size() == 0 &&
            frame->best_effort_timestamp != AV_NOPTS_VALUE)
            m_NextAudioTime = StreamSeconds(m_AudioStreamIndex, frame->best_effort_timestamp);
        if (frame->nb_samples > 0 && PrepareResampler(*frame))
            QueueAudio(const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
        av_frame_unref(frame);
    }
}

void InputStream::DrainAudioDecoder()
{
    if (m_AudioDrained || !IsAudioPresent()) return;
    m_AudioDrained = true;
    if (avcodec_send_packet(m_AudioDecoder.get(), nullptr) >= 0) ReceiveAudioFrames();
    if (m_Resampler) QueueAudio(nullptr, 0);  // what the resampler still holds
}

bool InputStream::PrepareResampler(const AVFrame& frame)
{
    AVChannelLayout layout{};
    int channels = frame.ch_layout.nb_channels > 0 ? frame.ch_layout.nb_channels
                                                   : m_AudioLayout.value.nb_channels;
    if (frame.ch_layout.order != AV_CHANNEL_ORDER_UNSPEC && frame.ch_layout.nb_channels > 0)
        av_channel_layout_copy(&layout, &frame.ch_layout);
    else
        av_channel_layout_default(&layout, channels);
    int rate = frame.sample_rate > 0 ? frame.sample_rate : m_AudioDecoder->sample_rate;

    bool same = m_Resampler && frame.format == m_ResamplerFormat && rate == m_ResamplerRate &&
                av_channel_layout_compare(&layout, &m_ResamplerLayout.value) == 0;
    if (same) {
        av_channel_layout_uninit(&layout);
        return true;
    }
    m_Resampler.reset();
    av_channel_layout_uninit(&m_ResamplerLayout.value);
    m_ResamplerLayout.value = layout;  // takes over the layout's storage
    m_ResamplerFormat = frame.format;
    m_ResamplerRate = rate;

    SwrContext* context = nullptr;
    if (swr_alloc_set_opts2(&context, &m_AudioLayout.value, AV_SAMPLE_FMT_S16, m_Info.sampleRate,
                            &m_ResamplerLayout.value, static_cast<AVSampleFormat>(frame.format), rate,
                            0, nullptr) < 0)
        return false;
    ffmpeg::SwrPtr resampler(context);
    if (swr_init(context) < 0) return false;
    m_Resampler = std::move(resampler);
    return true;
}

void InputStream::QueueAudio(const uint8_t** samples, int sampleCount)
{
    int capacity = swr_get_out_samples(m_Resampler.get(), sampleCount);
    if (capacity < 1) return;
    int frameBytes = m_Info.channels * 2;
    std::unique_ptr<char[]> chunk(new (std::nothrow) char[static_cast<size_t>(capacity) * frameBytes]);
    if (!chunk) throw "Can't write to queue audio data.";
    uint8_t* out = reinterpret_cast<uint8_t*>(chunk.get());
    int produced = swr_convert(m_Resampler.get(), &out, capacity, samples, sampleCount);
    if (produced < 1) return;
    if (!m_AudioData.Write(chunk.get(), static_cast<long>(produced) * frameBytes))
        throw "Can't write to queue audio data.";
    (void)chunk.release();
}

// ---------------------------------------------------------------- video

AVFrame* InputStream::DecodeNextVideoFrame()
{
    while (m_VideoFrames.Size() == 0 && IsVideoPresent()) {
        ReadUntilQueued(m_VideoPackets);
        if (m_VideoPackets.Size() == 0) {
            DrainVideoDecoder();
            break;
        }
        DecodeVideo();
        if (m_VideoPackets.Size() == 0 || m_AllDataRead) break;
    }
    return m_VideoFrames.Size() > 0 ? m_VideoFrames.Get() : nullptr;
}

void InputStream::DecodeVideo()
{
    if (!IsVideoPresent() || m_VideoPackets.Size() == 0) return;
    ffmpeg::PacketPtr packet = m_VideoPackets.Get();
    // Pictures that nothing refers to and that come before the time being
    // sought need not be decoded at all.
    bool early = packet->pts != AV_NOPTS_VALUE && StreamSeconds(m_VideoStreamIndex, packet->pts) < m_SkipBefore;
    m_VideoDecoder->skip_frame = early ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
    m_SkippedPictures = m_SkippedPictures || early;
    int result = avcodec_send_packet(m_VideoDecoder.get(), packet.get());
    if (result == AVERROR(EAGAIN)) {
        ReceiveVideoFrames();
        result = avcodec_send_packet(m_VideoDecoder.get(), packet.get());
    }
    if (result >= 0) ReceiveVideoFrames();
}

void InputStream::ReceiveVideoFrames()
{
    for (;;) {
        if (!m_DecodingFrame) {
            m_DecodingFrame.reset(av_frame_alloc());
            if (!m_DecodingFrame) throw "Can't allocate new video frame.";
        }
        AVFrame* frame = m_DecodingFrame.get();
        if (avcodec_receive_frame(m_VideoDecoder.get(), frame) < 0) return;
        // The video has reached the time of the picture just decoded.
        m_VideoPosition = GetPictureTime(*frame);
        m_PictureDecoded = true;
        if (!IsOpeningFormat(*frame)) {
            ffmpeg::FramePtr converted = ToOpeningFormat(*frame);
            av_frame_unref(frame);
            if (!converted) continue;  // a picture that cannot be shown is dropped
            m_DecodingFrame = std::move(converted);
            frame = m_DecodingFrame.get();
        }
        if (m_Rotator.GetQuarterTurns() != 0) {
            m_DecodingFrame = ToUpright(std::move(m_DecodingFrame));
            if (!m_DecodingFrame) continue;
            frame = m_DecodingFrame.get();
        }
        if (!m_VideoFrames.Put(frame)) throw "Can't allocate new video frame.";
        (void)m_DecodingFrame.release();
    }
}

// The opening size is that of the decoded pictures, before they are turned.
bool InputStream::IsOpeningFormat(const AVFrame& frame) const
{
    return frame.width == m_DecodedWidth && frame.height == m_DecodedHeight && frame.format == m_Info.pixFmt;
}

ffmpeg::FramePtr InputStream::ToUpright(ffmpeg::FramePtr frame)
{
    ffmpeg::FramePtr upright = m_Rotator.Turn(*frame);
    if (!upright) throw "Can't allocate new video frame.";
    return upright;
}

// Streams may change picture size or format on the way (broadcasts, joined
// recordings); every picture handed out has the size and format the stream
// opened with, so that what comes after never reads a picture of another shape.
ffmpeg::FramePtr InputStream::ToOpeningFormat(const AVFrame& frame)
{
    AVPixelFormat from = static_cast<AVPixelFormat>(frame.format);
    AVPixelFormat to = static_cast<AVPixelFormat>(m_Info.pixFmt);
    if (frame.width < 1 || frame.height < 1 || from == AV_PIX_FMT_NONE || !sws_isSupportedInput(from) ||
        !sws_isSupportedOutput(to))
        return nullptr;
    m_Rescaler.reset(sws_getCachedContext(m_Rescaler.release(), frame.width, frame.height, from,
                                          m_DecodedWidth, m_DecodedHeight, to, SWS_BICUBIC, nullptr,
                                          nullptr, nullptr));
    ffmpeg::FramePtr out(av_frame_alloc());
    if (!m_Rescaler || !out) return nullptr;
    out->width = m_DecodedWidth;
    out->height = m_DecodedHeight;
    out->format = to;
    if (av_frame_get_buffer(out.get(), 0) < 0 || av_frame_copy_props(out.get(), &frame) < 0)
        return nullptr;
    sws_scale(m_Rescaler.get(), frame.data, frame.linesize, 0, frame.height, out->data, out->linesize);
    return out;
}

double InputStream::GetPictureTime(const AVFrame& frame) const
{
    int64_t time = frame.best_effort_timestamp != AV_NOPTS_VALUE ? frame.best_effort_timestamp
                                                                  : frame.pkt_dts;
    return time != AV_NOPTS_VALUE ? StreamSeconds(m_VideoStreamIndex, time) : m_VideoPosition;
}

void InputStream::DrainVideoDecoder()
{
    if (m_VideoDrained || !IsVideoPresent()) return;
    m_VideoDrained = true;
    if (avcodec_send_packet(m_VideoDecoder.get(), nullptr) >= 0) ReceiveVideoFrames();
}

// ---------------------------------------------------------------- seeking

bool InputStream::Seek(double time)
{
    return Seek(time, false, false);
}

bool InputStream::SeekDemuxer(int streamIndex, double time)
{
    // An input that has read nothing yet is at its start already: files that
    // cannot seek (or seek badly, like FLV without an index) are read from there.
    if (m_AtStart && time <= GetStartTime()) return true;
    AVRational timeBase = m_FormatContext->streams[streamIndex]->time_base;
    return av_seek_frame(m_FormatContext.get(), streamIndex, SecondsToTimestamp(time, timeBase),
                         AVSEEK_FLAG_BACKWARD) >= 0;
}

bool InputStream::Seek(double time, bool skipAudio, bool skipVideo)
{
    if (IsAudioPresent() && !skipAudio) {
        if (!SeekDemuxer(m_AudioStreamIndex, time)) return false;
        avcodec_flush_buffers(m_AudioDecoder.get());
        m_AudioDrained = false;
        m_Resampler.reset();
        m_AudioPackets.Flush();
        m_AudioData.Flush();
        m_AudioPosition = time;
        m_NextAudioTime = NAN;
    }
    if (IsVideoPresent() && !skipVideo) {
        if (!SeekDemuxer(m_VideoStreamIndex, time)) return false;
        avcodec_flush_buffers(m_VideoDecoder.get());
        m_VideoDrained = false;
        m_VideoPackets.Flush();
        m_VideoFrames.Flush();
        m_DecodingFrame.reset();
        m_VideoPosition = time;
        m_PictureDecoded = false;
    }
    m_AllDataRead = false;
    m_ReadRetries = 0;
    return true;
}

bool InputStream::SeekAccurate(double time)
{
    bool onward = CanDecodeOnwardTo(time);
    if (!onward && !Seek(time)) return false;
    double target = time;
    if (IsVideoPresent()) {
        if (!CorrectVideoAfterSeek(time, !onward)) return false;
        target = m_VideoPosition;
    }
    if (!IsAudioPresent()) return true;
    // The demuxer is not moved again for the audio: with video in the same
    // input that would hand the video its packets a second time. The audio
    // packets read while the video was corrected are queued and used.
    return CorrectAudioAfterSeek(target);
}

// A picture input that is to go a little forward needs no seek when no key
// frame lies between the picture it decoded last and the time: decoding on
// from there is never slower than starting again at the key frame.
bool InputStream::CanDecodeOnwardTo(double time) const
{
    if (IsAudioPresent() || !IsVideoPresent() || !m_PictureDecoded || m_AllDataRead || time < m_VideoPosition)
        return false;
    AVStream* stream = m_FormatContext->streams[m_VideoStreamIndex];
    const AVIndexEntry* key = avformat_index_get_entry_from_timestamp(
        stream, SecondsToTimestamp(time, stream->time_base), AVSEEK_FLAG_BACKWARD);
    return key && StreamSeconds(m_VideoStreamIndex, key->timestamp) <= m_VideoPosition;
}

bool InputStream::SeekFurtherBack(double time, double& backoff)
{
    // Some demuxers (MPEG-TS among them) land after the requested time even
    // when asked for the key frame before it; start earlier and earlier
    // until decoding begins in time or the file's start is reached.
    double start = GetStartTime();
    if (time - backoff <= start) return false;
    backoff = backoff > 0.0 ? backoff * 2.0 : 1.0;
    return true;
}

bool InputStream::CorrectVideoAfterSeek(double time, bool sought)
{
    if (!IsVideoPresent()) return false;
    // Pictures are compared by their own times; the first one at or after
    // the target is kept for the caller, so decoding resumes on exactly it.
    // A time past the last picture finds the last picture.
    const double tolerance = 0.0005;
    // Near the end the last pictures may be ones nothing refers to: decode them all there.
    bool nearTheEnd = time + 2.0 / m_Info.frameRate >= GetStartTime() + m_Duration;
    m_SkipBefore = nearTheEnd ? -INFINITY : time - tolerance;
    m_SkippedPictures = false;
    struct SkipNoMore {
        double& skipBefore;
        ~SkipNoMore() { skipBefore = -INFINITY; }
    } skipNoMore{m_SkipBefore};
    try {
        double backoff = 0.0;
        bool firstPicture = sought;
        ffmpeg::FramePtr last;
        for (;;) {
            ffmpeg::FramePtr frame(DecodeNextVideoFrame());
            if (!frame) {
                if (!IsVideoEnded()) continue;
                // The last pictures may have been left undecoded: once more, all of them.
                if (m_SkippedPictures && m_SkipBefore > -INFINITY) {
                    m_SkipBefore = -INFINITY;
                    if (!Seek(time)) return false;
                    last.reset();
                    firstPicture = true;
                    continue;
                }
                return KeepPicture(std::move(last));
            }
            double at = GetPictureTime(*frame);
            if (firstPicture) {
                firstPicture = false;
                if (at > time + tolerance && SeekFurtherBack(time, backoff)) {
                    if (!Seek(std::max(time - backoff, GetStartTime()))) return false;
                    firstPicture = true;
                    continue;
                }
            }
            if (at + tolerance >= time) return KeepPicture(std::move(frame));
            last = std::move(frame);
        }
    } catch (const char*) {
        return false;
    }
}

bool InputStream::KeepPicture(ffmpeg::FramePtr frame)
{
    if (!frame) return true;
    if (!m_VideoFrames.PutFront(frame.get())) return false;
    m_VideoPosition = GetPictureTime(*frame.release());
    return true;
}

bool InputStream::CorrectAudioAfterSeek(double time)
{
    if (!IsAudioPresent()) return false;
    // Decoded sound is dropped up to the sample at `time`; sound that only
    // begins later is left to begin later (GetNextAudioTime() tells when).
    const long frameBytes = 2L * m_Info.channels;
    try {
        double backoff = 0.0;
        bool firstRead = true;
        while (FillAudioData()) {
            if (std::isnan(m_NextAudioTime)) m_NextAudioTime = m_AudioPosition;
            // Starting again earlier is only safe when no video shares the demuxer.
            if (firstRead && !IsVideoPresent() && m_NextAudioTime > time &&
                SeekFurtherBack(time, backoff)) {
                if (!Seek(std::max(time - backoff, GetStartTime()))) return false;
                continue;
            }
            firstRead = false;
            long late = std::lround((time - m_NextAudioTime) * m_Info.sampleRate);
            if (late <= 0) return true;
            DiscardAudioData(std::min(late * frameBytes, m_AudioData.Size() / frameBytes * frameBytes));
        }
        return true;
    } catch (const char*) {
        return false;
    }
}
