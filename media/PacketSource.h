#pragma once
// A media file read as stored packets: its video and, when asked, one sound
// track, for copying them as they are. Times are seconds from the start of
// the media (the file's own start time taken off), like an export's range.
// Errors are thrown as constant messages (const char*).
#include <deque>

#include "media/FFmpegPtr.h"

class PacketSource {
public:
    // `soundTrack` counts from 1 among the sound tracks; 0 takes the one the
    // file marks as default (else FFmpeg's best). Without `withSound`, or in
    // a file without sound, only the video is read.
    PacketSource(const char* fileName, int soundTrack, bool withSound);

    const AVStream& Video() const { return *m_File->streams[m_Video]; }
    const AVStream* Sound() const { return m_Sound >= 0 ? m_File->streams[m_Sound] : nullptr; }
    bool IsVideo(const AVPacket& packet) const { return packet.stream_index == m_Video; }
    // The media's length, as the file tells it.
    double Duration() const;

    // Reads from the video's key frame at or before `time` (the first key
    // frame, where none is before it) and returns that key frame's time.
    // Next() then gives the key frame, the pictures after it in decoding
    // order that are shown from it on, and the sound from the packet that
    // holds the key frame's time.
    double StartAt(double time);
    // Reads the sound alone, from the packet that holds `time`.
    void StartSoundAt(double time);
    // The next packet in the file's order, or null at the end of the file
    // (or where it can no longer be read).
    ffmpeg::PacketPtr Next();

    // When the packet is shown or heard.
    double Seconds(const AVPacket& packet) const;
    // The end of what it shows or sounds.
    double EndSeconds(const AVPacket& packet) const;
    // The stream's timestamp of `seconds`.
    int64_t Timestamp(int stream, double seconds) const;
    // Moves the packet's times so that `origin` becomes 0.
    void Rebase(AVPacket& packet, double origin) const;

private:
    ffmpeg::PacketPtr Read();
    void SeekBefore(int stream, double time);
    double FindKeyFrame(double time);
    void FillFrom(double time);
    bool Wanted(const AVPacket& packet) const;

    ffmpeg::InputContextPtr m_File;
    int m_Video = -1;
    int m_Sound = -1;
    double m_Origin = 0.0;  // the file's start time, seconds
    double m_Start = 0.0;   // the key frame reading starts at
    int64_t m_KeyTime = 0;  // its timestamp
    bool m_SoundOnly = false;
    std::deque<ffmpeg::PacketPtr> m_Ready;
};
