#include "media/PictureColour.h"

#include "media/InputStream.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace PictureColour {

namespace {

bool IsHighDefinition(const tInputStreamInfo& info)
{
    return info.height >= 720 || info.width >= 1280;
}

// The YUV formats named "J" carry full-range pixels whatever the tags say.
bool IsFullRangeFormat(int pixFmt)
{
    switch (pixFmt) {
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUVJ422P:
    case AV_PIX_FMT_YUVJ444P:
    case AV_PIX_FMT_YUVJ440P:
    case AV_PIX_FMT_YUVJ411P:
        return true;
    default:
        return false;
    }
}

tColourTags Bt709()
{
    return {AVCOL_SPC_BT709, AVCOL_PRI_BT709, AVCOL_TRC_BT709, AVCOL_RANGE_MPEG};
}

}  // namespace

bool IsHdr(const tInputStreamInfo& info)
{
    return info.colour.transfer == AVCOL_TRC_SMPTE2084 || info.colour.transfer == AVCOL_TRC_ARIB_STD_B67;
}

bool IsDeep(const tInputStreamInfo& info)
{
    const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(AVPixelFormat(info.pixFmt));
    return IsHdr(info) || (format && format->comp[0].depth > 8);
}

const char* HdrName(const tInputStreamInfo& info)
{
    if (info.colour.transfer == AVCOL_TRC_SMPTE2084) return "HDR (PQ)";
    if (info.colour.transfer == AVCOL_TRC_ARIB_STD_B67) return "HDR (HLG)";
    return "";
}

tColourTags OfSource(const tInputStreamInfo& info)
{
    tColourTags tags = info.colour;
    bool hd = IsHighDefinition(info);
    if (tags.matrix == AVCOL_SPC_UNSPECIFIED || tags.matrix == AVCOL_SPC_RESERVED)
        tags.matrix = hd ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
    if (tags.primaries == AVCOL_PRI_UNSPECIFIED || tags.primaries == AVCOL_PRI_RESERVED)
        tags.primaries = hd ? AVCOL_PRI_BT709 : info.height == 576 ? AVCOL_PRI_BT470BG : AVCOL_PRI_SMPTE170M;
    if (tags.transfer == AVCOL_TRC_UNSPECIFIED || tags.transfer == AVCOL_TRC_RESERVED)
        tags.transfer = hd ? AVCOL_TRC_BT709 : AVCOL_TRC_SMPTE170M;
    if (IsFullRangeFormat(info.pixFmt))
        tags.range = AVCOL_RANGE_JPEG;
    else if (tags.range != AVCOL_RANGE_JPEG)
        tags.range = AVCOL_RANGE_MPEG;
    return tags;
}

tColourTags Shown(const tInputStreamInfo& info, bool keepHdr)
{
    return IsHdr(info) && !keepHdr ? Bt709() : OfSource(info);
}

tColourTags Written(const tInputStreamInfo& info, bool keepHdr)
{
    tColourTags tags = Shown(info, keepHdr);
    tags.range = AVCOL_RANGE_MPEG;
    return tags;
}

void Apply(SwsContext* scaler, const tColourTags& from, const tColourTags& to)
{
    int* inverse = nullptr;
    int* table = nullptr;
    int srcRange = 0, dstRange = 0, brightness = 0, contrast = 0, saturation = 0;
    sws_getColorspaceDetails(scaler, &inverse, &srcRange, &table, &dstRange, &brightness, &contrast,
                             &saturation);
    sws_setColorspaceDetails(scaler, sws_getCoefficients(from.matrix), from.range == AVCOL_RANGE_JPEG,
                             sws_getCoefficients(to.matrix), to.range == AVCOL_RANGE_JPEG, brightness,
                             contrast, saturation);
}

ConvertParams ToShownRgb(const AVFrame& frame, const tInputStreamInfo& info, int width, int height)
{
    ConvertParams params;
    params.srcWidth = frame.width;
    params.srcHeight = frame.height;
    params.srcPixFmt = frame.format;
    params.dstWidth = width;
    params.dstHeight = height;
    params.dstPixFmt = AV_PIX_FMT_RGB24;
    params.srcColour = Shown(info);
    params.dstColour = params.srcColour;
    params.dstColour.range = AVCOL_RANGE_JPEG;
    return params;
}

}  // namespace PictureColour
