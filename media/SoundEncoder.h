#pragma once
// An encoded sound stream in an output file whose pictures are written by
// someone else (copied packets): decoded sound goes in as it comes, converted
// and cut into the encoder's frames, and its packets go to the file
// interleaved with the pictures. Failures are thrown as constant messages.
#include <cstdint>
#include <memory>

#include "media/AudioResampler.h"
#include "media/CodecParams.h"
#include "media/FFmpegPtr.h"

class SoundEncoder {
public:
    // Adds the stream to `file`, whose header is not yet written.
    SoundEncoder(AVFormatContext& file, AVCodecID codec, const tAudioParamsMP4& params);

    // Sound as a decoder gives it; at most `room` samples (per channel, at
    // the output's rate) are taken. Returns how many were.
    int64_t Write(const AVFrame& frame, int64_t room);
    // Encodes what is still waiting and drains the encoder.
    void Finish();
    int SampleRate() const { return m_Codec->sample_rate; }
    AVStream& Stream() { return *m_Stream; }

private:
    void Encode(AVFrame* frame);

    AVFormatContext& m_File;
    AVStream* m_Stream = nullptr;
    ffmpeg::CodecContextPtr m_Codec;
    std::unique_ptr<AudioResampler> m_Sound;
    ffmpeg::PacketPtr m_Packet;
    int64_t m_NextPts = 0;
};
