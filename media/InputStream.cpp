#include "media/InputStream.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <sys/stat.h>

extern "C" {
#include <libavutil/log.h>
#include <libavutil/samplefmt.h>
}

#include "media/MediaError.h"

namespace {

// A demuxer that keeps asking to be called again is given up on after this
// many calls in a row, so no read loop can spin for ever.
const int kMaxReadRetries = 1000;

const char* const noVideoMessage = "This file has no video.";
const char* const cantAllocate = "Can't allocate a frame.";

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

bool IsSound(const AVStream& stream) { return stream.codecpar->codec_type == AVMEDIA_TYPE_AUDIO; }

// The largest timestamp the seconds `time` reach in `timeBase`, truncated
// toward zero and kept inside the 64-bit range.
int64_t SecondsToTimestamp(double time, AVRational timeBase)
{
    double value = time * timeBase.den / timeBase.num;
    const double limit = 9.2e18;
    return static_cast<int64_t>(std::max(-limit, std::min(limit, value)));
}

std::string Tag(const AVStream& stream, const char* key)
{
    const AVDictionaryEntry* entry = av_dict_get(stream.metadata, key, nullptr, 0);
    return entry ? entry->value : "";
}

}  // namespace

InputStream::StaticInit::StaticInit()
{
    // The program keeps no log, so FFmpeg's own messages are not wanted either.
    av_log_set_level(AV_LOG_QUIET);
}

InputStream::StaticInit InputStream::m_StaticInit;

InputStream::InputStream(const char* fileName, bool skipAudio, bool skipVideo, int soundTrack)
    : m_ReadPacket(av_packet_alloc())
{
    if (!m_ReadPacket) throw "Can't open input file.";
    Open(fileName);
    bool hasVideo = ChooseStreams(skipAudio, skipVideo, soundTrack);
    if (skipAudio && !skipVideo && !hasVideo)
        throw noVideoMessage;
    if (!IsAudioPresent() && !IsVideoPresent())
        throw "Input file is empty, can't find audio or video streams. Or all streams is skipped.";

    // A stream whose decoder is missing or fails is dropped; the other one stays.
    OpenTrack(m_Audio, &InputStream::CheckAudio);
    OpenTrack(m_Video, &InputStream::CheckVideo);
    GetAudioStreamInfo();
    GetVideoStreamInfo();
    if (skipVideo && !IsAudioPresent())
        throw "Can't decode the sound of this file.";
    if (!IsAudioPresent() && !IsVideoPresent())
        throw "Input file is empty, can't find supported audio or video streams. Or all streams is skipped.";

    if (m_FormatContext->start_time != AV_NOPTS_VALUE) m_StartTime = m_FormatContext->start_time;
    m_Duration = std::max(0.0, ContainerDuration());
    DiscardUnusedStreams();
}

InputStream::~InputStream() = default;

void InputStream::Open(const char* fileName)
{
    AVFormatContext* context = nullptr;
    if (!IsRegularFile(fileName)) throw "Can't open input file.";
    CheckMedia(avformat_open_input(&context, fileName, nullptr, nullptr), "Can't open input file.");
    m_FormatContext.reset(context);
    CheckMedia(avformat_find_stream_info(context, nullptr), "Can't read information about stream.");
}

// The demuxer then skips the other streams' packets instead of reading them
// for nothing (for a file opened once for its sound and once for its
// pictures, each input would otherwise read all of the other's data).
void InputStream::DiscardUnusedStreams()
{
    for (unsigned i = 0; i < m_FormatContext->nb_streams; ++i)
        if (int(i) != m_Audio.index && int(i) != m_Video.index)
            m_FormatContext->streams[i]->discard = AVDISCARD_ALL;
}

bool InputStream::ChooseStreams(bool skipAudio, bool skipVideo, int soundTrack)
{
    // The last picture stream wins.
    for (unsigned i = 0; i < m_FormatContext->nb_streams; ++i)
        if (IsUsableVideo(*m_FormatContext->streams[i])) m_Video.index = static_cast<int>(i);
    bool hasVideo = IsVideoPresent();
    if (!skipAudio) m_Audio.index = ChooseSoundStream(soundTrack);
    if (skipVideo) m_Video.index = -1;
    return hasVideo;
}

