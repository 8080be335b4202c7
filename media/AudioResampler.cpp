#include "media/AudioResampler.h"

#include <algorithm>
#include <new>

AudioResampler::AudioResampler(int inChannels, int inRate, int outChannels, int outRate)
    : m_InChannels(inChannels), m_InRate(inRate), m_OutChannels(outChannels), m_OutRate(outRate)
{
    if (inChannels < 1 || inRate < 1 || outChannels < 1 || outRate < 1)
        throw "Can't init resampler.";
    AVChannelLayout inLayout{};
    AVChannelLayout outLayout{};
    av_channel_layout_default(&inLayout, inChannels);
    av_channel_layout_default(&outLayout, outChannels);
    SwrContext* context = nullptr;
    int result = swr_alloc_set_opts2(&context, &outLayout, AV_SAMPLE_FMT_S16, outRate,
                                     &inLayout, AV_SAMPLE_FMT_S16, inRate, 0, nullptr);
    av_channel_layout_uninit(&inLayout);
    av_channel_layout_uninit(&outLayout);
    if (result < 0) throw "Can't init resampler.";
    m_ResampleContext.reset(context);
    if (swr_init(context) < 0) throw "Can't init resampler.";
}

void AudioResampler::ReserveOutput(int inputSamples)
{
    // Room beyond the exact ratio, and never less than the resampler says it
    // may give (it can hand out samples held back from the previous call).
    double ratioBytes = (static_cast<double>(m_OutRate) / m_InRate + 1.0) *
                        (static_cast<double>(inputSamples) * m_OutChannels * 4);
    int mayGive = swr_get_out_samples(m_ResampleContext.get(), inputSamples);
    int needed = std::max(static_cast<int>(ratioBytes), mayGive * m_OutChannels * 2);
    if (m_Buffer && needed <= m_BufferSize) return;
    m_Buffer.reset();
    m_Buffer.reset(new short[needed / 2 + 1]);
    m_BufferSize = needed;
}

short* AudioResampler::Resample(short* samples, int size)
{
    int inputSamples = size > 0 ? size / (2 * m_InChannels) : 0;
    m_LastSamples = 0;
    if (!samples || inputSamples < 1) throw "Can't resample audio data.";
    ReserveOutput(inputSamples);
    uint8_t* out = reinterpret_cast<uint8_t*>(m_Buffer.get());
    const uint8_t* in = reinterpret_cast<const uint8_t*>(samples);
    int capacity = m_BufferSize / (2 * m_OutChannels);
    int produced = swr_convert(m_ResampleContext.get(), &out, capacity, &in, inputSamples);
    if (produced < 1) throw "Can't resample audio data.";
    m_LastSamples = produced;
    return m_Buffer.get();
}
