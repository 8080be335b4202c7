#pragma once
// Turns a decoded picture into a picture for the encoder: to 24-bit RGB at
// the source size, an edit of that image (cropping, in CropEngine), scaling
// to the output size, and conversion to the output's pixel format.
#include <memory>

#include <wx/image.h>

#include "media/AVFrameConverter.h"
#include "media/ConvertParams.h"
#include "media/FFmpegPtr.h"

class FrameProcessingEngine {
public:
    explicit FrameProcessingEngine(const ConvertParams& params);
    virtual ~FrameProcessingEngine();
    FrameProcessingEngine(const FrameProcessingEngine&) = delete;
    FrameProcessingEngine& operator=(const FrameProcessingEngine&) = delete;

    // Edits the RGB image at the source size, before scaling.
    virtual void PreProcessFrame(wxImage& image);
    // Edits the RGB image at the output size, after scaling.
    virtual void PostProcessFrame(wxImage& image);

    // `frame` is read only. The result is a new frame record that the caller
    // frees with av_frame_free(); its picture lies in the engine's buffer and
    // is overwritten by the next call.
    virtual AVFrame* ProcessFrame(AVFrame* frame);

protected:
    const ConvertParams& Params() const { return m_Params; }

private:
    wxImage ToRGB(AVFrame* frame);
    AVFrame* FromRGB(wxImage& image);
    AVFrame* CopyRGB(wxImage& image);
    uint8_t* OutBuffer();

    std::unique_ptr<AVFrameConverter> m_ToRGB;    // null when the source is RGB24
    std::unique_ptr<AVFrameConverter> m_FromRGB;  // null when the output is RGB24
    ConvertParams m_Params;
    ffmpeg::AvBufferPtr<uint8_t> m_OutBuffer;
};
