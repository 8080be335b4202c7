#pragma once
// A small procedural layer over FFmpeg's muxing and encoding: one output file
// with one video stream and, optionally, one audio stream. Nothing here
// throws; failures are reported by null, false or -1.
#include <cstdint>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "media/FFmpegPtr.h"
#include "media/PacketGate.h"

enum enumFFMpegStreamType {
    STREAM_AUDIO = 0,
    STREAM_VIDEO = 1,
};

// Creates one stream in `context` for the codec `codecId` and fills the
// stream's encoder settings in `codec` from the profile's `params`; returns
// the stream, or null when it cannot be created.
typedef AVStream* (*AVStreamCreator)(AVFormatContext* context, AVCodecContext* codec,
                                     AVCodecID codecId, const void* params);

namespace ffmpeg {
// Closes the file of an output context (when it has one) and frees it.
struct OutputContextDeleter {
    void operator()(AVFormatContext* p) const;
};
using OutputContextPtr = std::unique_ptr<AVFormatContext, OutputContextDeleter>;
}  // namespace ffmpeg

// One open output. Streams no longer carry their encoders, so the record
// holds one encoder per stream beside it.
struct tFFMpegEncoder {
    const AVOutputFormat* pFormat = nullptr;  // not owned
    ffmpeg::OutputContextPtr pFormatCtx;
    AVStream* pAudioStream = nullptr;  // null without audio
    AVStream* pVideoStream = nullptr;
    ffmpeg::CodecContextPtr pAudioCodec;
    ffmpeg::CodecContextPtr pVideoCodec;
    ffmpeg::PacketPtr pPacket;        // receives every encoded packet
    std::unique_ptr<PacketGate> pGate;  // between the encoders and the file
    ffmpeg::FramePtr pAudioFrame;     // one encoder frame in the encoder's sample format
    ffmpeg::SwrPtr pAudioConverter;   // interleaved 16-bit to the encoder's sample format
    int64_t iAudioSamples = 0;        // samples per channel sent so far: the next audio pts
    int64_t iVideoFrames = 0;         // pictures sent so far: the next video pts
    bool bAudioUnused = false;        // the audio stream only satisfies the muxer
    bool bFinished = false;           // drained and trailer written
};

// `muxerOptions`: "key=value" pairs joined by ':' for the muxer, or null.
tFFMpegEncoder* OpenOutput(const char* fileName, const char* formatShortName,
                           AVCodecID audioCodec, AVStreamCreator createAudio, const void* audioParams,
                           AVCodecID videoCodec, AVStreamCreator createVideo, const void* videoParams,
                           bool noAudio, const char* muxerOptions = nullptr);

// Drains both encoders and writes the trailer; 0, or the negative error code
// when anything of the file could not be written. Only the first call works.
// `early`: ends the file at once with what it holds, without what the
// encoders still hold back (and an MP4 keeps its index at the end).
int FinishOutput(tFFMpegEncoder* encoder, bool early = false);

// Finishes the file as well as it can (when FinishOutput was not called),
// closes it and frees the record.
void CloseOutput(tFFMpegEncoder* encoder);

// The file's write error (a negative error code), or 0.
int OutputError(const tFFMpegEncoder* encoder);

// Encodes one picture of the encoder's size and pixel format. The picture is
// stamped with the encoder's size, format and the next picture number.
bool WriteVideoFrame(tFFMpegEncoder* encoder, AVFrame* picture);

// Encodes one encoder frame: GetAudioFrameSize() interleaved 16-bit samples.
// False without audio.
bool WriteAudioFrame(tFFMpegEncoder* encoder, const short* samples);
// Encodes the last, shorter frame: `count` samples per channel.
bool WriteAudioSamples(tFFMpegEncoder* encoder, const short* samples, int count);

// Samples in one encoder frame, all channels together; -1 without audio
// (an unused placeholder stream counts as no audio).
int GetAudioFrameSize(tFFMpegEncoder* encoder);

// Seconds of the stream sent to its encoder; 0 without that stream, -1 for null.
double CalcStreamPosition(tFFMpegEncoder* encoder, enumFFMpegStreamType type);

// Bytes written to the file so far; -1 for null.
int64_t OutputFileSize(tFFMpegEncoder* encoder);

// A picture over one buffer of FrameDataSize bytes; free it with FreeFrame.
AVFrame* CreateFrame(int width, int height, AVPixelFormat format);
AVFrame* CreateFrame(tFFMpegEncoder* encoder);
void FreeFrame(AVFrame* frame);
int FrameDataSize(int width, int height, AVPixelFormat format);

// Opens `codec` and copies its settings into the stream.
bool OpenCodec(AVCodecContext* codec, AVStream* stream);

// The packet and the audio frame that every write reuses.
bool InitBuffers(tFFMpegEncoder* encoder, bool noAudio);
