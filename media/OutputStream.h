#pragma once
// The output file of an export: opened from a parameter record, takes
// pictures one at a time and sound as decoded frames of any format, which it
// converts and cuts into the frames the audio encoder needs. Close()
// finishes the file and reports whether all of it was written; destroying
// it without Close() finishes what it can. Failures are thrown as constant
// messages (const char*).
#include <cstdint>
#include <memory>
#include <string>

#include "media/AudioResampler.h"
#include "media/CodecParams.h"
#include "media/EncoderCore.h"

class OutputStream {
public:
    // `colour`: the tags of the pictures it is given (none by default).
    // `pixelAspect`: the shape of a pixel as shown (not set for 3GP, whose
    // picture sizes imply it). `pass` 1 or 2 of two, with their statistics
    // in the file `stats`; 0 for a single pass.
    OutputStream(const char* fileName, const tCodecParams& params, const tColourTags& colour = tColourTags(),
                 AVRational pixelAspect = {1, 1}, int pass = 0, const std::string& stats = std::string());
    ~OutputStream();
    OutputStream(const OutputStream&) = delete;
    OutputStream& operator=(const OutputStream&) = delete;

    // `frame` has the output's size and YUV 4:2:0 pixels of PixelFormat().
    void WriteNextVideoFrame(AVFrame* frame);

    // Sound as a decoder gives it; null at the end of the sound, for what
    // the conversion still holds back. At most `room` samples (per channel,
    // at the output's rate) are taken; returns how many were. Without an
    // audio stream nothing is taken.
    int64_t WriteSound(const AVFrame* frame, int64_t room);
    // Silence of `samples` samples per channel at the output's rate.
    void WriteSilence(int samples);

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

    // The AVPixelFormat the video encoder takes: 10 bits for a record that
    // keeps HDR where the output's encoder can, else 8.
    static int PixelFormat(const tCodecParams& params);

    // Pictures per second the video encoder is set up for.
    double GetFrameRate() const;
    // Sound samples per second, 0 without sound.
    int GetSampleRate() const;

    // Channels an output of `params` gets: the sound of AAC in MP4 and MOV
    // may keep up to 5.1, other sound is stereo or mono.
    static int ChannelsFor(const tCodecParams& params);

    // An output whose sound is copied as it is (WriteCopiedSound) from a
    // source stream of `copiedSound`'s parameters; not for 3GP and 3G2.
    OutputStream(const char* fileName, const tCodecParams& params, const AVCodecParameters& copiedSound,
                 const tColourTags& colour, AVRational pixelAspect, int pass = 0,
                 const std::string& stats = std::string());
    // One packet of the copied sound, its times in `timeBase`.
    void WriteCopiedSound(AVPacket* packet, AVRational timeBase);

private:
    void EncodeSound(bool last);
    void Finish(bool early);
    void SaveStatistics() const;

    struct EncoderCloser {
        void operator()(tFFMpegEncoder* encoder) const { CloseOutput(encoder); }
    };

    int m_Pass = 0;
    std::string m_Stats;
    std::unique_ptr<tFFMpegEncoder, EncoderCloser> m_Encoder;
    std::unique_ptr<AudioResampler> m_Sound;  // null without sound
};
