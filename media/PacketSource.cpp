#include "media/PacketSource.h"

#include <cmath>
#include <cstdint>

#include <sys/stat.h>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

// Reading starts this far before the key frame, so that sound the file
// stores ahead of its pictures is read too.
const double soundLead = 1.5;
// Times within this are the same time: a timestamp's rounding.
const double timeSlack = 0.0005;

bool IsRegularFile(const char* fileName)
{
    struct stat status {};
    return fileName && stat(fileName, &status) == 0 && S_ISREG(status.st_mode);
}

bool IsSound(const AVStream& stream) { return stream.codecpar->codec_type == AVMEDIA_TYPE_AUDIO; }

int ChooseVideo(const AVFormatContext& file)
{
    int chosen = -1;
    for (unsigned i = 0; i < file.nb_streams; ++i) {
        const AVStream& stream = *file.streams[i];
        if (stream.codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !(stream.disposition & AV_DISPOSITION_ATTACHED_PIC))
            chosen = int(i);
    }
    return chosen;
}

// The track asked for, else the one the file marks as default, else FFmpeg's best.
int ChooseSound(AVFormatContext& file, int soundTrack)
{
    int number = 0;
    int marked = -1;
    for (unsigned i = 0; i < file.nb_streams; ++i) {
        const AVStream& stream = *file.streams[i];
        if (!IsSound(stream))
            continue;
        if (++number == soundTrack)
            return int(i);
        if (marked < 0 && (stream.disposition & AV_DISPOSITION_DEFAULT))
            marked = int(i);
    }
    if (soundTrack > 0)
        throw "This file has no such sound track.";
    if (marked >= 0)
        return marked;
    return std::max(-1, av_find_best_stream(&file, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0));
}

int64_t TimeOf(const AVPacket& packet)
{
    return packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
}

}  // namespace

PacketSource::PacketSource(const char* fileName, int soundTrack, bool withSound)
{
    AVFormatContext* context = nullptr;
    if (!IsRegularFile(fileName) || avformat_open_input(&context, fileName, nullptr, nullptr) < 0)
        throw "Can't open input file.";
    m_File.reset(context);
    if (avformat_find_stream_info(context, nullptr) < 0)
        throw "Can't read information about stream.";
    m_Video = ChooseVideo(*context);
    if (m_Video < 0)
        throw "This file has no video.";
    if (withSound)
        m_Sound = ChooseSound(*context, soundTrack);
    for (unsigned i = 0; i < context->nb_streams; ++i)
        if (int(i) != m_Video && int(i) != m_Sound)
            context->streams[i]->discard = AVDISCARD_ALL;
    if (context->start_time != AV_NOPTS_VALUE)
        m_Origin = context->start_time / double(AV_TIME_BASE);
}

double PacketSource::Duration() const
{
    return m_File->duration > 0 ? m_File->duration / double(AV_TIME_BASE) : 0.0;
}

double PacketSource::Seconds(const AVPacket& packet) const
{
    return TimeOf(packet) * av_q2d(m_File->streams[packet.stream_index]->time_base) - m_Origin;
}

double PacketSource::EndSeconds(const AVPacket& packet) const
{
    return Seconds(packet) + packet.duration * av_q2d(m_File->streams[packet.stream_index]->time_base);
}

int64_t PacketSource::Timestamp(int stream, double seconds) const
{
    return std::llround((seconds + m_Origin) / av_q2d(m_File->streams[stream]->time_base));
}

void PacketSource::Rebase(AVPacket& packet, double origin) const
{
    int64_t shift = Timestamp(packet.stream_index, origin);
    if (packet.pts != AV_NOPTS_VALUE)
        packet.pts -= shift;
    if (packet.dts != AV_NOPTS_VALUE)
        packet.dts -= shift;
}

ffmpeg::PacketPtr PacketSource::Read()
{
    ffmpeg::PacketPtr packet(av_packet_alloc());
    if (!packet)
        throw "Can't allocate a packet.";
    // A file that cannot be read on ends there, as a truncated one does.
    while (av_read_frame(m_File.get(), packet.get()) >= 0) {
        bool ours = packet->stream_index == m_Video || packet->stream_index == m_Sound;
        if (ours && TimeOf(*packet) != AV_NOPTS_VALUE)
            return packet;
        av_packet_unref(packet.get());
    }
    return nullptr;
}

// To the stream's key frame at or before `time`, or the file's first.
void PacketSource::SeekBefore(int stream, double time)
{
    int64_t target = Timestamp(stream, time);
    if (avformat_seek_file(m_File.get(), stream, INT64_MIN, target, target, 0) < 0 &&
        avformat_seek_file(m_File.get(), stream, INT64_MIN, target, INT64_MAX, 0) < 0)
        throw "Can't seek in the input file.";
}

// The last key frame at or before `time` among those read from a seek
// before it, or the first one after, where none is before.
double PacketSource::FindKeyFrame(double time)
{
    SeekBefore(m_Video, time - soundLead);
    bool found = false;
    double key = 0.0;
    while (ffmpeg::PacketPtr packet = Read()) {
        if (!IsVideo(*packet))
            continue;
        double seconds = Seconds(*packet);
        bool keyFrame = packet->flags & AV_PKT_FLAG_KEY;
        if (keyFrame && (!found || seconds <= time + timeSlack)) {
            key = seconds;
            m_KeyTime = TimeOf(*packet);
        }
        found = found || keyFrame;
        int64_t decoded = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
        if (found && decoded * av_q2d(Video().time_base) - m_Origin > time)
            break;
    }
    if (!found)
        throw "Can't find a key frame to start from.";
    return key;
}

double PacketSource::StartAt(double time)
{
    m_Start = FindKeyFrame(time);
    FillFrom(m_Start);
    return m_Start;
}

void PacketSource::StartSoundAt(double time)
{
    if (m_Sound < 0)
        throw "This file has no sound.";
    m_SoundOnly = true;
    m_File->streams[m_Video]->discard = AVDISCARD_ALL;
    m_Start = time;
    m_Ready.clear();
    SeekBefore(m_Sound, time - soundLead);
}

// Reads from before the key frame up to it: the sound heard from its time
// on is kept, the rest left out.
void PacketSource::FillFrom(double time)
{
    m_Ready.clear();
    SeekBefore(m_Video, time - soundLead);
    while (ffmpeg::PacketPtr packet = Read()) {
        bool keyFrame = IsVideo(*packet) && TimeOf(*packet) == m_KeyTime && (packet->flags & AV_PKT_FLAG_KEY);
        if (keyFrame || (!IsVideo(*packet) && Wanted(*packet)))
            m_Ready.push_back(std::move(packet));
        if (keyFrame)
            return;
    }
    throw "Can't find a key frame to start from.";
}

// Pictures shown before the key frame need pictures before it, which are
// not copied; sound that ends before it is not heard (one that ends at it
// primes the decoder, as an encoder's first packet does).
bool PacketSource::Wanted(const AVPacket& packet) const
{
    if (IsVideo(packet))
        return !m_SoundOnly && Seconds(packet) >= m_Start - timeSlack;
    return EndSeconds(packet) >= m_Start - timeSlack || packet.duration <= 0;
}

ffmpeg::PacketPtr PacketSource::Next()
{
    if (!m_Ready.empty()) {
        ffmpeg::PacketPtr packet = std::move(m_Ready.front());
        m_Ready.pop_front();
        return packet;
    }
    while (ffmpeg::PacketPtr packet = Read())
        if (Wanted(*packet))
            return packet;
    return nullptr;
}
