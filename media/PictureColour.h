#pragma once
// The colours of a source's pictures as the program shows and writes them:
// untagged sources are taken as players take them (BT.601 below 720 lines,
// BT.709 from there on, limited range but for full-range formats), and HDR
// sources as the SDR BT.709 pictures they are tone-mapped to.
#include "media/ColourTags.h"
#include "media/FFmpegPtr.h"

struct tInputStreamInfo;

namespace PictureColour {

bool IsHdr(const tInputStreamInfo& info);
// "HDR (PQ)", "HDR (HLG)", or empty.
const char* HdrName(const tInputStreamInfo& info);
// The source's tags, with every unknown one guessed.
tColourTags OfSource(const tInputStreamInfo& info);
// Those of the pictures after the source's filter (see PictureFilter).
tColourTags Shown(const tInputStreamInfo& info);
// Those of the export's pixels: the shown colours in limited range.
tColourTags Written(const tInputStreamInfo& info);
// Makes `scaler` read `from` and write `to` (to.range alone matters for RGB).
void Apply(SwsContext* scaler, const tColourTags& from, const tColourTags& to);

}  // namespace PictureColour
