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

constexpr int minSide = 24;
constexpr int minFps = 5;
constexpr int minVideoBitrate = 5000;
constexpr int maxGopSize = 20;
constexpr int minTargetKB = 50;  // a target size below this leaves the pictures next to nothing

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

// The rate controls and speed presets a video encoder offers.
struct tEncoderChoices {
    bool quality;  // constant quality (CRF) on minQuality..maxQuality, lower is better
    int minQuality;
    int maxQuality;
    int defaultQuality;
    const char* speedOption;          // the encoder's option; null: no choice
    std::vector<const char*> speeds;  // its values, fastest first
    int defaultSpeed;                 // into speeds
    bool twoPass;                     // a target size is met with a second pass
    bool tenBit;                      // can keep 10 bits and HDR tags
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
    const tEncoderChoices& encoder;
    // Sound codecs the container takes besides its own (SC_OPUS, SC_AAC).
    std::vector<enumSoundCodec> otherSound = {};
    const char* videoTag = nullptr;  // the codec tag written, where players need a particular one
    int minPictureSide = minSide;    // SVT-AV1 takes no side below 64
};


// The row of `codec`; the default output's row for a value outside the enumeration.
const tOutputFormat& OutputFormat(enumOutputCodec codec);
bool IsOutputCodec(int codec);

// Whether the output writes `sound` (SC_OUTPUT always; SC_OPUS and SC_AAC
// where its row lists them).
bool TakesSound(enumOutputCodec codec, enumSoundCodec sound);
// The sound codec written and its limits: the chosen one where the output
// takes it, else the row's own.
AVCodecID SoundCodec(enumOutputCodec codec, enumSoundCodec sound);
const tSoundLimits& SoundLimits(enumOutputCodec codec, enumSoundCodec sound);
