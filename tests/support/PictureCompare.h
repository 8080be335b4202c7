#pragma once
// Comparing decoded pictures: whole-file decoding with the ffmpeg tool and
// simple distance measures between RGB24 pictures.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/MediaProbe.h"

namespace testsupport {

// The pictures of the first video stream (the first `maxPictures` when that
// is above 0) in display order, none dropped or repeated to match time
// stamps, as packed RGB24.
inline std::vector<Picture> DecodeAllPictures(const std::string& file, int maxPictures = 0)
{
    std::vector<Picture> pictures;
    int width = 0, height = 0;
    for (auto& s : ProbeStreams(file)) {
        if (s["codec_type"] == "video") {
            width = std::atoi(s["width"].c_str());
            height = std::atoi(s["height"].c_str());
            break;
        }
    }
    if (width <= 0 || height <= 0)
        return pictures;
    auto r = RunCommand("ffmpeg -nostdin -v error -i " + Quote(file) +
                        " -map 0:v:0 -fps_mode passthrough" +
                        (maxPictures > 0 ? " -frames:v " + std::to_string(maxPictures) : std::string()) +
                        " -f rawvideo -pix_fmt rgb24 -");
    const size_t size = size_t(width) * height * 3;
    for (size_t at = 0; at + size <= r.output.size(); at += size) {
        Picture p;
        p.width = width;
        p.height = height;
        p.rgb.assign(r.output.begin() + at, r.output.begin() + at + size);
        pictures.push_back(std::move(p));
    }
    return pictures;
}

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
