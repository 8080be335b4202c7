#pragma once
// One media file opened for reading: at most one audio and one video stream,
// decoded on demand, with positions, end states and seeking.
#include <cmath>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "media/ColourTags.h"
#include "media/FFmpegPtr.h"
#include "media/PictureRotator.h"

// Description of an input; -1 marks the values of a stream it does not have.
struct tInputStreamInfo {
    int sampleRate = -1;
    int channels = -1;
    int width = -1;
    int height = -1;
    int pixFmt = -1;  // AVPixelFormat of the decoded pictures
    double frameRate = -1.0;
    // The same rate as a fraction, when the file tells it (else 0/0).
    int frameRateNum = 0;
    int frameRateDen = 0;
    // The shape on screen: width x height of pixels that are
    // sampleAspectNum:sampleAspectDen wide (upright, like width and height),
    // shown as displayWidth x displayHeight square pixels.
    int sampleAspectNum = 1;
    int sampleAspectDen = 1;
    int displayWidth = -1;
    int displayHeight = -1;
    tColourTags colour;       // as the stream tags it
    bool interlaced = false;  // the stream says its pictures hold two fields
    const char* videoCodec = "";  // FFmpeg's short names of the codecs
    const char* audioCodec = "";
};

// One sound track of a file, as a choice is offered to the user.
struct tSoundTrack {
    int number = 0;  // from 1, among the sound tracks only
    std::string language;
    std::string title;
    std::string codec;
    int channels = 0;
};

// Pictures are delivered upright: a stream whose display matrix turns it by
// quarter turns is described and decoded turned (its width and height
// swapped for a quarter or three quarters).
// Times are seconds on the file's own time line (GetStartTime() included).
// Errors are thrown as constant messages (const char*); the seeking calls
// never throw and report failure by returning false.
class InputStream {
public:
    // `fileName` is UTF-8. `soundTrack` counts from 1 among the sound
    // tracks; 0 takes the one the file marks as default (else FFmpeg's best).
    InputStream(const char* fileName, bool skipAudio, bool skipVideo, int soundTrack = 0);
    ~InputStream();
    InputStream(const InputStream&) = delete;
    InputStream& operator=(const InputStream&) = delete;

    bool IsAudioPresent() const { return m_Audio.Present(); }
    bool IsVideoPresent() const { return m_Video.Present(); }
    tInputStreamInfo GetInfo() const { return m_Info; }
    std::vector<tSoundTrack> GetSoundTracks() const;
    // The number of the sound track read (see tSoundTrack), 0 without sound.
    int GetSoundTrack() const;
    double GetDuration() const { return m_Duration; }
    double GetStartTime() const { return m_StartTime / 1000000.0; }
    double GetAudioPosition() const { return m_Audio.position; }
    double GetVideoPosition() const { return m_Video.position; }
    double GetPosition() const;

    bool IsAllDataReaded() const { return m_AllDataRead; }
    bool IsAudioEnded() const { return m_Audio.Ended(m_AllDataRead); }
    bool IsVideoEnded() const { return m_Video.Ended(m_AllDataRead); }
    bool IsAllMediaEnded() const { return IsAudioEnded() && IsVideoEnded(); }

    // The next sound as the decoder gives it (its own sample format, rate
    // and layout), or null once the sound has ended.
    ffmpeg::FramePtr DecodeNextAudioFrame();
    // The next picture, in the stream's opening size and format, or null when
    // none is ready yet or the video has ended (IsVideoEnded() tells which).
    ffmpeg::FramePtr DecodeNextVideoFrame();
    // The time of a picture delivered by DecodeNextVideoFrame().
    double GetPictureTime(const AVFrame& frame) const;
    // The time of the first sample of the next sound frame
    // (NaN before the first one is decoded).
    double GetNextAudioTime() const { return m_NextAudioTime; }

    // The time of the key frame at or before `time` as the file's index
    // tells it; NaN when the index does not know.
    double KeyFrameBefore(double time) const;

    // Coarse seek: to the key frame at or before `time`; empties what the
    // streams had buffered and clears the end of data.
    bool Seek(double time);
    // Coarse seek, then decoding and discarding up to `time`: the next
    // picture delivered is the first one at or after `time` (the last one
    // when `time` lies after it), the next sound sample the one at `time`
    // (or the first one, when the sound begins later).
    bool SeekAccurate(double time);

private:
    // What one stream of the file needs while it is decoded.
    struct Track {
        int index = -1;
        ffmpeg::CodecContextPtr decoder;
        std::deque<ffmpeg::PacketPtr> packets;
        std::deque<ffmpeg::FramePtr> frames;  // decoded, not yet handed out
        // A decoder is drained once at the end of the data, to deliver what
        // it still holds; a seek makes it usable again.
        bool drained = false;
        double position = 0.0;  // seconds the stream has reached
        bool Present() const { return index >= 0; }
        bool Ended(bool allRead) const
        {
            return !Present() || (allRead && packets.empty() && frames.empty() && drained);
        }
    };

    class StaticInit {
    public:
        StaticInit();
    };
    static StaticInit m_StaticInit;

    void Open(const char* fileName);
    bool ChooseStreams(bool skipAudio, bool skipVideo, int soundTrack);  // true when the file has video
    int ChooseSoundStream(int soundTrack) const;
    void OpenTrack(Track& track, bool (InputStream::*check)());
    void DiscardUnusedStreams();
    bool CheckAudio();
    bool CheckVideo();
    void GetAudioStreamInfo();
    void GetVideoStreamInfo();
    void GetPictureShape(AVStream& stream);
    AVRational NominalRate(const AVStream& stream) const;
    double ContainerDuration() const;
    double StreamSeconds(int streamIndex, int64_t timestamp) const;

    void ReadPacket();
    ffmpeg::FramePtr NextFrame(Track& track);
    void Decode(Track& track);
    void ReceiveFrames(Track& track);
    void Drain(Track& track);
    void Flush(Track& track, double time);
    void AcceptSound(ffmpeg::FramePtr frame);
    void AcceptPicture(ffmpeg::FramePtr frame);
    bool IsOpeningFormat(const AVFrame& frame) const;
    ffmpeg::FramePtr ToOpeningFormat(const AVFrame& frame);

    bool CorrectAudioAfterSeek(double time);
    bool CorrectVideoAfterSeek(double time, bool sought);
    bool CanDecodeOnwardTo(double time) const;
    bool KeepPicture(ffmpeg::FramePtr frame);
    bool SeekDemuxer(int streamIndex, double time);
    bool SeekFurtherBack(double time, double& backoff) const;
    ffmpeg::FramePtr SoundFrom(const AVFrame& frame, int skip) const;

    ffmpeg::InputContextPtr m_FormatContext;
    Track m_Audio;
    Track m_Video;
    tInputStreamInfo m_Info;
    double m_Duration = 0.0;
    bool m_AllDataRead = false;
    int64_t m_StartTime = 0;  // microseconds
    bool m_AtStart = true;    // nothing read since opening
    bool m_PictureDecoded = false;  // the video position is that of a decoded picture
    double m_SkipBefore = -INFINITY;  // pictures nothing refers to before this are not decoded
    bool m_SkippedPictures = false;
    double m_NextAudioTime = NAN;
    ffmpeg::SwsPtr m_Rescaler;  // pictures that changed size or format on the way
    PictureRotator m_Rotator{0};
    int m_DecodedWidth = 0;     // the opening size before turning
    int m_DecodedHeight = 0;
    ffmpeg::PacketPtr m_ReadPacket;
    int m_ReadRetries = 0;
};
