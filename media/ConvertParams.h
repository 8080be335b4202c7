#pragma once

// Source and destination of one picture conversion: sizes in pixels and
// FFmpeg pixel formats (AVPixelFormat values).
struct ConvertParams {
    int srcWidth = 0;
    int srcHeight = 0;
    int srcPixFmt = -1;
    int dstWidth = 0;
    int dstHeight = 0;
    int dstPixFmt = -1;
};