// The track asked for, else the one the file marks as default (what players
// play), else the one FFmpeg ranks best.
int InputStream::ChooseSoundStream(int soundTrack) const
{
    int number = 0;
    int marked = -1;
    for (unsigned i = 0; i < m_FormatContext->nb_streams; ++i) {
        const AVStream& stream = *m_FormatContext->streams[i];
        if (!IsSound(stream)) continue;
        if (++number == soundTrack) return int(i);
        if (marked < 0 && (stream.disposition & AV_DISPOSITION_DEFAULT)) marked = int(i);
    }
    // A file without sound has none of any number.
    if (soundTrack > 0 && number > 0) throw "This file has no such sound track.";
    if (marked >= 0) return marked;
    return std::max(-1, av_find_best_stream(m_FormatContext.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0));
}

std::vector<tSoundTrack> InputStream::GetSoundTracks() const
{
    std::vector<tSoundTrack> tracks;
    for (unsigned i = 0; i < m_FormatContext->nb_streams; ++i) {
        const AVStream& stream = *m_FormatContext->streams[i];
        if (!IsSound(stream)) continue;
        tSoundTrack track;
        track.number = int(tracks.size()) + 1;
        track.language = Tag(stream, "language");
        track.title = Tag(stream, "title");
        track.codec = avcodec_get_name(stream.codecpar->codec_id);
        track.channels = stream.codecpar->ch_layout.nb_channels;
        tracks.push_back(track);
    }
    return tracks;
}

int InputStream::GetSoundTrack() const
{
    if (!IsAudioPresent()) return 0;
    int number = 0;
    for (int i = 0; i <= m_Audio.index; ++i)
        number += IsSound(*m_FormatContext->streams[i]);
    return number;
}

void InputStream::OpenTrack(Track& track, bool (InputStream::*check)())
{
    if (!track.Present()) return;
    const AVStream* stream = m_FormatContext->streams[track.index];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    track.decoder.reset(codec ? avcodec_alloc_context3(codec) : nullptr);
    bool opened = track.decoder && avcodec_parameters_to_context(track.decoder.get(), stream->codecpar) >= 0;
    if (opened) {
        track.decoder->pkt_timebase = stream->time_base;
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
            track.decoder->thread_count = 0;  // as many codec threads as the machine suits
        opened = avcodec_open2(track.decoder.get(), codec, nullptr) >= 0 && (this->*check)();
    }
    if (!opened) {
        track.decoder.reset();
        track.index = -1;
    }
}

bool InputStream::CheckAudio()
{
    return m_Audio.decoder->ch_layout.nb_channels > 0 && m_Audio.decoder->sample_rate > 0;
}

bool InputStream::CheckVideo()
{
    const AVCodecContext& decoder = *m_Video.decoder;
    return decoder.width > 0 && decoder.height > 0 && sws_isSupportedInput(decoder.pix_fmt);
}

void InputStream::GetAudioStreamInfo()
{
    if (!IsAudioPresent()) return;
    m_Info.sampleRate = m_Audio.decoder->sample_rate;
    m_Info.channels = m_Audio.decoder->ch_layout.nb_channels;
    m_Info.audioCodec = avcodec_get_name(m_Audio.decoder->codec_id);
}

void InputStream::GetVideoStreamInfo()
{
    if (!IsVideoPresent()) return;
    AVStream* stream = m_FormatContext->streams[m_Video.index];
    const AVCodecContext& decoder = *m_Video.decoder;
    m_Rotator = PictureRotator(PictureRotator::QuarterTurnsOf(*stream));
    m_DecodedWidth = decoder.width;
    m_DecodedHeight = decoder.height;
    m_Info.width = m_Rotator.SwapsSides() ? m_DecodedHeight : m_DecodedWidth;
    m_Info.height = m_Rotator.SwapsSides() ? m_DecodedWidth : m_DecodedHeight;
    m_Info.pixFmt = decoder.pix_fmt;
    // Pictures that are turned come in a format that can be turned.
    if (m_Rotator.GetQuarterTurns() != 0 && !PictureRotator::CanTurn(decoder.pix_fmt))
        m_Info.pixFmt = AV_PIX_FMT_YUV420P;
    GetPictureShape(*stream);

    AVRational rate = NominalRate(*stream);
    if (IsValidRate(rate)) {
        m_Info.frameRate = av_q2d(rate);
        // Kept within what every encoder's time base can hold.
        av_reduce(&m_Info.frameRateNum, &m_Info.frameRateDen, rate.num, rate.den, 65535);
    } else if (IsValidRate(decoder.time_base))
        m_Info.frameRate = 1.0 / av_q2d(decoder.time_base);
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
    m_Info.videoCodec = avcodec_get_name(m_Video.decoder->codec_id);
}

