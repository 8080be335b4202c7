#include "media/AudioResampler.h"

#include <algorithm>

extern "C" {
#include <libavutil/samplefmt.h>
}

#include "media/MediaError.h"

namespace {
const char* const cantResample = "Can't resample audio data.";
}  // namespace

AudioResampler::AudioResampler(const AVCodecContext& encoder)
    : m_Encoder(encoder), m_FrameSize(encoder.frame_size > 0 ? encoder.frame_size : 1024)
{
    if (encoder.ch_layout.nb_channels < 1 || encoder.sample_rate < 1)
        throw "Can't init resampler.";
    m_Fifo.reset(av_audio_fifo_alloc(encoder.sample_fmt, encoder.ch_layout.nb_channels, m_FrameSize));
    if (!m_Fifo)
        throw "Can't init resampler.";
}

AudioResampler::~AudioResampler()
{
    av_channel_layout_uninit(&m_InLayout);
}


// A resampler from the frame's format; the one in use when the format is
// the same, so that the sound it holds back goes on.
bool AudioResampler::Prepare(const AVFrame& frame)
{
    AVChannelLayout layout{};
    if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&layout, frame.ch_layout.nb_channels);
    else if (av_channel_layout_copy(&layout, &frame.ch_layout) < 0)
        return false;
    if (m_Swr && frame.format == m_InFormat && frame.sample_rate == m_InRate &&
        av_channel_layout_compare(&layout, &m_InLayout) == 0) {
        av_channel_layout_uninit(&layout);
        return true;
    }
    m_Swr.reset();
    av_channel_layout_uninit(&m_InLayout);
    m_InLayout = layout;  // takes over the layout's storage
    m_InFormat = frame.format;
    m_InRate = frame.sample_rate;
    SwrContext* context = nullptr;
    // swresample takes the layouts by pointers to non-const; it only reads them.
    auto* outLayout = const_cast<AVChannelLayout*>(&m_Encoder.ch_layout);
    if (swr_alloc_set_opts2(&context, outLayout, m_Encoder.sample_fmt, m_Encoder.sample_rate,
                            &m_InLayout, static_cast<AVSampleFormat>(m_InFormat), m_InRate, 0, nullptr) < 0)
        return false;
    ffmpeg::SwrPtr swr(context);
    if (swr_init(context) < 0)
        return false;
    m_Swr = std::move(swr);
    return true;
}

ffmpeg::FramePtr AudioResampler::NewFrame(int samples) const
{
    ffmpeg::FramePtr frame(av_frame_alloc());
    if (!frame)
        throw cantResample;
    frame->format = m_Encoder.sample_fmt;
    frame->sample_rate = m_Encoder.sample_rate;
    frame->nb_samples = samples;
    if (av_channel_layout_copy(&frame->ch_layout, &m_Encoder.ch_layout) < 0 || av_frame_get_buffer(frame.get(), 0) < 0)
        throw cantResample;
    return frame;
}

bool AudioResampler::Queue(AVFrame& frame, int samples)
{
    return samples <= 0 ||
           av_audio_fifo_write(m_Fifo.get(), reinterpret_cast<void**>(frame.extended_data), samples) == samples;
}

int64_t AudioResampler::Put(const AVFrame* frame, int64_t room)
{
    // A frame that cannot be converted is left out, as a packet that does
    // not decode is.
    if (frame && (frame->nb_samples < 1 || !Prepare(*frame)))
        return 0;
    if (!m_Swr)
        return 0;
    int in = frame ? frame->nb_samples : 0;
    int capacity = swr_get_out_samples(m_Swr.get(), in);
    if (capacity < 1)
        return 0;
    ffmpeg::FramePtr out = NewFrame(capacity);
    const uint8_t** input = frame ? const_cast<const uint8_t**>(frame->extended_data) : nullptr;
    int produced = CheckMedia(swr_convert(m_Swr.get(), out->extended_data, capacity, input, in), cantResample);
    int kept = int(std::clamp<int64_t>(room, 0, produced));
    if (!Queue(*out, kept))
        throw cantResample;
    return kept;
}

void AudioResampler::PutSilence(int samples)
{
    if (samples < 1)
        return;
    ffmpeg::FramePtr silence = NewFrame(samples);
    av_samples_set_silence(silence->extended_data, 0, samples, m_Encoder.ch_layout.nb_channels,
                           m_Encoder.sample_fmt);
    if (!Queue(*silence, samples))
        throw cantResample;
}

ffmpeg::FramePtr AudioResampler::Take(bool last)
{
    int queued = av_audio_fifo_size(m_Fifo.get());
    if (queued < 1 || (queued < m_FrameSize && !last))
        return nullptr;
    int count = std::min(queued, m_FrameSize);
    bool shortFrame = m_Encoder.codec && (m_Encoder.codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME);
    ffmpeg::FramePtr frame = NewFrame(shortFrame ? count : m_FrameSize);
    if (count < frame->nb_samples)
        av_samples_set_silence(frame->extended_data, count, frame->nb_samples - count,
                               m_Encoder.ch_layout.nb_channels, m_Encoder.sample_fmt);
    if (av_audio_fifo_read(m_Fifo.get(), reinterpret_cast<void**>(frame->extended_data), count) != count)
        throw cantResample;
    return frame;
}
