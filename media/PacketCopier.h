#pragma once
// Copies a range of a file's pictures into a new file of an output's
// container, packet by packet as they are stored: from the key frame at or
// before the range's start to the last picture shown before its end.
// Timestamps start at the key frame. The sound of one track goes with them
// to the pictures' end, copied from the packet that holds the key frame's
// time or encoded from the key frame's time. Failures are thrown as
// constant messages (const char*).
#include <cstdint>
#include <deque>
#include <memory>

#include "media/CodecParams.h"
#include "media/EncoderCore.h"
#include "media/InputStream.h"
#include "media/PacketSource.h"
#include "media/SoundEncoder.h"

class PacketCopier {
public:
    // `start` and `end` in seconds from the start of the media; an `end` of 0
    // or less, or past the end, is the end of the media. `params` tells the
    // container, the sound track and whether its sound is copied (SC_COPY)
    // or encoded, or left out. Refuses a container that does not take the
    // source's codecs before any file is written.
    PacketCopier(const char* inputName, const char* outputName, const tCodecParams& params, double start,
                 double end);
    ~PacketCopier();
    PacketCopier(const PacketCopier&) = delete;
    PacketCopier& operator=(const PacketCopier&) = delete;

    // Copies the next packet; false once the range is copied.
    bool Copy();
    // Writes the file's end (after a cancel too, with what was copied).
    // Throws when any of it could not be written. A copy destroyed without
    // it is left unfinished, for a file that is thrown away.
    void Finish();

    double RealStart() const { return m_Start; }  // the key frame's time
    double RangeEnd() const { return m_End; }
    // Seconds of pictures copied, from the key frame on.
    double Position() const { return m_VideoEnd - m_Start; }
    uint64_t Pictures() const { return m_Pictures; }
    const AVCodecParameters& VideoParameters() const { return *m_VideoOut->codecpar; }
    // Null without sound.
    const AVCodecParameters* SoundParameters() const { return m_SoundOut ? m_SoundOut->codecpar : nullptr; }

private:
    void OpenOutput(const char* outputName, const tCodecParams& params);
    void OpenSoundInput(const char* inputName, const tCodecParams& params);
    void EncodeSound();
    AVStream* AddStream(const AVStream& source);
    void TakePicture(ffmpeg::PacketPtr packet);
    void TakeSound(ffmpeg::PacketPtr packet);
    void WriteHeardSound();
    void EndPictures();
    void Write(ffmpeg::PacketPtr packet);
    bool Done() const { return m_VideoDone && (m_SoundDone || !m_SoundOut); }
    bool SoundIsBehind() const;

    PacketSource m_Source;
    ffmpeg::OutputContextPtr m_File;
    AVStream* m_VideoOut = nullptr;
    AVStream* m_SoundOut = nullptr;
    std::unique_ptr<InputStream> m_SoundInput;  // sound that is encoded, not copied
    std::unique_ptr<SoundEncoder> m_SoundEncoder;
    int64_t m_SoundWritten = 0;  // samples encoded
    double m_Start = 0.0;
    double m_End = 0.0;
    double m_VideoEnd = 0.0;  // the end of the pictures copied
    uint64_t m_Pictures = 0;
    int64_t m_LastVideoDts = AV_NOPTS_VALUE;  // written, in the output's time base
    int64_t m_LastSoundDts = AV_NOPTS_VALUE;
    bool m_VideoDone = false;
    bool m_SoundDone = false;
    // Pictures shown after the end that pictures before it are decoded
    // from; sound read ahead of the pictures.
    std::deque<ffmpeg::PacketPtr> m_LatePictures;
    std::deque<ffmpeg::PacketPtr> m_LateSound;
};
