#pragma once
// Sound of any sample format, rate and channel layout made into frames of an
// encoder's format, rate, layout and frame size: one resampler feeding
// FFmpeg's audio FIFO, as whole sample frames throughout. Fewer channels are
// made with the resampler's standard downmix (centre and surrounds at -3 dB
// into both sides, LFE left out); mono goes into both sides alike.
#include <cstdint>

#include "media/FFmpegPtr.h"

class AudioResampler {
public:
    // Throws "Can't init resampler." for an encoder without sound settings.
    explicit AudioResampler(const AVCodecContext& encoder);
    ~AudioResampler();
    AudioResampler(const AudioResampler&) = delete;
    AudioResampler& operator=(const AudioResampler&) = delete;

    // Converts `frame` (null: what the resampler still holds back, at the
    // end) and queues at most `room` of the samples that come out; the rest
    // is dropped. Returns the samples per channel queued. Consecutive calls
    // carry consecutive sound; a frame of another format starts afresh.
    int64_t Put(const AVFrame* frame, int64_t room);
    // Queues `samples` of silence.
    void PutSilence(int samples);
    // The next frame of the encoder's frame size, or null when fewer samples
    // are queued. With `last`, what is left comes as a shorter frame
    // (filled up with silence for encoders that take whole frames only).
    ffmpeg::FramePtr Take(bool last);

private:
    bool Prepare(const AVFrame& frame);
    ffmpeg::FramePtr NewFrame(int samples) const;
    bool Queue(AVFrame& frame, int samples);

    const AVCodecContext& m_Encoder;
    int m_FrameSize;
    ffmpeg::AudioFifoPtr m_Fifo;
    ffmpeg::SwrPtr m_Swr;  // from the format of the frames coming in
    int m_InFormat = -1;
    int m_InRate = 0;
    AVChannelLayout m_InLayout{};
};
