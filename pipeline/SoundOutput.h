#pragma once
// Sound out through the desktop's sound device (SDL), and the clock that
// the sound played makes: pictures wait for the sound, never the other way
// round. Sound of any format is converted to 32-bit float at the device's
// rate, in at most two channels. While no sound is queued (before the first,
// after the last, or when decoding falls behind) the clock runs on by itself,
// and sound that comes too late for it is left out.
#include <chrono>
#include <cstdint>

#include <SDL.h>

#include "media/FFmpegPtr.h"
#include "pipeline/PlaybackClock.h"

class SoundOutput : public PlaybackClock {
public:
    // Throws "Can't open sound output." when no device opens.
    SoundOutput(int sampleRate, int channels);
    ~SoundOutput() override;
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    void Begin(double time) override;
    void End() override;
    double Now() override;
    bool TakesSound() const override { return true; }
    void PutSound(const AVFrame& sound, double time) override;

private:
    bool Prepare(const AVFrame& sound);
    double Played() const;
    double NowLocked();

    SDL_AudioDeviceID m_Device = 0;
    SDL_AudioSpec m_Spec{};
    ffmpeg::SwrPtr m_Swr;
    int m_InFormat = -1;
    int m_InRate = 0;
    std::mutex m_Mutex;
    double m_Start = 0.0;      // media time of the first sound queued
    int64_t m_Queued = 0;      // sample frames queued since Begin
    bool m_Idle = true;        // nothing was queued when last looked
    double m_IdleFrom = 0.0;   // clock time when the queue ran dry
    std::chrono::steady_clock::time_point m_IdleSince;
};
