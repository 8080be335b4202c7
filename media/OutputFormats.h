#pragma once
// One row per output (enumOutputCodec): the muxer and the pinned codecs, the
// file extension and label, and the limits of every value a record holds.
// Everything that differs between outputs is data here; the rules that
// apply the limits are in media/FormatRules.h.
#include <cstdint>
#include <vector>

extern "C" {
#include <libavcodec/codec_id.h>
}

#include "media/CodecParams.h"

struct tPictureSize {
    int width;
    int height;
};

// The sound a codec takes. Bit rates are offered per sample rate: from the
// position in `bitrates` that `firstStereo` (or `firstMono`) gives for that
// rate down to the lowest.
struct tSoundLimits {
    std::vector<int> sampleRates;  // Hz, highest first
    std::vector<int> bitrates;     // bit/s, highest first
    std::vector<int> firstStereo;  // per sample rate
    std::vector<int> firstMono;    // per sample rate
    int maxChannels;
    int defaultBitrate;  // bit/s, or the highest allowed below it
};

struct tOutputFormat {
    enumOutputCodec codec;
    const char* muxer;
    AVCodecID videoCodec;
    AVCodecID audioCodec;
    const char* extension;  // without the dot
    const char* label;      // container and video codec, for people
    const char* videoName;  // the video codec, for people
    const char* muxerOptions;

    // A free size: each side minSide..maxSide, at most maxArea pixels, a
    // multiple of sizeStep. A non-empty fixedSizes list replaces them.
    int maxSide;
    int64_t maxArea;
    int sizeStep;
    std::vector<tPictureSize> fixedSizes;  // smallest first

    int maxFps;
    std::vector<int> fixedRates;  // the only whole rates taken, lowest first; empty: minFps..maxFps

    int maxVideoBitrate;      // bit/s
    int defaultVideoBitrate;  // bit/s
    const tSoundLimits& sound;
    bool needsSoundTrack = false;  // the muxer refuses a file without one
};

constexpr int minSide = 24;
constexpr int minFps = 5;
constexpr int minVideoBitrate = 5000;
constexpr int maxGopSize = 20;

// The row of `codec`; the default output's row for a value outside the enumeration.
const tOutputFormat& OutputFormat(enumOutputCodec codec);
bool IsOutputCodec(int codec);
