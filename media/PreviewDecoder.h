#pragma once
// The pictures of a file as the preview shows them: at a time, upright,
// filtered as the export filters them (see PictureFilter), at the size they
// are shown (anamorphic pixels made square) in 24-bit RGB converted with the
// source's colours. Keeps the file open between pictures, and the decoded
// pictures just before the last one asked for, so that stepping back by a
// frame is as quick as stepping on.
#include <memory>

#include "media/AVFrameConverter.h"
#include "media/InputStream.h"
#include "media/PictureCache.h"

class PreviewDecoder {
public:
    // Throws as InputStream does when the file cannot be opened.
    PreviewDecoder(const char* fileName, bool keepFields, size_t cacheBytes = PictureCache::defaultBudget);
    ~PreviewDecoder();
    PreviewDecoder(const PreviewDecoder&) = delete;
    PreviewDecoder& operator=(const PreviewDecoder&) = delete;

    // `time` in seconds from the start of the media: a new RGB24 picture,
    // or null when there is none. Throws when the picture cannot be made.
    ffmpeg::FramePtr PictureAt(double time);

    const PictureCache& Cache() const { return m_Cache; }

private:
    const AVFrame* DecodedAt(double time);
    bool DecodeOnward(double time);
    bool DecodeRunUpTo(double time);
    double FrameDuration() const;
    ffmpeg::FramePtr Filtered(const AVFrame& decoded) const;

    InputStream m_Input;
    bool m_KeepFields;
    PictureCache m_Cache;
    std::unique_ptr<AVFrameConverter> m_Converter;
};
