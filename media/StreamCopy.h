#pragma once
// Whether an export may copy the source's packets as they are instead of
// decoding and encoding them. Pure functions, for the settings window, the
// proposals and the export alike.
#include <cstdint>

extern "C" {
#include <libavcodec/codec_id.h>
}

#include "media/CodecParams.h"

struct tInputStreamInfo;

// A crop in the source's upright pixels; an empty one is the whole picture.
struct tCropRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The output's container takes sound of the `source` codec as it is: its
// own sound codec and the others its row lists, or what its muxer says it
// can hold. Never for the phone formats (3GP, 3G2).
bool CanCopySound(enumOutputCodec codec, AVCodecID source);

// The output's container takes pictures of the `source` codec as they are.
bool CanHoldPictures(enumOutputCodec codec, AVCodecID source);

// Nothing asks for the pictures to change (no crop, no other size or rate)
// and the output's container takes the source's video codec.
bool CanCopyVideo(const tCodecParams& params, const tInputStreamInfo& source, const tCropRect& crop);

// FFmpeg's codec of a short codec name (tInputStreamInfo's), or AV_CODEC_ID_NONE.
AVCodecID CodecByName(const char* name);
