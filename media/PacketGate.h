#pragma once
// Keeps encoded packets from the file until it could end after them without
// a gap: a picture goes in once every picture shown before it has come out of
// the encoder, sound once the pictures in the file reach its start. A file
// closed without draining its encoders (a cancelled export) then ends where
// picture and sound end together, within one sound packet. Holds no more than
// a few seconds.
#include <cstdint>
#include <deque>
#include <set>

#include "media/FFmpegPtr.h"

struct tOutputTrack;

class PacketGate {
public:
    // `audio` may have no stream. Times are taken from the encoders' time bases.
    PacketGate(AVFormatContext* file, const tOutputTrack& video, const tOutputTrack& audio);

    // Takes over the packet's data; the packet is in its encoder's time base.
    // False when a write to the file failed.
    bool Put(AVPacket* packet);
    // Writes everything held; once the encoders are drained.
    bool Release();
    // Forgets everything held.
    void Drop();
    // The muxer's code for the first write that failed, or 0.
    int Error() const { return m_Error; }

private:
    struct Held {
        ffmpeg::PacketPtr packet;
        double ready;  // a picture's number, or the seconds at which the sound starts
    };
    bool WriteReady();
    bool Write(Held& held, const tOutputTrack& track);

    static constexpr size_t mostPictures = 64;
    static constexpr size_t mostSoundPackets = 512;
    AVFormatContext* m_File;
    const tOutputTrack& m_Video;
    const tOutputTrack& m_Audio;
    std::deque<Held> m_Pictures;
    std::deque<Held> m_Sound;
    int64_t m_Complete = 0;  // every picture numbered below this has come out
    std::set<int64_t> m_Early;  // pictures out before one shown earlier
    int m_Error = 0;
};