// The rate the pictures were made at. A variable-rate MP4 or MOV (a phone
// clip) averages to an odd rate; its own rate is the one whose ticks hold
// every picture's time, when that is a rate a camera uses.
AVRational InputStream::NominalRate(const AVStream& stream) const
{
    AVRational average = stream.avg_frame_rate;
    AVRational own = stream.r_frame_rate;
    bool movie = std::strstr(m_FormatContext->iformat->name, "mp4") != nullptr;
    if (movie && IsValidRate(own) && av_q2d(own) <= 120.0 &&
        (!IsValidRate(average) || av_q2d(own) >= av_q2d(average)))
        return own;
    if (IsValidRate(average)) return average;
    return av_guess_frame_rate(m_FormatContext.get(), const_cast<AVStream*>(&stream), nullptr);
}

double InputStream::ContainerDuration() const
{
    if (m_FormatContext->duration != AV_NOPTS_VALUE && m_FormatContext->duration > 0)
        return m_FormatContext->duration / 1000000.0;
    if (IsVideoPresent()) {
        const AVStream* stream = m_FormatContext->streams[m_Video.index];
        if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
            return StreamSeconds(m_Video.index, stream->duration);
    }
    return 0.0;
}

double InputStream::StreamSeconds(int streamIndex, int64_t timestamp) const
{
    return timestamp * av_q2d(m_FormatContext->streams[streamIndex]->time_base);
}

double InputStream::GetPosition() const
{
    if (!IsVideoPresent()) return m_Audio.position;
    if (!IsAudioPresent()) return m_Video.position;
    return std::min(m_Audio.position, m_Video.position);
}

// ---------------------------------------------------------------- decoding

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
    Track* track = packet->stream_index == m_Audio.index   ? &m_Audio
                   : packet->stream_index == m_Video.index ? &m_Video
                                                           : nullptr;
    if (track && packet->size > 0 && packet->data) {
        ffmpeg::PacketPtr queued(av_packet_alloc());
        if (!queued) {
            av_packet_unref(packet);
            throw "Can't queue a packet.";
        }
        av_packet_move_ref(queued.get(), packet);
        track->packets.push_back(std::move(queued));
    }
    av_packet_unref(packet);
}

ffmpeg::FramePtr InputStream::NextFrame(Track& track)
{
    while (track.frames.empty() && track.Present() && !track.drained) {
        while (track.packets.empty() && !m_AllDataRead) ReadPacket();
        if (track.packets.empty())
            Drain(track);
        else
            Decode(track);
    }
    if (track.frames.empty()) return nullptr;
    ffmpeg::FramePtr frame = std::move(track.frames.front());
    track.frames.pop_front();
    return frame;
}

void InputStream::Decode(Track& track)
{
    ffmpeg::PacketPtr packet = std::move(track.packets.front());
    track.packets.pop_front();
    bool picture = &track == &m_Video;
    if (picture) {
        // Pictures that nothing refers to and that come before the time
        // being sought need not be decoded at all.
        bool early = packet->pts != AV_NOPTS_VALUE && StreamSeconds(track.index, packet->pts) < m_SkipBefore;
        track.decoder->skip_frame = early ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
        m_SkippedPictures = m_SkippedPictures || early;
    }
    int result = avcodec_send_packet(track.decoder.get(), packet.get());
    if (result == AVERROR(EAGAIN)) {
        ReceiveFrames(track);
        result = avcodec_send_packet(track.decoder.get(), packet.get());
    }
    if (result < 0) return;  // a packet that does not decode is dropped
    ReceiveFrames(track);
    int64_t time = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
    if (!picture && time != AV_NOPTS_VALUE) track.position = StreamSeconds(track.index, time);
}

