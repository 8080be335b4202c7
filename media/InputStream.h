#pragma once
// One media file opened for reading: at most one audio and one video stream,
// decoded on demand, with positions, end states and seeking.
#include <cmath>
#include <cstdint>

#include "media/AVFrameQueue.h"
#include "media/AVPacketQueue.h"
#include "media/ColourTags.h"
#include "media/DataQueue.h"
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

// Pictures are delivered upright: a stream whose display matrix turns it by
// quarter turns is described and decoded turned (its width and height
// swapped for a quarter or three quarters).
// Times are seconds on the file's own time line (GetStartTime() included).
// Errors are thrown as constant messages (const char*); the seeking calls
// never throw and report failure by returning false.
class InputStream {
public:
    // `fileName` is UTF-8.
    InputStream(const char* fileName, bool skipAudio, bool skipVideo);
    ~InputStream();
    InputStream(const InputStream&) = delete;
    InputStream& operator=(const InputStream&) = delete;

    bool IsAudioPresent() const { return m_AudioStreamIndex >= 0; }
    bool IsVideoPresent() const { return m_VideoStreamIndex >= 0; }
    tInputStreamInfo GetInfo() const { return m_Info; }
    double GetDuration() const { return m_Duration; }
    double GetStartTime() const { return m_StartTime / 1000000.0; }
    double GetAudioPosition() const { return m_AudioPosition; }
    double GetVideoPosition() const { return m_VideoPosition; }
    double GetPosition() const;
    // Bytes of one tightly packed picture of the decoded format; 0 without video.
    int GetVideoFrameBufferSize() const;

    bool IsAllDataReaded() const { return m_AllDataRead; }
    bool IsAudioEnded() const;
    bool IsVideoEnded() const;
    bool IsAllMediaEnded() const { return IsAudioEnded() && IsVideoEnded(); }

    // Fills `buffer` with exactly `size` bytes of interleaved signed 16-bit
    // audio at the stream's own rate and channel count; past the end of the
    // audio the missing bytes are silence.
    void DecodeNextAudioFrame(void* buffer, int size);
    // The next picture, in the decoder's own pixel format, or null when none
    // is ready yet or the video has ended (IsVideoEnded() tells which).
    // The caller owns the returned frame and frees it with av_frame_free();
    // its picture planes are reference-counted and stay valid until then.
    AVFrame* DecodeNextVideoFrame();
    // The time of a picture delivered by DecodeNextVideoFrame().
    double GetPictureTime(const AVFrame& frame) const;
    // The time of the next sound sample DecodeNextAudioFrame() delivers
    // (NaN before the first one is decoded).
    double GetNextAudioTime() const { return m_NextAudioTime; }

    // Coarse seek: to the key frame at or before `time`; empties what the
    // sought streams had buffered and clears the end of data.
    bool Seek(double time);
    bool Seek(double time, bool skipAudio, bool skipVideo);
    // Coarse seek, then decoding and discarding up to `time`: the next
    // picture delivered is the first one at or after `time` (the last one
    // when `time` lies after it), the next sound sample the one at `time`
    // (or the first one, when the sound begins later).
    bool SeekAccurate(double time);

private:
    class StaticInit {
    public:
        StaticInit();
    };
    static StaticInit m_StaticInit;

    bool ChooseStreams(bool skipAudio, bool skipVideo);  // true when the file has video
    void DiscardUnusedStreams();
    void InitAudioStream();
    void InitVideoStream();
    ffmpeg::CodecContextPtr OpenDecoder(int streamIndex, const char* noDecoderMessage,
                                        const char* openMessage) const;
    void GetAudioStreamInfo();
    void GetVideoStreamInfo();
    void GetPictureShape(AVStream& stream);
    double ContainerDuration() const;
    void CalcRealDuration();

    void ReadPacket();
    void ReadUntilQueued(const AVPacketQueue& queue);
    void DecodeAudio();
    void ReceiveAudioFrames();
    void DrainAudioDecoder();
    void QueueAudio(const uint8_t** samples, int sampleCount);
    bool PrepareResampler(const AVFrame& frame);
    void ReadAudioData(char* buffer, long size);
    bool FillAudioData();
    void DiscardAudioData(long size);
    void DecodeVideo();
    void ReceiveVideoFrames();
    void DrainVideoDecoder();
    bool IsOpeningFormat(const AVFrame& frame) const;
    ffmpeg::FramePtr ToOpeningFormat(const AVFrame& frame);
    ffmpeg::FramePtr ToUpright(ffmpeg::FramePtr frame);

    bool CorrectAudioAfterSeek(double time);
    bool CorrectVideoAfterSeek(double time, bool sought);
    bool CanDecodeOnwardTo(double time) const;
    bool KeepPicture(ffmpeg::FramePtr frame);
    bool SeekDemuxer(int streamIndex, double time);
    bool SeekFurtherBack(double time, double& backoff);
    double StreamSeconds(int streamIndex, int64_t timestamp) const;

    ffmpeg::InputContextPtr m_FormatContext;
    int m_AudioStreamIndex = -1;
    int m_VideoStreamIndex = -1;
    tInputStreamInfo m_Info;
    double m_Duration = 0.0;
    double m_AudioPosition = 0.0;
    double m_VideoPosition = 0.0;
    AVPacketQueue m_AudioPackets;
    AVPacketQueue m_VideoPackets;
    DataQueue m_AudioData;
    AVFrameQueue m_VideoFrames;
    ffmpeg::FramePtr m_DecodingFrame;
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

    ffmpeg::CodecContextPtr m_AudioDecoder;
    ffmpeg::CodecContextPtr m_VideoDecoder;
    // A decoder is drained once at the end of the data, to deliver what it
    // still holds; a seek makes it usable again.
    bool m_AudioDrained = false;
    bool m_VideoDrained = false;
    ffmpeg::PacketPtr m_ReadPacket;
    int m_ReadRetries = 0;
    ffmpeg::FramePtr m_AudioFrame;

    // Turns the decoder's samples into interleaved 16-bit samples; rebuilt
    // when the decoder's format, rate or layout changes.
    struct ChannelLayout {
        AVChannelLayout value{};
        ChannelLayout() = default;
        ChannelLayout(const ChannelLayout&) = delete;
        ChannelLayout& operator=(const ChannelLayout&) = delete;
        ~ChannelLayout() { av_channel_layout_uninit(&value); }
    };
    ffmpeg::SwrPtr m_Resampler;
    int m_ResamplerFormat = -1;
    int m_ResamplerRate = 0;
    ChannelLayout m_ResamplerLayout;
    ChannelLayout m_AudioLayout;  // the stream's layout, also that of the queued audio
};
