#include "pipeline/FrameProcessingEngine.h"

#include "media/PictureColour.h"

extern "C" {
#include <libavutil/opt.h>
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

// Area averaging where the picture shrinks, bicubic where it grows; as
// many threads as the machine suits. Colours are read and written as the
// tags say, when the source's are known.
SwsContext* MakeScaler(int srcW, int srcH, int srcFmt, int dstW, int dstH, int dstFmt, const tColourTags& from,
                       const tColourTags& to)
{
    ffmpeg::SwsPtr scaler(sws_alloc_context());
    if (!scaler)
        return nullptr;
    SwsContext* s = scaler.get();
    int flags = srcW >= dstW && srcH >= dstH ? SWS_AREA : SWS_BICUBIC;
    bool set = av_opt_set_int(s, "srcw", srcW, 0) >= 0 && av_opt_set_int(s, "srch", srcH, 0) >= 0 &&
               av_opt_set_int(s, "src_format", srcFmt, 0) >= 0 && av_opt_set_int(s, "dstw", dstW, 0) >= 0 &&
               av_opt_set_int(s, "dsth", dstH, 0) >= 0 && av_opt_set_int(s, "dst_format", dstFmt, 0) >= 0 &&
               av_opt_set_int(s, "sws_flags", flags, 0) >= 0 && av_opt_set_int(s, "threads", 0, 0) >= 0;
    if (!set || sws_init_context(s, nullptr, nullptr) < 0)
        return nullptr;
    if (from.matrix != tColourTags().matrix)
        PictureColour::Apply(s, from, to);
    return scaler.release();
}

// Nothing to do when the picture keeps its size, format and colours.
bool ChangesNothing(const ConvertParams& p, const wxRect& source)
{
    bool sameColours = p.srcColour.matrix == tColourTags().matrix ||
                       (p.srcColour.matrix == p.dstColour.matrix && p.srcColour.range == p.dstColour.range);
    return source == wxRect(0, 0, p.srcWidth, p.srcHeight) && p.dstWidth == p.srcWidth &&
           p.dstHeight == p.srcHeight && p.dstPixFmt == p.srcPixFmt && sameColours;
}

// Another reference to the decoded picture, without what the decoder learnt
// of it: an encoder would take the source's picture types as orders.
ffmpeg::FramePtr Reference(const AVFrame& frame)
{
    ffmpeg::FramePtr out(av_frame_alloc());
    if (!out || av_frame_ref(out.get(), &frame) < 0)
        throw "Can't create new AVFrame.";
    out->pict_type = AV_PICTURE_TYPE_NONE;
    out->key_frame = 0;
    while (out->nb_side_data > 0)
        av_frame_remove_side_data(out.get(), out->side_data[0]->type);
    return out;
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
                                       params.srcHeight, m_CropFormat, params.srcColour, params.dstColour));
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
    m_PassThrough = !m_ToCroppable && ChangesNothing(params, m_Source);
    // Pictures made croppable already have the output's colours.
    const tColourTags& from = m_ToCroppable ? params.dstColour : params.srcColour;
    m_Scaler.reset(MakeScaler(m_Source.width, m_Source.height, m_CropFormat, params.dstWidth, params.dstHeight,
                              params.dstPixFmt, from, params.dstColour));
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
    if (m_PassThrough)
        return Reference(*frame);
    ffmpeg::FramePtr view = CropView(Croppable(*frame));
    ffmpeg::FramePtr out(av_frame_alloc());
    if (!view || !out)
        throw "Can't create new AVFrame.";
    out->width = m_Params.dstWidth;
    out->height = m_Params.dstHeight;
    out->format = m_Params.dstPixFmt;
    if (av_frame_get_buffer(out.get(), 0) < 0)
        throw "Can't allocate memory for new AVFrame.";
    if (sws_scale_frame(m_Scaler.get(), out.get(), view.get()) < 0)
        throw "Can't convert the picture.";
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
    if (sws_scale_frame(m_ToCroppable.get(), whole, &frame) < 0)
        throw "Can't convert the picture.";
    return *whole;
}

// A new reference to `frame`'s picture whose planes start at the crop
// rectangle and whose size is the crop's.
ffmpeg::FramePtr FrameProcessingEngine::CropView(const AVFrame& frame) const
{
    ffmpeg::FramePtr view(av_frame_alloc());
    if (!view || av_frame_ref(view.get(), &frame) < 0)
        return nullptr;
    view->width = m_Source.width;
    view->height = m_Source.height;
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
