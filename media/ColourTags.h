#pragma once
// How a picture's numbers become colours: the four tags a stream carries
// (values of FFmpeg's AVColorSpace, AVColorPrimaries,
// AVColorTransferCharacteristic and AVColorRange; 2, 2, 2 and 0 are
// "unspecified").
#include <cstdint>

struct tColourTags {
    int32_t matrix = 2;
    int32_t primaries = 2;
    int32_t transfer = 2;
    int32_t range = 0;
};