void InputStream::ReceiveFrames(Track& track)
{
    for (;;) {
        ffmpeg::FramePtr frame(av_frame_alloc());
        if (!frame) throw cantAllocate;
        if (avcodec_receive_frame(track.decoder.get(), frame.get()) < 0) return;
        if (&track == &m_Video)
            AcceptPicture(std::move(frame));
        else
            AcceptSound(std::move(frame));
    }
}

void InputStream::Drain(Track& track)
{
    if (track.drained || !track.Present()) return;
    track.drained = true;
    if (avcodec_send_packet(track.decoder.get(), nullptr) >= 0) ReceiveFrames(track);
}

void InputStream::Flush(Track& track, double time)
{
    avcodec_flush_buffers(track.decoder.get());
    track.drained = false;
    track.packets.clear();
    track.frames.clear();
    track.position = time;
}

// ---------------------------------------------------------------- sound

ffmpeg::FramePtr InputStream::DecodeNextAudioFrame()
{
    ffmpeg::FramePtr frame = NextFrame(m_Audio);
    if (!frame) return nullptr;
    // Frames follow one another without gaps; the first one after a seek
    // gives the time.
    if (std::isnan(m_NextAudioTime))
        m_NextAudioTime = frame->best_effort_timestamp != AV_NOPTS_VALUE
                              ? StreamSeconds(m_Audio.index, frame->best_effort_timestamp)
                              : m_Audio.position;
    m_NextAudioTime += double(frame->nb_samples) / frame->sample_rate;
    return frame;
}

void InputStream::AcceptSound(ffmpeg::FramePtr frame)
{
    if (frame->nb_samples < 1) return;
    if (frame->sample_rate < 1) frame->sample_rate = m_Audio.decoder->sample_rate;
    if (frame->ch_layout.nb_channels < 1 &&
        av_channel_layout_copy(&frame->ch_layout, &m_Audio.decoder->ch_layout) < 0)
        return;
    m_Audio.frames.push_back(std::move(frame));
}

// The samples of `frame` after the first `skip`.
ffmpeg::FramePtr InputStream::SoundFrom(const AVFrame& frame, int skip) const
{
    ffmpeg::FramePtr rest(av_frame_alloc());
    if (!rest) throw cantAllocate;
    rest->format = frame.format;
    rest->sample_rate = frame.sample_rate;
    rest->nb_samples = frame.nb_samples - skip;
    if (av_channel_layout_copy(&rest->ch_layout, &frame.ch_layout) < 0 || av_frame_get_buffer(rest.get(), 0) < 0)
        throw cantAllocate;
    av_samples_copy(rest->extended_data, frame.extended_data, 0, skip, rest->nb_samples,
                    frame.ch_layout.nb_channels, static_cast<AVSampleFormat>(frame.format));
    return rest;
}

// ---------------------------------------------------------------- pictures

ffmpeg::FramePtr InputStream::DecodeNextVideoFrame()
{
    return NextFrame(m_Video);
}

void InputStream::AcceptPicture(ffmpeg::FramePtr frame)
{
    // The video has reached the time of the picture just decoded.
    m_Video.position = GetPictureTime(*frame);
    m_PictureDecoded = true;
    if (!IsOpeningFormat(*frame)) {
        frame = ToOpeningFormat(*frame);
        if (!frame) return;  // a picture that cannot be shown is dropped
    }
    if (m_Rotator.GetQuarterTurns() != 0) {
        frame = m_Rotator.Turn(*frame);
        if (!frame) throw cantAllocate;
    }
    m_Video.frames.push_back(std::move(frame));
}

// The opening size is that of the decoded pictures, before they are turned.
bool InputStream::IsOpeningFormat(const AVFrame& frame) const
{
    return frame.width == m_DecodedWidth && frame.height == m_DecodedHeight && frame.format == m_Info.pixFmt;
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
    return time != AV_NOPTS_VALUE ? StreamSeconds(m_Video.index, time) : m_Video.position;
}

