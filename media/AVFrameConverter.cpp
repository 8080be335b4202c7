#include "media/AVFrameConverter.h"

extern "C" {
#include <libavutil/imgutils.h>
}

namespace {

AVPixelFormat PixelFormat(int value) { return static_cast<AVPixelFormat>(value); }

// Points the frame's planes into `buffer`, a packed picture.
bool FillPlanes(AVFrame* frame, char* buffer, int pixFmt, int width, int height)
{
    if (av_image_fill_arrays(frame->data, frame->linesize, reinterpret_cast<uint8_t*>(buffer),
                             PixelFormat(pixFmt), width, height, 1) < 0)
        return false;
    frame->format = pixFmt;
    frame->width = width;
    frame->height = height;
    return true;
}

}  // namespace

AVFrameConverter::AVFrameConverter(const ConvertParams& params)
    : m_Params(params)
{
    m_SwsContext.reset(sws_getContext(params.srcWidth, params.srcHeight, PixelFormat(params.srcPixFmt),
                                      params.dstWidth, params.dstHeight, PixelFormat(params.dstPixFmt),
                                      0, nullptr, nullptr, nullptr));
    if (!m_SwsContext) throw "Can't initialize converting context.";
}

int AVFrameConverter::outputBufferSize() const
{
    return av_image_get_buffer_size(PixelFormat(m_Params.dstPixFmt), m_Params.dstWidth,
                                    m_Params.dstHeight, 1);
}

bool AVFrameConverter::IsUsableSource(const AVFrame* src) const
{
    // The scaler reads srcHeight rows of srcWidth pixels in the source
    // format; a picture that is smaller or laid out differently (a decoder
    // that changed size mid-stream) would be read past its end.
    if (!src || !src->data[0]) return false;
    if (src->width > 0 && (src->width < m_Params.srcWidth || src->height < m_Params.srcHeight))
        return false;
    return src->format < 0 || src->format == m_Params.srcPixFmt;
}

AVFrame* AVFrameConverter::convertTo(AVFrame* src, char* dst, int dstSize)
{
    if (!dst || dstSize < 1) return nullptr;
    int needed = outputBufferSize();
    if (needed < 1 || dstSize < needed || !IsUsableSource(src)) return nullptr;
    ffmpeg::FramePtr result(av_frame_alloc());
    if (!result ||
        !FillPlanes(result.get(), dst, m_Params.dstPixFmt, m_Params.dstWidth, m_Params.dstHeight))
        return nullptr;
    sws_scale(m_SwsContext.get(), src->data, src->linesize, 0, m_Params.srcHeight,
              result->data, result->linesize);
    return result.release();
}

bool AVFrameConverter::convert(AVFrame* src, char* dst, int dstSize)
{
    ffmpeg::FramePtr result(convertTo(src, dst, dstSize));
    return result != nullptr;
}

ffmpeg::FramePtr AVFrameConverter::WrapSource(char* src, int srcSize) const
{
    int needed = av_image_get_buffer_size(PixelFormat(m_Params.srcPixFmt), m_Params.srcWidth,
                                          m_Params.srcHeight, 1);
    if (!src || srcSize < 1 || needed < 1 || srcSize < needed) return nullptr;
    ffmpeg::FramePtr frame(av_frame_alloc());
    if (!frame ||
        !FillPlanes(frame.get(), src, m_Params.srcPixFmt, m_Params.srcWidth, m_Params.srcHeight))
        return nullptr;
    return frame;
}

AVFrame* AVFrameConverter::convert(char* src, int srcSize, void* dst, int dstSize)
{
    ffmpeg::FramePtr source = WrapSource(src, srcSize);
    if (!source) return nullptr;
    return convertTo(source.get(), static_cast<char*>(dst), dstSize);
}

AVFrame* AVFrameConverter::convert(AVFrame* src)
{
    int size = outputBufferSize();
    if (size < 1) return nullptr;
    AVBufferRef* buffer = av_buffer_alloc(size);
    if (!buffer) return nullptr;
    AVFrame* result = convertTo(src, reinterpret_cast<char*>(buffer->data), size);
    if (!result) {
        av_buffer_unref(&buffer);
        return nullptr;
    }
    result->buf[0] = buffer;  // the frame now owns its picture
    return result;
}

AVFrame* AVFrameConverter::convert(char* src, int srcSize)
{
    ffmpeg::FramePtr source = WrapSource(src, srcSize);
    if (!source) return nullptr;
    return convert(source.get());
}
