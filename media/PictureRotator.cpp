#include "media/PictureRotator.h"

#include <cmath>

extern "C" {
#include <libavutil/display.h>
#include <libavutil/pixdesc.h>
}

PictureRotator::PictureRotator(int quarterTurns)
    : m_QuarterTurns(((quarterTurns % 4) + 4) % 4)
{
}

int PictureRotator::QuarterTurnsOf(const AVStream& stream)
{
    const uint8_t* matrix = av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr);
    if (!matrix)
        return 0;
    // The matrix turns counter-clockwise; showing it upright takes the opposite turn.
    double degrees = -av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
    if (std::isnan(degrees))
        return 0;
    long quarters = std::lround(degrees / 90.0);
    if (std::fabs(degrees - quarters * 90.0) > 1.0)
        return 0;
    return int(((quarters % 4) + 4) % 4);
}

bool PictureRotator::CanTurn(AVPixelFormat format)
{
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
    if (!desc || desc->log2_chroma_w != desc->log2_chroma_h ||
        (desc->flags & (AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_HWACCEL)))
        return false;
    for (int i = 0; i < desc->nb_components; ++i) {
        if (desc->comp[i].depth != 8 || desc->comp[i].step != 1 || desc->comp[i].offset != 0)
            return false;
    }
    return true;
}

ffmpeg::FramePtr PictureRotator::Turn(const AVFrame& frame) const
{
    AVPixelFormat format = static_cast<AVPixelFormat>(frame.format);
    if (!CanTurn(format) || frame.width < 1 || frame.height < 1)
        return nullptr;
    ffmpeg::FramePtr out(av_frame_alloc());
    if (!out)
        return nullptr;
    out->format = format;
    out->width = SwapsSides() ? frame.height : frame.width;
    out->height = SwapsSides() ? frame.width : frame.height;
    if (av_frame_get_buffer(out.get(), 0) < 0 || av_frame_copy_props(out.get(), &frame) < 0)
        return nullptr;
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
    for (int plane = 0; plane < av_pix_fmt_count_planes(format); ++plane) {
        bool chroma = plane == 1 || plane == 2;
        int shift = chroma ? desc->log2_chroma_w : 0;
        TurnPlane(frame.data[plane], frame.linesize[plane], AV_CEIL_RSHIFT(frame.width, shift),
                  AV_CEIL_RSHIFT(frame.height, shift), out->data[plane], out->linesize[plane]);
    }
    return out;
}

// `width` and `height` are the source plane's.
void PictureRotator::TurnPlane(const uint8_t* from, int fromPitch, int width, int height, uint8_t* to,
                               int toPitch) const
{
    auto source = [&](int x, int y) { return from[static_cast<ptrdiff_t>(y) * fromPitch + x]; };
    int outWidth = SwapsSides() ? height : width;
    int outHeight = SwapsSides() ? width : height;
    for (int y = 0; y < outHeight; ++y) {
        uint8_t* row = to + static_cast<ptrdiff_t>(y) * toPitch;
        for (int x = 0; x < outWidth; ++x) {
            switch (m_QuarterTurns) {
            case 1: row[x] = source(y, height - 1 - x); break;
            case 2: row[x] = source(width - 1 - x, height - 1 - y); break;
            case 3: row[x] = source(width - 1 - y, x); break;
            default: row[x] = source(x, y); break;
            }
        }
    }
}
