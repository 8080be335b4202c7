#include "pipeline/FrameProcessingEngine.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace {

const char* const cantConvert = "Can't initialize converting context.";

AVPixelFormat Format(int value)
{
    return static_cast<AVPixelFormat>(value);
}

// Planar and packed formats can be cut by moving their plane pointers;
// bit-packed, palette and hardware formats cannot.
bool CanCutInPlace(const AVPixFmtDescriptor& format)
{
    return !(format.flags & (AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_HWACCEL |
                             AV_PIX_FMT_FLAG_BAYER));
}

bool IsChroma(const AVPixFmtDescriptor& format, int component)
{
    return !(format.flags & AV_PIX_FMT_FLAG_RGB) && (component == 1 || component == 2);
}

SwsContext* MakeScaler(int srcW, int srcH, int srcFmt, int dstW, int dstH, int dstFmt)
{
    // Area averaging where the picture shrinks, bicubic where it grows.
    int flags = srcW >= dstW && srcH >= dstH ? SWS_AREA : SWS_BICUBIC;
    return sws_getContext(srcW, srcH, Format(srcFmt), dstW, dstH, Format(dstFmt), flags, nullptr, nullptr,
                          nullptr);
}

}  // namespace

FrameProcessingEngine::FrameProcessingEngine(const ConvertParams& params, const wxRect& cropRect)
    : m_Params(params), m_CropFormat(params.srcPixFmt)
{
    const AVPixFmtDescriptor* source = av_pix_fmt_desc_get(Format(params.srcPixFmt));
    if (!source || params.srcWidth < 1 || params.srcHeight < 1)
        throw cantConvert;
    if (!CanCutInPlace(*source)) {
        m_CropFormat = AV_PIX_FMT_YUV444P;
        m_ToCroppable.reset(MakeScaler(params.srcWidth, params.srcHeight, params.srcPixFmt, params.srcWidth,
                                       params.srcHeight, m_CropFormat));
        m_Croppable.reset(av_frame_alloc());
        if (!m_ToCroppable || !m_Croppable)
            throw cantConvert;
        source = av_pix_fmt_desc_get(Format(m_CropFormat));
    }
    wxRect whole(0, 0, params.srcWidth, params.srcHeight);
    wxRect crop = cropRect.Intersect(whole);
    if (crop.IsEmpty())
        crop = whole;
    int alignX = 1 << source->log2_chroma_w, alignY = 1 << source->log2_chroma_h;
    int left = crop.x / alignX * alignX, top = crop.y / alignY * alignY;
    m_Source = wxRect(left, top, crop.GetRight() + 1 - left, crop.GetBottom() + 1 - top);
    m_Scaler.reset(MakeScaler(m_Source.width, m_Source.height, m_CropFormat, params.dstWidth, params.dstHeight,
                              params.dstPixFmt));
    if (!m_Scaler)
        throw cantConvert;
}

ffmpeg::FramePtr FrameProcessingEngine::ProcessFrame(const AVFrame* frame)
{
    if (!frame)
        throw "Pointer to frame is zero.";
    if (frame->width != m_Params.srcWidth || frame->height != m_Params.srcHeight ||
        frame->format != m_Params.srcPixFmt || !frame->data[0])
        throw "Error croping frame.";
    ffmpeg::FramePtr view = CropView(Croppable(*frame));
    ffmpeg::FramePtr out(av_frame_alloc());
    if (!view || !out)
        throw "Can't create new AVFrame.";
    out->width = m_Params.dstWidth;
    out->height = m_Params.dstHeight;
    out->format = m_Params.dstPixFmt;
    if (av_frame_get_buffer(out.get(), 0) < 0)
        throw "Can't allocate memory for new AVFrame.";
    sws_scale(m_Scaler.get(), view->data, view->linesize, 0, m_Source.height, out->data, out->linesize);
    return out;
}

// The source itself, or for formats that cannot be cut in place, the source
// converted at its own size into one that can.
const AVFrame& FrameProcessingEngine::Croppable(const AVFrame& frame)
{
    if (!m_ToCroppable)
        return frame;
    AVFrame* whole = m_Croppable.get();
    if (!whole->data[0]) {
        whole->width = m_Params.srcWidth;
        whole->height = m_Params.srcHeight;
        whole->format = m_CropFormat;
        if (av_frame_get_buffer(whole, 0) < 0)
            throw "Can't allocate memory for new AVFrame.";
    }
    sws_scale(m_ToCroppable.get(), frame.data, frame.linesize, 0, frame.height, whole->data, whole->linesize);
    return *whole;
}

// A frame whose planes point at the crop rectangle inside `frame`'s planes.
ffmpeg::FramePtr FrameProcessingEngine::CropView(const AVFrame& frame) const
{
    ffmpeg::FramePtr view(av_frame_alloc());
    if (!view)
        return nullptr;
    const AVPixFmtDescriptor& format = *av_pix_fmt_desc_get(Format(m_CropFormat));
    for (int c = 0; c < format.nb_components; ++c) {
        const AVComponentDescriptor& component = format.comp[c];
        int plane = component.plane;
        int shiftX = IsChroma(format, c) ? format.log2_chroma_w : 0;
        int shiftY = IsChroma(format, c) ? format.log2_chroma_h : 0;
        view->linesize[plane] = frame.linesize[plane];
        view->data[plane] = frame.data[plane] + ptrdiff_t(m_Source.y >> shiftY) * frame.linesize[plane] +
                            ptrdiff_t(m_Source.x >> shiftX) * component.step;
    }
    return view;
}
