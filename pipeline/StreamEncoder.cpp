#include "pipeline/StreamEncoder.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

#include "media/ContainerProfiles.h"
#include "media/FormatRules.h"
#include "media/OutputFormats.h"
#include "media/PictureColour.h"
#include "media/StreamCopy.h"

extern "C" {
#include <libavutil/pixfmt.h>
}

namespace {
// Picture times within this of a slot's time count as that slot's.
const double slotSlack = 0.001;

// Pixels shaped so that the output shows the part of the source it holds
// at the shape it is shown in, whatever size was chosen; square within a
// percent, where sizes are only rounded to a codec's step.
AVRational OutputPixelShape(const tInputStreamInfo& video, const wxRect& source, int width, int height)
{
    AVRational shape{1, 1};
    av_reduce(&shape.num, &shape.den, int64_t(source.width) * video.sampleAspectNum * height,
              int64_t(source.height) * video.sampleAspectDen * width, 65535);
    return shape.num < 1 || shape.den < 1 || std::fabs(av_q2d(shape) - 1.0) < 0.01 ? AVRational{1, 1} : shape;
}
}  // namespace

StreamEncoder::StreamEncoder(const char* inputName, const char* outputName, tCodecParams params,
                             const wxRect& cropRect, double startTime, double endTime, int pass,
                             const std::string& stats)
    : m_RangeStart(startTime), m_RangeEnd(endTime)
{
    bool convertsSound = params.bAudioEnabled && params.eSoundCodec != SC_COPY;
    m_Input = std::make_unique<InputStream>(inputName, !convertsSound, false, params.iAudioTrack);
    if (!m_Input->IsVideoPresent())
        throw "This file has no video.";
    ClampRange(endTime);
    double fps = av_q2d(OutputFrameRate(params));
    if (fps < 1.0 || GetDuration() * fps < 1.0 - slotSlack)
        throw "The range is shorter than one frame.";
    if (params.bAudioEnabled)
        OpenSound(inputName, params);
    tInputStreamInfo video = m_Input->GetInfo();
    // 8-bit pictures have nothing more to keep, and 8-bit encoders cannot keep it.
    params.bKeepHdr = params.bKeepHdr && PictureColour::IsDeep(video) && OutputFormat(params.eCodec).encoder.tenBit;
    if (params.eVideoRate == VR_TARGET_SIZE)
        params.iVideoBitrate = TargetVideoBitrate(params, GetDuration());
    m_Filter = PictureFilter::For(video, params.bKeepInterlaced, params.bKeepHdr);
    ConvertParams convert = {video.width, video.height, m_Filter ? m_Filter->OutputFormat() : video.pixFmt,
                             params.iWidth, params.iHeight, OutputStream::PixelFormat(params),
                             PictureColour::Shown(video, params.bKeepHdr), PictureColour::Written(video, params.bKeepHdr)};
    m_Engine = std::make_unique<FrameProcessingEngine>(convert, cropRect);
    AVRational shape = OutputPixelShape(video, m_Engine->GetSourceRect(), params.iWidth, params.iHeight);
    m_File = std::make_unique<PendingOutput>(outputName);
    if (m_CopiedSound)
        m_Output = std::make_unique<OutputStream>(m_File->GetPath().c_str(), params, m_CopiedSound->Parameters(),
                                                  convert.dstColour, shape, pass, stats);
    else
        m_Output = std::make_unique<OutputStream>(m_File->GetPath().c_str(), params, convert.dstColour, shape, pass,
                                                  stats);
    m_Writer = std::make_unique<PictureWriter>(*m_Output, m_OutputLock);
    SetTargets();
    SeekToStart();
}

StreamEncoder::~StreamEncoder()
{
    m_Writer.reset();
    if (m_Output)
        m_Output->Abandon();  // a finished file is closed already; an unfinished one is not drained
}

