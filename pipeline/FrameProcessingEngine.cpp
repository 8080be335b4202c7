#include "pipeline/FrameProcessingEngine.h"

#include <cstring>

extern "C" {
#include <libavutil/imgutils.h>
}

namespace {

std::unique_ptr<AVFrameConverter> MakeConverter(int width, int height, int from, int to)
{
    if (from == to)
        return nullptr;
    ConvertParams params = {width, height, from, width, height, to};
    return std::make_unique<AVFrameConverter>(params);
}

int BufferSize(const ConvertParams& p)
{
    return av_image_get_buffer_size(AVPixelFormat(p.dstPixFmt), p.dstWidth, p.dstHeight, 1);
}

}  // namespace

FrameProcessingEngine::FrameProcessingEngine(const ConvertParams& params)
    : m_ToRGB(MakeConverter(params.srcWidth, params.srcHeight, params.srcPixFmt, AV_PIX_FMT_RGB24)),
      m_FromRGB(MakeConverter(params.dstWidth, params.dstHeight, AV_PIX_FMT_RGB24, params.dstPixFmt)),
      m_Params(params)
{
}

FrameProcessingEngine::~FrameProcessingEngine() = default;

void FrameProcessingEngine::PreProcessFrame(wxImage&)
{
}

void FrameProcessingEngine::PostProcessFrame(wxImage&)
{
}

AVFrame* FrameProcessingEngine::ProcessFrame(AVFrame* frame)
{
    if (!frame)
        throw "Pointer to frame is zero.";
    wxImage image = ToRGB(frame);
    PreProcessFrame(image);
    if (image.GetWidth() != m_Params.dstWidth || image.GetHeight() != m_Params.dstHeight)
        image = image.Scale(m_Params.dstWidth, m_Params.dstHeight, wxIMAGE_QUALITY_NORMAL);
    PostProcessFrame(image);
    return m_FromRGB ? FromRGB(image) : CopyRGB(image);
}

wxImage FrameProcessingEngine::ToRGB(AVFrame* frame)
{
    const int width = m_Params.srcWidth, height = m_Params.srcHeight;
    if (!m_ToRGB) {
        // Already RGB: the image uses the picture in place when its rows are
        // packed, and a copy row by row when the decoder pads them.
        if (frame->linesize[0] == width * 3)
            return wxImage(width, height, frame->data[0], true);
        wxImage image(width, height, false);
        for (int y = 0; y < height; ++y)
            std::memcpy(image.GetData() + size_t(y) * width * 3,
                        frame->data[0] + size_t(y) * frame->linesize[0], size_t(width) * 3);
        return image;
    }
    wxImage image(width, height, false);
    if (!m_ToRGB->convert(frame, reinterpret_cast<char*>(image.GetData()), width * height * 3))
        throw "Can't convert input frame to RGB colorspace.";
    return image;
}

uint8_t* FrameProcessingEngine::OutBuffer()
{
    if (!m_OutBuffer)
        m_OutBuffer.reset(static_cast<uint8_t*>(av_malloc(BufferSize(m_Params))));
    return m_OutBuffer.get();
}

AVFrame* FrameProcessingEngine::FromRGB(wxImage& image)
{
    int size = BufferSize(m_Params);
    uint8_t* buffer = OutBuffer();
    AVFrame* out = buffer ? m_FromRGB->convert(reinterpret_cast<char*>(image.GetData()),
                                               m_Params.dstWidth * m_Params.dstHeight * 3, buffer, size)
                          : nullptr;
    if (!out)
        throw "Can't convert from RGB colorspace to output colorspace.";
    return out;
}

AVFrame* FrameProcessingEngine::CopyRGB(wxImage& image)
{
    ffmpeg::FramePtr out(av_frame_alloc());
    if (!out)
        throw "Can't create new AVFrame.";
    uint8_t* buffer = OutBuffer();
    if (!buffer)
        throw "Can't allocate memory for new AVFrame.";
    av_image_fill_arrays(out->data, out->linesize, buffer, AV_PIX_FMT_RGB24,
                         m_Params.dstWidth, m_Params.dstHeight, 1);
    std::memcpy(buffer, image.GetData(), size_t(m_Params.dstWidth) * m_Params.dstHeight * 3);
    out->width = m_Params.dstWidth;
    out->height = m_Params.dstHeight;
    out->format = AV_PIX_FMT_RGB24;
    return out.release();
}
