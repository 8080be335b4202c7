#pragma once
// Frames made by the tests: a flat YUV 4:2:0 picture and packed 16-bit sound.
#include <cstdint>
#include <cstring>

#include "media/FFmpegPtr.h"

namespace testsupport {

// A YUV 4:2:0 picture of brightness `shade` and neutral colour.
inline ffmpeg::FramePtr NewPicture(int width, int height, uint8_t shade = 128)
{
    ffmpeg::FramePtr frame(av_frame_alloc());
    frame->width = width;
    frame->height = height;
    frame->format = AV_PIX_FMT_YUV420P;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return nullptr;
    std::memset(frame->data[0], shade, size_t(frame->linesize[0]) * height);
    for (int plane = 1; plane < 3; ++plane)
        std::memset(frame->data[plane], 128, size_t(frame->linesize[plane]) * ((height + 1) / 2));
    return frame;
}

// Silent packed 16-bit sound; the samples are data()[i * channels + channel].
inline ffmpeg::FramePtr NewSound(int channels, int rate, int samples)
{
    ffmpeg::FramePtr frame(av_frame_alloc());
    frame->format = AV_SAMPLE_FMT_S16;
    frame->sample_rate = rate;
    frame->nb_samples = samples;
    av_channel_layout_default(&frame->ch_layout, channels);
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return nullptr;
    std::memset(frame->data[0], 0, size_t(samples) * channels * 2);
    return frame;
}

inline int16_t* Samples(AVFrame& sound)
{
    return reinterpret_cast<int16_t*>(sound.data[0]);
}

}  // namespace testsupport