// An input without sound gives an export without sound; sound that is there
// but cannot be read fails the export with the reason.
void StreamEncoder::OpenSound(const char* inputName, tCodecParams& params)
{
    if (m_Input->GetSoundTracks().empty()) {
        params.bAudioEnabled = false;
        return;
    }
    if (params.eSoundCodec == SC_COPY) {
        m_CopiedSound = std::make_unique<SoundCopier>(inputName, params.iAudioTrack, m_RangeStart, m_RangeEnd);
        if (!CanCopySound(params.eCodec, m_CopiedSound->Parameters().codec_id))
            throw "This output's container can't hold the source's sound as it is.";
        return;
    }
    if (!m_Input->IsAudioPresent())
        throw "Can't decode the sound of this file.";
    m_ConvertsSound = true;
    // Surround is kept as the source has it: never more channels than it has.
    if (params.iAudioChannels > 2)
        params.iAudioChannels = std::min(params.iAudioChannels, m_Input->GetInfo().channels);
}

void StreamEncoder::ClampRange(double endTime)
{
    double duration = m_Input->GetDuration();
    if (endTime > duration || endTime <= 0)
        m_RangeEnd = duration;
    m_RangeStart = std::clamp(m_RangeStart, 0.0, m_RangeEnd);
}

// Every output picture slot of the range, and every sample of it.
void StreamEncoder::SetTargets()
{
    m_OutputFps = m_Output->GetFrameRate();
    m_ShrinkOnHold = m_OutputFps >= m_Input->GetInfo().frameRate - 0.01;
    m_VideoTarget = uint64_t(std::max(1.0, std::round(GetDuration() * m_OutputFps)));
    if (!m_ConvertsSound && !m_CopiedSound)
        return;
    m_AudioRate = m_CopiedSound ? m_CopiedSound->Parameters().sample_rate : m_Output->GetSampleRate();
    m_AudioTarget = std::llround(GetDuration() * m_AudioRate);
}

void StreamEncoder::SeekToStart()
{
    double time = m_RangeStart + m_Input->GetStartTime();
    if (!m_Input->SeekAccurate(time))
        throw "Can't seek to begin in audio or video stream.";
    if (!m_ConvertsSound)
        return;
    double soundStart = m_Input->GetNextAudioTime();
    if (std::isfinite(soundStart) && soundStart > time)
        m_AudioLead = std::min<int64_t>(m_AudioTarget, std::llround((soundStart - time) * m_AudioRate));
}

void StreamEncoder::CheckOpen() const
{
    if (!m_Input)
        throw "Input media not opened.";
    if (!m_Output)
        throw "Output codec not created.";
}

void StreamEncoder::Encode()
{
    CheckOpen();
    if (IsEnded())
        return;
    CutAtTheEndOfTheMedia();
    if (!IsAudioDone() && (IsVideoDone() || AudioSeconds() <= VideoSeconds()))
        EncodeAudio();
    else
        EncodeVideo();
}

// Media that end before the range does (a range up to a duration the file
// overstates) end the export with them: the pictures with the last one's
// end, the sound where the pictures end or its own sound, whichever is later.
void StreamEncoder::CutAtTheEndOfTheMedia()
{
    if (!m_VideoInputDone || !IsVideoDone() || !m_SoundInputDone)
        return;
    int64_t videoEnd = std::llround(VideoSeconds() * m_AudioRate);
    m_AudioTarget = std::min(m_AudioTarget, std::max(m_AudioWritten, videoEnd));
}

void StreamEncoder::EndVideoInput()
{
    m_VideoInputDone = true;
    if (!m_Held)
        return;
    double frame = 1.0 / m_Input->GetInfo().frameRate;
    double end = std::round((m_HeldTime + frame) * m_OutputFps);
    m_VideoTarget = std::min(m_VideoTarget, uint64_t(std::max({1.0, end, double(m_WrittenFrames)})));
}

void StreamEncoder::EncodeVideo()
{
    if (m_VideoInputDone) {
        WriteHeldPicture(std::numeric_limits<double>::infinity());
        return;
    }
    ffmpeg::FramePtr frame = NextPicture();
    if (!frame) {
        if (m_Input->IsVideoEnded() && (!m_Filter || m_FilterFlushed))
            EndVideoInput();
        return;
    }
    ++m_ReadFrames;
    double time = m_Input->GetPictureTime(*frame) - m_Input->GetStartTime() - m_RangeStart;
    if (m_Held && time >= GetDuration() - slotSlack) {
        m_VideoInputDone = true;  // past the range: the held picture fills the rest
        return;
    }
    if (m_Held)
        WriteHeldPicture(time);
    m_Held = m_ShrinkOnHold ? m_Engine->ProcessFrame(frame.get()) : std::move(frame);
    m_HeldTime = time;
}

