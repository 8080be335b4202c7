#pragma once
// One export: the range [startTime, endTime] of an input file (seconds from
// the start of the media) converted into an output file, one small step per
// Encode() call. Both output streams start at the range's start and last its
// length: pictures are cropped, scaled, dropped or repeated by their own
// times to fill the output's frame slots; sound is converted to the output's
// format and cut to the range's samples. The stream that is behind always
// goes next. Failures are thrown as constant messages (const char*).
//
// The output is written to a hidden file beside the output's name; Finish()
// moves it there. An export destroyed without Finish() leaves no trace, and
// an earlier file of the output's name stays as it was.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include <wx/gdicmn.h>

#include "media/CodecParams.h"
#include "media/InputStream.h"
#include "media/OutputStream.h"
#include "media/PictureFilter.h"
#include "media/SoundCopier.h"
#include "pipeline/FrameProcessingEngine.h"
#include "pipeline/PendingOutput.h"
#include "pipeline/PictureWriter.h"

class StreamEncoder {
public:
    // File names in UTF-8; `cropRect` in source pixels. An `endTime` of 0 or
    // less, or past the end, means the end of the media. A range shorter than
    // one output picture is refused before any file is touched. `pass` 1 or
    // 2 of two, with their statistics in the file `stats`; 0: a single pass.
    StreamEncoder(const char* inputName, const char* outputName, tCodecParams params,
                  const wxRect& cropRect, double startTime, double endTime, int pass = 0,
                  const std::string& stats = std::string());
    ~StreamEncoder();
    StreamEncoder(const StreamEncoder&) = delete;
    StreamEncoder& operator=(const StreamEncoder&) = delete;

    void Encode();
    bool IsEnded() const;
    // Finishes the file with what was written (all of the range once
    // IsEnded(), less after a cancel) and gives it the output's name.
    // Throws when any of it could not be written.
    void Finish();
    // Finishes the file at once after a cancel: pictures still on their way
    // to it are left out, so it ends a little before GetPosition().
    void FinishEarly();
    double GetPosition() const;  // seconds done within the range
    double GetDuration() const;  // length of the range
    int GetProgress() const;     // thousandths of the range, not clamped

    // Pictures taken from the input and given to the output so far.
    uint64_t GetReadFrames() const { return m_ReadFrames; }
    uint64_t GetWrittenFrames() const { return m_WrittenFrames; }

private:
    void OpenSound(const char* inputName, tCodecParams& params);
    void ClampRange(double endTime);
    void SetTargets();
    void SeekToStart();
    void CutAtTheEndOfTheMedia();
    void EndVideoInput();
    ffmpeg::FramePtr NextPicture();
    void EncodeVideo();
    void WriteHeldPicture(double until);
    void EncodeAudio();
    void WriteSound(const AVFrame* frame);
    void CopySound();
    bool IsVideoDone() const { return m_WrittenFrames >= m_VideoTarget; }
    bool IsAudioDone() const { return m_AudioWritten >= m_AudioTarget; }
    double VideoSeconds() const { return m_WrittenFrames / m_OutputFps; }
    double AudioSeconds() const { return double(m_AudioWritten) / m_AudioRate; }
    void CheckOpen() const;

    std::unique_ptr<SoundCopier> m_CopiedSound;  // null unless the sound is copied as it is
    std::unique_ptr<InputStream> m_Input;  // its pictures, and its sound when it is converted
    std::unique_ptr<PendingOutput> m_File;
    std::unique_ptr<OutputStream> m_Output;
    std::unique_ptr<PictureFilter> m_Filter;  // null when the pictures need none
    bool m_FilterFlushed = false;
    std::unique_ptr<FrameProcessingEngine> m_Engine;
    std::mutex m_OutputLock;  // the picture writer's thread and this one both write the output
    std::unique_ptr<PictureWriter> m_Writer;
    // The latest picture: written to its slots once the next one's time is known.
    ffmpeg::FramePtr m_Held;
    // When every picture gets a slot, the held one is made small at once, so
    // that no full-size picture stays out of the decoder's hands.
    bool m_ShrinkOnHold = false;
    double m_HeldTime = 0.0;  // seconds within the range
    bool m_VideoInputDone = false;
    uint64_t m_ReadFrames = 0;
    uint64_t m_WrittenFrames = 0;
    uint64_t m_VideoTarget = 0;
    double m_OutputFps = 0.0;
    int64_t m_AudioWritten = 0;  // samples per channel
    int64_t m_AudioTarget = 0;
    int64_t m_AudioLead = 0;     // silence before sound that begins after the range's start
    int m_AudioRate = 1;
    bool m_SoundInputDone = false;  // the input's sound and what its conversion held back are written
    bool m_ConvertsSound = false;   // the input's sound is decoded and converted
    double m_RangeStart = 0.0;
    double m_RangeEnd = 0.0;
};
