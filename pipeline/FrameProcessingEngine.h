#pragma once
// Turns a decoded picture into a picture for the encoder in one pass of the
// scaler: the crop rectangle is taken from the source planes where they lie,
// then scaled and converted to the output's size and pixel format.
#include <wx/gdicmn.h>

#include "media/ConvertParams.h"
#include "media/FFmpegPtr.h"

class FrameProcessingEngine {
public:
    // `cropRect` in source pixels is clipped to the picture; one that covers
    // nothing of it means no crop. Where the source's colour planes are
    // smaller than the picture, the crop's left and top edges move to the
    // even pixel before them. Throws "Can't initialize converting context."
    // for formats or sizes the scaler cannot take.
    FrameProcessingEngine(const ConvertParams& params, const wxRect& cropRect = wxRect());
    FrameProcessingEngine(const FrameProcessingEngine&) = delete;
    FrameProcessingEngine& operator=(const FrameProcessingEngine&) = delete;

    // `frame` has the source's size and format and is only read. The result
    // is a new frame of the output's size and format that owns its picture,
    // or shares the source's where nothing about it changes.
    ffmpeg::FramePtr ProcessFrame(const AVFrame* frame);

    // The part of the source that becomes the output.
    wxRect GetSourceRect() const { return m_Source; }

private:
    ffmpeg::FramePtr CropView(const AVFrame& frame) const;
    const AVFrame& Croppable(const AVFrame& frame);

    ConvertParams m_Params;
    wxRect m_Source;
    int m_CropFormat;                 // the format the crop is taken from
    ffmpeg::SwsPtr m_ToCroppable;     // for formats whose planes cannot be cut in place
    ffmpeg::FramePtr m_Croppable;
    ffmpeg::SwsPtr m_Scaler;
    bool m_PassThrough = false;  // the picture is handed on as it is
};