// The next picture of the source as it is shown, or null when none is ready.
ffmpeg::FramePtr StreamEncoder::NextPicture()
{
    ffmpeg::FramePtr frame(m_Input->DecodeNextVideoFrame());
    if (!m_Filter)
        return frame;
    if (frame) {
        m_Filter->Send(*frame);
    } else if (m_Input->IsVideoEnded() && !m_FilterFlushed) {
        m_Filter->Flush();
        m_FilterFlushed = true;
    }
    return m_Filter->Receive();
}

// Gives the held picture every slot before `until` (seconds within the
// range); a picture that gets no slot is dropped without being converted.
void StreamEncoder::WriteHeldPicture(double until)
{
    if (!m_Held)
        throw "Can't decode any picture of the range.";
    uint64_t copies = 0;
    for (; !IsVideoDone() && VideoSeconds() < until - slotSlack; ++m_WrittenFrames)
        ++copies;
    if (copies == 0)
        return;
    // Made small before it is queued: the queue holds pictures of the output's size.
    ffmpeg::FramePtr picture =
        m_ShrinkOnHold ? ffmpeg::FramePtr(av_frame_clone(m_Held.get())) : m_Engine->ProcessFrame(m_Held.get());
    if (!picture)
        throw "Can't allocate picture.";
    m_Writer->Write(std::move(picture), copies);
}

void StreamEncoder::EncodeAudio()
{
    if (m_CopiedSound) {
        CopySound();
        return;
    }
    // Silence goes in pieces as long as a sound frame of the input, at most.
    const int64_t silencePiece = 4096;
    int64_t room = m_AudioTarget - m_AudioWritten;
    if (m_AudioLead > 0 || m_SoundInputDone) {
        int64_t samples = std::min({room, silencePiece, m_AudioLead > 0 ? m_AudioLead : room});
        std::lock_guard<std::mutex> lock(m_OutputLock);
        m_Output->WriteSilence(int(samples));
        m_AudioWritten += samples;
        m_AudioLead = std::max<int64_t>(0, m_AudioLead - samples);
        return;
    }
    ffmpeg::FramePtr frame = m_Input->DecodeNextAudioFrame();
    // After the input's last frame, what the conversion holds back; then
    // silence up to the range's end.
    m_SoundInputDone = !frame;
    WriteSound(frame.get());
}

// Output sound, cut at the range's last sample.
void StreamEncoder::WriteSound(const AVFrame* frame)
{
    std::lock_guard<std::mutex> lock(m_OutputLock);
    m_AudioWritten += m_Output->WriteSound(frame, m_AudioTarget - m_AudioWritten);
}

// The source's sound packets as they are; the sound ends with the source's
// last packet before the range's end.
void StreamEncoder::CopySound()
{
    std::lock_guard<std::mutex> lock(m_OutputLock);
    if (!m_CopiedSound->CopyNext(*m_Output)) {
        m_SoundInputDone = true;
        m_AudioTarget = m_AudioWritten;
        return;
    }
    m_AudioWritten = std::min<int64_t>(m_AudioTarget, std::llround(m_CopiedSound->Seconds() * m_AudioRate));
}

void StreamEncoder::Finish()
{
    CheckOpen();
    m_Writer->Flush();
    {
        std::lock_guard<std::mutex> lock(m_OutputLock);
        m_Output->Close();
    }
    m_File->Commit();
}

void StreamEncoder::FinishEarly()
{
    CheckOpen();
    m_Writer.reset();
    m_Output->CloseEarly();
    m_File->Commit();
}

bool StreamEncoder::IsEnded() const
{
    if (!m_Input)
        throw "Input media not opened.";
    return IsVideoDone() && IsAudioDone();
}

double StreamEncoder::GetPosition() const
{
    CheckOpen();
    return m_ConvertsSound || m_CopiedSound ? std::min(VideoSeconds(), AudioSeconds()) : VideoSeconds();
}

double StreamEncoder::GetDuration() const
{
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
