#pragma once
// Converts pictures between sizes and pixel formats with libswscale.
#include "media/ConvertParams.h"
#include "media/FFmpegPtr.h"

// Packed buffers are laid out as av_image_fill_arrays lays them out with
// alignment 1. Every AVFrame* returned here belongs to the caller, who frees
// it with av_frame_free(); that also releases a picture buffer the frame owns.
// None of the conversions throws: bad arguments give null (or false).
class AVFrameConverter {
public:
    // Throws "Can't initialize converting context." when no scaler exists
    // for these sizes and formats.
    explicit AVFrameConverter(const ConvertParams& params);

    // Bytes of one packed destination picture.
    int outputBufferSize() const;
    // Converts `src` into the caller's buffer `dst` and returns a frame that
    // describes `dst` (the buffer stays the caller's), or null.
    AVFrame* convertTo(AVFrame* src, char* dst, int dstSize);
    // convertTo without the describing frame; true on success.
    bool convert(AVFrame* src, char* dst, int dstSize);
    // Converts a packed source picture into the caller's buffer.
    AVFrame* convert(char* src, int srcSize, void* dst, int dstSize);
    // Converts into a new buffer that the returned frame owns.
    AVFrame* convert(AVFrame* src);
    AVFrame* convert(char* src, int srcSize);

private:
    ffmpeg::FramePtr WrapSource(char* src, int srcSize) const;
    bool IsUsableSource(const AVFrame* src) const;

    ffmpeg::SwsPtr m_SwsContext;
    ConvertParams m_Params;
};
