#pragma once
// The pictures of a file as the preview shows them: at a time, upright,
// filtered as the export filters them (see PictureFilter), at the size they
// are shown (anamorphic pixels made square) in 24-bit RGB converted with the
// source's colours. Keeps the file open between pictures.
#include <memory>

#include "media/AVFrameConverter.h"
#include "media/InputStream.h"

class PreviewDecoder {
public:
    // Throws as InputStream does when the file cannot be opened.
    PreviewDecoder(const char* fileName, bool keepFields);
    ~PreviewDecoder();
    PreviewDecoder(const PreviewDecoder&) = delete;
    PreviewDecoder& operator=(const PreviewDecoder&) = delete;

    // `time` in seconds from the start of the media: a new RGB24 picture,
    // or null when there is none. Throws when the picture cannot be made.
    ffmpeg::FramePtr PictureAt(double time);

private:
    ffmpeg::FramePtr DecodeAt(double time);

    InputStream m_Input;
    bool m_KeepFields;
    std::unique_ptr<AVFrameConverter> m_Converter;
};
