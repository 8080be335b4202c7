#include "media/PreviewDecoder.h"

#include "media/PictureColour.h"
#include "media/PictureFilter.h"

PreviewDecoder::PreviewDecoder(const char* fileName, bool keepFields)
    : m_Input(fileName, true, false), m_KeepFields(keepFields)
{
}

PreviewDecoder::~PreviewDecoder() = default;

ffmpeg::FramePtr PreviewDecoder::DecodeAt(double time)
{
    if (!m_Input.IsVideoPresent() || !m_Input.SeekAccurate(m_Input.GetStartTime() + time))
        return nullptr;
    ffmpeg::FramePtr frame;
    while (!frame) {
        if (m_Input.IsAllMediaEnded())
            return nullptr;
        frame = m_Input.DecodeNextVideoFrame();
    }
    // A filter for this one picture. The deinterlacer gives a picture once
    // it has the next one: the same again stands in for it.
    std::unique_ptr<PictureFilter> filter = PictureFilter::For(m_Input.GetInfo(), m_KeepFields);
    if (!filter)
        return frame;
    filter->Send(*frame);
    ++frame->best_effort_timestamp;
    filter->Send(*frame);
    filter->Flush();
    return filter->Receive();
}

ffmpeg::FramePtr PreviewDecoder::PictureAt(double time)
{
    ffmpeg::FramePtr picture = DecodeAt(time);
    if (!picture)
        return nullptr;
    if (!m_Converter) {
        tInputStreamInfo info = m_Input.GetInfo();
        ConvertParams params;
        params.srcWidth = picture->width;
        params.srcHeight = picture->height;
        params.srcPixFmt = picture->format;
        params.dstWidth = info.displayWidth;
        params.dstHeight = info.displayHeight;
        params.dstPixFmt = AV_PIX_FMT_RGB24;
        params.srcColour = PictureColour::Shown(info);
        params.dstColour = params.srcColour;
        params.dstColour.range = AVCOL_RANGE_JPEG;
        m_Converter = std::make_unique<AVFrameConverter>(params);
    }
    return m_Converter->Convert(*picture);
}
