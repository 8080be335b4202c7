#pragma once
// The rules that make a record fit its output, without any window: the
// settings pages, the main window, tellavox-export, the tests and the
// benchmarks all validate and propose records with these.
#include <vector>

#include "media/CodecParams.h"
#include "media/OutputFormats.h"

struct tInputStreamInfo;

// What a proposal follows: the picture's size (after any crop) and rate,
// and the sound.
// Sizes are as the source is shown: square pixels, upright.
struct tSourceDescription {
    int width = 0;
    int height = 0;
    double pixelAspect = 1.0;  // a stored pixel's width over its height, upright
    int fpsNum = 0;  // the exact rate, when known (else 0/0)
    int fpsDen = 0;
    double fps = 0;
    bool hasAudio = false;
    int sampleRate = 0;
    int channels = 0;
};

tSourceDescription DescribeSource(const tInputStreamInfo& info, bool hasAudio);
// The source cut to a crop given in stored pixels.
tSourceDescription CropSource(tSourceDescription source, int cropWidth, int cropHeight);

// The record with every value moved to the nearest one its output takes: an
// unknown output becomes the default one; a size not taken keeps its shape
// as far as the limits allow; rates and bit rates go to the nearest allowed
// (not above, where one is below). Normalising twice changes nothing.
tCodecParams NormaliseForFormat(tCodecParams params);

// The record to propose for `codec` and a source: its size and rate kept
// within the output's limits (the shape kept), its sound where the output
// takes it, and the output's own default bit rates; constant quality at the
// output's default where its encoder offers it.
tCodecParams ProposeForSource(enumOutputCodec codec, const tSourceDescription& source);

// The video bit rate (bit/s) that makes a record's file of `seconds` land
// just below its target size: what the target leaves after the sound and
// the container's own bytes; within the output's bit rates.
int TargetVideoBitrate(const tCodecParams& params, double seconds);

// The largest size of the source's shape within the output's limits (the
// source's own size when it fits); the nearest fixed size where there are such.
tPictureSize FitPictureSize(const tOutputFormat& format, int width, int height);

// The sound bit rates offered at a sample rate (one of the output's) and
// channel count, highest first.
std::vector<int> SoundBitrates(const tSoundLimits& sound, int sampleRate, int channels);
