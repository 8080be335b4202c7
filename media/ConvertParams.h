#pragma once
#include "media/ColourTags.h"

// Source and destination of one picture conversion: sizes in pixels, FFmpeg
// pixel formats (AVPixelFormat values) and, where the source's matrix is
// specified, the colours read and written (else the scaler's own guess).
struct ConvertParams {
    int srcWidth = 0;
    int srcHeight = 0;
    int srcPixFmt = -1;
    int dstWidth = 0;
    int dstHeight = 0;
    int dstPixFmt = -1;
    tColourTags srcColour;
    tColourTags dstColour;
};
