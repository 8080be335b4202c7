#pragma once
// Converts pictures between sizes, pixel formats and colour matrices with
// libswscale. Its output pictures come from FFmpeg's aligned allocator: the
// scaler writes whole SIMD blocks, past the end of rows of exactly the
// picture's width.
#include "media/ConvertParams.h"
#include "media/FFmpegPtr.h"

class AVFrameConverter {
public:
    // Throws "Can't initialize converting context." when no scaler exists
    // for these sizes and formats.
    explicit AVFrameConverter(const ConvertParams& params);

    // A new picture of the destination's size and format, or null when
    // `src` is not a picture of the source's size and format.
    ffmpeg::FramePtr Convert(const AVFrame& src);

private:
    ffmpeg::SwsPtr m_SwsContext;
    ConvertParams m_Params;
};