// ---------------------------------------------------------------- seeking

bool InputStream::SeekDemuxer(int streamIndex, double time)
{
    // An input that has read nothing yet is at its start already: files that
    // cannot seek (or seek badly, like FLV without an index) are read from there.
    if (m_AtStart && time <= GetStartTime()) return true;
    // MPEG program and transport streams have no header, so their first byte
    // is their start; a seek there by time may land past the first key frame
    // (and then past the next one, ten seconds on in a broadcast).
    bool noHeader = m_FormatContext->iformat->flags & AVFMT_TS_DISCONT;
    if (time <= GetStartTime() && noHeader && av_seek_frame(m_FormatContext.get(), -1, 0, AVSEEK_FLAG_BYTE) >= 0)
        return true;
    AVRational timeBase = m_FormatContext->streams[streamIndex]->time_base;
    return av_seek_frame(m_FormatContext.get(), streamIndex, SecondsToTimestamp(time, timeBase),
                         AVSEEK_FLAG_BACKWARD) >= 0;
}

bool InputStream::Seek(double time)
{
    for (Track* track : {&m_Audio, &m_Video}) {
        if (!track->Present()) continue;
        if (!SeekDemuxer(track->index, time)) return false;
        Flush(*track, time);
    }
    m_NextAudioTime = NAN;
    m_PictureDecoded = false;
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
        target = m_Video.position;
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
    if (IsAudioPresent() || !IsVideoPresent() || !m_PictureDecoded || m_AllDataRead || time < m_Video.position)
        return false;
    AVStream* stream = m_FormatContext->streams[m_Video.index];
    const AVIndexEntry* key = avformat_index_get_entry_from_timestamp(
        stream, SecondsToTimestamp(time, stream->time_base), AVSEEK_FLAG_BACKWARD);
    return key && StreamSeconds(m_Video.index, key->timestamp) <= m_Video.position;
}

double InputStream::KeyFrameBefore(double time) const
{
    if (!IsVideoPresent())
        return NAN;
    AVStream* stream = m_FormatContext->streams[m_Video.index];
    const AVIndexEntry* key = avformat_index_get_entry_from_timestamp(
        stream, SecondsToTimestamp(time, stream->time_base), AVSEEK_FLAG_BACKWARD);
    return key ? StreamSeconds(m_Video.index, key->timestamp) : NAN;
}

bool InputStream::SeekFurtherBack(double time, double& backoff) const
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
            ffmpeg::FramePtr frame = DecodeNextVideoFrame();
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
    } catch (const MediaError&) {
        return false;
    }
}

bool InputStream::KeepPicture(ffmpeg::FramePtr frame)
{
    if (!frame) return true;
    m_Video.position = GetPictureTime(*frame);
    m_Video.frames.push_front(std::move(frame));
    return true;
}

bool InputStream::CorrectAudioAfterSeek(double time)
{
    // Decoded sound is dropped up to the sample at `time`; sound that only
    // begins later is left to begin later (GetNextAudioTime() tells when).
    try {
        double backoff = 0.0;
        bool firstRead = true;
        for (;;) {
            double start = m_NextAudioTime;
            ffmpeg::FramePtr frame = DecodeNextAudioFrame();
            if (!frame) return true;
            if (std::isnan(start)) start = m_NextAudioTime - double(frame->nb_samples) / frame->sample_rate;
            // Starting again earlier is only safe when no video shares the demuxer.
            if (firstRead && !IsVideoPresent() && start > time && SeekFurtherBack(time, backoff)) {
                if (!Seek(std::max(time - backoff, GetStartTime()))) return false;
                continue;
            }
            firstRead = false;
            long late = std::lround((time - start) * frame->sample_rate);
            if (late >= frame->nb_samples) continue;
            m_NextAudioTime = start;
            if (late > 0) {
                frame = SoundFrom(*frame, int(late));
                m_NextAudioTime = start + double(late) / frame->sample_rate;
            }
            m_Audio.frames.push_front(std::move(frame));
            return true;
        }
    } catch (const char*) {
        return false;
    } catch (const MediaError&) {
        return false;
    }
}
