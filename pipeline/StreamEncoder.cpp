#include "pipeline/StreamEncoder.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "pipeline/CropEngine.h"

extern "C" {
#include <libavutil/pixfmt.h>
}

StreamEncoder::StreamEncoder(const char* inputName, const char* outputName, tCodecParams params,
                             const wxRect& cropRect, double startTime, double endTime)
    : m_RangeStart(startTime), m_RangeEnd(endTime)
{
    m_VideoInput = std::make_unique<InputStream>(inputName, true, false);
    if (!m_VideoInput->IsVideoPresent())
        throw "Input stream not contain video.";
    if (params.bAudioEnabled)
        OpenAudioInput(inputName, params);
    m_Output = std::make_unique<OutputStream>(outputName, params);

    tInputStreamInfo video = m_VideoInput->GetInfo();
    m_InputFps = video.frameRate;
    m_OutputFps = params.iFps;
    ConvertParams convert = {video.width, video.height, video.pixFmt,
                             params.iWidth, params.iHeight, AV_PIX_FMT_YUV420P};
    m_Engine = std::make_unique<CropEngine>(convert, cropRect);

    if (m_AudioInput) {
        tInputStreamInfo audio = m_AudioInput->GetInfo();
        if (audio.channels != params.iAudioChannels || audio.sampleRate != params.iAudioSampleRate)
            m_Resampler = std::make_unique<AudioResampler>(audio.channels, audio.sampleRate,
                                                           params.iAudioChannels, params.iAudioSampleRate);
    }
    ClampRange(endTime);
    SeekToStart();
}

StreamEncoder::~StreamEncoder()
{
    m_AudioInput.reset();
    m_VideoInput.reset();
    m_Output.reset();
}

// An input that cannot be opened for its sound gives an export without sound.
void StreamEncoder::OpenAudioInput(const char* inputName, tCodecParams& params)
{
    try {
        m_AudioInput = std::make_unique<InputStream>(inputName, false, true);
    } catch (...) {
        m_AudioInput.reset();
    }
    if (!m_AudioInput)
        params.bAudioEnabled = false;
}

void StreamEncoder::ClampRange(double endTime)
{
    if (m_RangeStart > m_RangeEnd)
        m_RangeStart = m_RangeEnd;
    if (m_RangeStart < 0)
        m_RangeStart = 0;
    double duration = m_VideoInput->GetDuration();
    if (endTime > duration || endTime <= 0)
        m_RangeEnd = duration;
}

void StreamEncoder::SeekToStart()
{
    double time = m_RangeStart + m_VideoInput->GetStartTime();
    if (m_AudioInput) {
        if (!InputStream::SeekStreamsSync(*m_VideoInput, *m_AudioInput, time))
            throw "Can't seek to begin in audio or video stream.";
    } else if (!m_VideoInput->SeekAccurate(time)) {
        throw "Can't seek to begin in video stream.";
    }
}

void StreamEncoder::CheckOpen() const
{
    if (!m_VideoInput)
        throw "Input media not opened.";
    if (!m_Output)
        throw "Output codec not created.";
}

void StreamEncoder::Encode()
{
    CheckOpen();
    if (IsEnded())
        return;
    if (m_AudioInput && m_AudioInput->GetAudioPosition() <= m_VideoInput->GetVideoPosition() &&
        !m_AudioInput->IsAllMediaEnded())
        EncodeAudio();
    else
        EncodeVideo();
}

void StreamEncoder::EncodeVideo()
{
    ffmpeg::FramePtr frame(m_VideoInput->DecodeNextVideoFrame());
    if (!frame) {
        if (m_AudioInput)
            EncodeAudio();
        return;
    }
    ++m_ReadFrames;
    double inEnd = m_ReadFrames / m_InputFps;
    double outNext = m_WrittenFrames / m_OutputFps;
    if (outNext > inEnd)
        return;  // the output is ahead: drop the picture unprocessed
    ffmpeg::FramePtr out(m_Engine->ProcessFrame(frame.get()));
    frame.reset();
    if (!out)
        throw "Error croping frame.";
    while (inEnd > outNext) {
        m_Output->WriteNextVideoFrame(out.get());
        ++m_WrittenFrames;
        outNext = m_WrittenFrames / m_OutputFps;
    }
}

void StreamEncoder::EncodeAudio()
{
    m_AudioInput->DecodeNextAudioFrame(m_AudioBlock, audioBlockSize);
    if (m_Resampler) {
        short* data = m_Resampler->Resample(reinterpret_cast<short*>(m_AudioBlock), audioBlockSize);
        m_Output->WriteNextAudioFrame(data, m_Resampler->LastResampleBufferSize());
    } else {
        m_Output->WriteNextAudioFrame(m_AudioBlock, audioBlockSize);
    }
}

bool StreamEncoder::IsEnded() const
{
    if (!m_VideoInput)
        throw "Input media not opened.";
    if (m_VideoInput->GetPosition() - m_VideoInput->GetStartTime() >= m_RangeEnd)
        return true;
    if (!m_AudioInput)
        return m_VideoInput->IsAllMediaEnded();
    return m_VideoInput->IsAllMediaEnded() && m_AudioInput->IsAllMediaEnded();
}

double StreamEncoder::GetPosition() const
{
    CheckOpen();
    double position = m_VideoInput->GetPosition();
    if (m_AudioInput && m_AudioInput->GetPosition() < position)
        position = m_AudioInput->GetPosition();
    return position - m_VideoInput->GetStartTime() - m_RangeStart;
}

double StreamEncoder::GetDuration() const
{
    CheckOpen();
    return m_RangeEnd - m_RangeStart;
}

int StreamEncoder::GetProgress() const
{
    double progress = GetPosition() / GetDuration() * 1000.0;
    // An empty range has no progress to tell; keep the value an int can hold.
    if (!std::isfinite(progress))
        return 0;
    return int(std::clamp(progress, double(INT_MIN), double(INT_MAX)));
}
