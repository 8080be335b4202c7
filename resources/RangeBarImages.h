#pragma once
// Pictures of the range bar: the two arrow thumbs and the three pieces of
// the bar's groove (32-bit raw images).
#include "pipeline/ImageHelpers.h"

extern const MEM_RAW_IMAGE rbSliderUp;        // 17 x 19, tip at the top
extern const MEM_RAW_IMAGE rbSliderDown;      // 17 x 19, tip at the bottom
extern const MEM_RAW_IMAGE rbSliderBgLeft;    // 4 x 6
extern const MEM_RAW_IMAGE rbSliderBgCenter;  // 100 x 6, tiled
extern const MEM_RAW_IMAGE rbSliderBgRight;   // 4 x 6
