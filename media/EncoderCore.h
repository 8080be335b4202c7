#pragma once
// A small procedural layer over FFmpeg's muxing and encoding: one output file
// with one video stream and, optionally, one audio stream. Only opening
// throws (MediaError, with FFmpeg's code); later failures are reported by
// false or a negative error code, and OutputError tells the code.
#include <cstdint>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "media/FFmpegPtr.h"
#include "media/PacketGate.h"

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

// One stream of an output: the stream, its encoder and the next pts
// (pictures or samples per channel sent so far).
struct tOutputTrack {
    AVStream* pStream = nullptr;  // null without this stream
    ffmpeg::CodecContextPtr pCodec;
    int64_t iNextPts = 0;
    bool bEnded = false;  // the encoder was told the stream ends
};

// One open output. Streams no longer carry their encoders, so each track
// holds its encoder beside its stream.
struct tFFMpegEncoder {
    const AVOutputFormat* pFormat = nullptr;  // not owned
    ffmpeg::OutputContextPtr pFormatCtx;
    tOutputTrack audio;
    tOutputTrack video;
    ffmpeg::PacketPtr pPacket;          // receives every encoded packet
    std::unique_ptr<PacketGate> pGate;  // between the encoders and the file
    bool bAudioUnused = false;          // the audio stream only satisfies the muxer
    bool bFinished = false;             // drained and trailer written
    int iError = 0;                     // the first error of an encoder or the muxer

    tFFMpegEncoder() = default;
    ~tFFMpegEncoder();
    tFFMpegEncoder(const tFFMpegEncoder&) = delete;
    tFFMpegEncoder& operator=(const tFFMpegEncoder&) = delete;
};

// `muxerOptions`: "key=value" pairs joined by ':' for the muxer, or null.
// Null without a name, a muxer, an encoder or a stream; throws MediaError
// when FFmpeg refuses the settings or the file, and leaves no file.
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

// The file's write error, or else the first error of an encoder or the
// muxer (a negative error code), or 0.
int OutputError(const tFFMpegEncoder* encoder);

// True when the output takes sound (an unused placeholder stream does not).
bool HasAudio(const tFFMpegEncoder* encoder);

// Encodes one picture of the encoder's size and pixel format. The picture is
// stamped with the encoder's size, format and the next picture number.
bool WriteVideoFrame(tFFMpegEncoder* encoder, AVFrame* picture);

// Encodes one frame of sound in the encoder's format, layout and rate, of
// its frame size (a last one may be shorter); stamped with the next pts.
bool WriteAudioFrame(tFFMpegEncoder* encoder, AVFrame* frame);

// Writes a packet copied from a source into an audio stream opened for
// copied sound; its times are in samples of the sound's rate.
bool WriteCopiedAudio(tFFMpegEncoder* encoder, AVPacket* packet);
