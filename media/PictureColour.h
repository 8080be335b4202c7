#pragma once
// The colours of a source's pictures as the program shows and writes them:
// untagged sources are taken as players take them (BT.601 below 720 lines,
// BT.709 from there on, limited range but for full-range formats), and HDR
// sources as the SDR BT.709 pictures they are tone-mapped to, unless an
// export keeps them as they are.
#include "media/ColourTags.h"
#include "media/ConvertParams.h"
#include "media/FFmpegPtr.h"

struct tInputStreamInfo;

namespace PictureColour {

bool IsHdr(const tInputStreamInfo& info);
// HDR, or stored with more than 8 bits: what an export may keep at 10 bits.
bool IsDeep(const tInputStreamInfo& info);
// "HDR (PQ)", "HDR (HLG)", or empty.
const char* HdrName(const tInputStreamInfo& info);
// The source's tags, with every unknown one guessed.
tColourTags OfSource(const tInputStreamInfo& info);
// Those of the pictures after the source's filter (see PictureFilter);
// `keepHdr`: the source's own, not tone-mapped.
tColourTags Shown(const tInputStreamInfo& info, bool keepHdr = false);
// Those of the export's pixels: the shown colours in limited range.
tColourTags Written(const tInputStreamInfo& info, bool keepHdr = false);
// From `frame`, a picture after the source's filter, to full-range RGB of
// width x height, for showing.
ConvertParams ToShownRgb(const AVFrame& frame, const tInputStreamInfo& info, int width, int height);
// Makes `scaler` read `from` and write `to` (to.range alone matters for RGB).
void Apply(SwsContext* scaler, const tColourTags& from, const tColourTags& to);

}  // namespace PictureColour
