#pragma once
// One export: the range [startTime, endTime] of an input file (seconds from
// the start of the media) converted into an output file, one small step per
// Encode() call. Pictures are cropped, scaled, dropped or repeated to match
// the output frame rate; sound is resampled when its format differs; the
// stream that is behind always goes next. Failures are thrown as constant
// messages (const char*). Destroying the object finishes the output file.
#include <cstdint>
#include <memory>

#include <wx/gdicmn.h>

#include "media/AudioResampler.h"
#include "media/CodecParams.h"
#include "media/InputStream.h"
#include "media/OutputStream.h"
#include "pipeline/FrameProcessingEngine.h"

class StreamEncoder {
public:
    // File names in UTF-8; `cropRect` in source pixels.
    StreamEncoder(const char* inputName, const char* outputName, tCodecParams params,
                  const wxRect& cropRect, double startTime, double endTime);
    ~StreamEncoder();
    StreamEncoder(const StreamEncoder&) = delete;
    StreamEncoder& operator=(const StreamEncoder&) = delete;

    void Encode();
    bool IsEnded() const;
    double GetPosition() const;  // seconds done within the range
    double GetDuration() const;  // length of the range
    int GetProgress() const;     // thousandths of the range, not clamped

    // Pictures taken from the input and written to the output so far.
    uint64_t GetReadFrames() const { return m_ReadFrames; }
    uint64_t GetWrittenFrames() const { return m_WrittenFrames; }
    // True when the sound is converted to another rate or channel count.
    bool IsResampling() const { return m_Resampler != nullptr; }

private:
    static constexpr int audioBlockSize = 8192;

    void OpenAudioInput(const char* inputName, tCodecParams& params);
    void ClampRange(double endTime);
    void SeekToStart();
    void EncodeVideo();
    void EncodeAudio();
    void CheckOpen() const;

    std::unique_ptr<InputStream> m_AudioInput;  // null when the export has no sound
    std::unique_ptr<InputStream> m_VideoInput;
    std::unique_ptr<OutputStream> m_Output;
    uint64_t m_ReadFrames = 0;
    uint64_t m_WrittenFrames = 0;
    double m_InputFps = 0.0;
    double m_OutputFps = 0.0;
    std::unique_ptr<FrameProcessingEngine> m_Engine;
    std::unique_ptr<AudioResampler> m_Resampler;  // null when the sound needs no change
    double m_RangeStart = 0.0;
    double m_RangeEnd = 0.0;
    char m_AudioBlock[audioBlockSize];
};
