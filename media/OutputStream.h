#pragma once
// The output file of an export: opened from a parameter record, takes
// pictures one at a time and sound as bytes of any length, which it cuts into
// the frames the audio encoder needs. Close() finishes the file and reports
// whether all of it was written; destroying it without Close() finishes what
// it can. Failures are thrown as constant messages (const char*).
#include <memory>
#include <vector>

#include "media/CodecParams.h"
#include "media/EncoderCore.h"

class OutputStream {
public:
    // `colour`: the tags of the pictures it is given (none by default).
    OutputStream(const char* fileName, const tCodecParams& params, const tColourTags& colour = tColourTags());
    ~OutputStream();
    OutputStream(const OutputStream&) = delete;
    OutputStream& operator=(const OutputStream&) = delete;

    // `frame` has the output's size and YUV 4:2:0 pixels.
    void WriteNextVideoFrame(AVFrame* frame);

    // Interleaved 16-bit samples at the output's rate and channel count. Bytes
    // that do not complete an encoder frame wait for the next call; without
    // an audio stream the bytes are dropped.
    void WriteNextAudioFrame(const void* data, int size);

    // Encodes the sound still waiting (a last, shorter frame), drains the
    // encoders, writes the trailer and closes the file. Throws when any of
    // the file could not be written ("The disk is full." when that is why).
    void Close();
    // Ends the file at once where its picture and sound are both whole,
    // without what the encoders still hold: for an export cut short.
    void CloseEarly();
    // Closes the file as it is, draining nothing, for a file that is
    // thrown away.
    void Abandon();

    // Pictures per second the video encoder is set up for.
    double GetFrameRate() const;

private:
    void Finish(bool early);

    struct EncoderCloser {
        void operator()(tFFMpegEncoder* encoder) const { CloseOutput(encoder); }
    };

    std::unique_ptr<tFFMpegEncoder, EncoderCloser> m_Encoder;
    std::vector<char> m_AudioBuffer;  // one encoder frame while it fills; empty without audio
    int m_AudioBufferSize = 0;
    int m_AudioBufferFill = 0;
};
