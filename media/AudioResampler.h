#pragma once
// Converts interleaved signed 16-bit audio between sample rates and channel
// counts (any counts: 5.1 down to stereo or mono, mono up to stereo, ...).
#include <memory>

#include "media/FFmpegPtr.h"

class AudioResampler {
public:
    // Throws "Can't init resampler." for unusable counts or rates.
    AudioResampler(int inChannels, int inRate, int outChannels, int outRate);

    // Converts `size` bytes of input. The result stays owned by the resampler
    // and is overwritten by the next call; it holds LastResampleBufferSize()
    // bytes. Consecutive calls must carry consecutive audio (the filter keeps
    // its state). Throws "Can't resample audio data." when nothing comes out.
    short* Resample(short* samples, int size);
    int LastResampleBufferSize() const { return m_LastSamples * m_OutChannels * 2; }

private:
    void ReserveOutput(int inputSamples);

    ffmpeg::SwrPtr m_ResampleContext;
    int m_InChannels;
    int m_InRate;
    int m_OutChannels;
    int m_OutRate;
    std::unique_ptr<short[]> m_Buffer;
    int m_BufferSize = 0;  // bytes
    int m_LastSamples = 0;  // per channel
};
