#pragma once
// Simple distance measures between decoded RGB24 pictures.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "support/MediaProbe.h"

namespace testsupport {

// Mean absolute difference per colour value; a large number when the sizes differ.
inline double MeanAbsDiff(const Picture& a, const Picture& b)
{
    if (a.width != b.width || a.height != b.height || a.rgb.empty())
        return 1e9;
    uint64_t sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i)
        sum += uint64_t(std::abs(int(a.rgb[i]) - int(b.rgb[i])));
    return double(sum) / double(a.rgb.size());
}

// Largest difference of one colour value from the expected colour over a
// rectangle of the picture.
inline int MaxColourError(const Picture& p, int x0, int y0, int w, int h, int r, int g, int b)
{
    int worst = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            const uint8_t* px = p.At(x, y);
            worst = std::max({worst, std::abs(px[0] - r), std::abs(px[1] - g), std::abs(px[2] - b)});
        }
    return worst;
}

}  // namespace testsupport
