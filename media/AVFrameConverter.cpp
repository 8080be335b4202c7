#include "media/AVFrameConverter.h"

#include "media/PictureColour.h"

namespace {

AVPixelFormat PixelFormat(int value) { return static_cast<AVPixelFormat>(value); }

}  // namespace

AVFrameConverter::AVFrameConverter(const ConvertParams& params)
    : m_Params(params)
{
    m_SwsContext.reset(sws_getContext(params.srcWidth, params.srcHeight, PixelFormat(params.srcPixFmt),
                                      params.dstWidth, params.dstHeight, PixelFormat(params.dstPixFmt),
                                      SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!m_SwsContext) throw "Can't initialize converting context.";
    if (params.srcColour.matrix != tColourTags().matrix)
        PictureColour::Apply(m_SwsContext.get(), params.srcColour, params.dstColour);
}

ffmpeg::FramePtr AVFrameConverter::Convert(const AVFrame& src)
{
    // The scaler reads srcHeight rows of srcWidth pixels in the source
    // format; a picture that is smaller or laid out differently would be
    // read past its end.
    if (!src.data[0] || src.width != m_Params.srcWidth || src.height != m_Params.srcHeight ||
        src.format != m_Params.srcPixFmt)
        return nullptr;
    ffmpeg::FramePtr out(av_frame_alloc());
    if (!out) return nullptr;
    out->width = m_Params.dstWidth;
    out->height = m_Params.dstHeight;
    out->format = m_Params.dstPixFmt;
    if (av_frame_get_buffer(out.get(), 64) < 0) return nullptr;
    if (sws_scale(m_SwsContext.get(), src.data, src.linesize, 0, src.height, out->data, out->linesize) < 0)
        return nullptr;
    return out;
}
