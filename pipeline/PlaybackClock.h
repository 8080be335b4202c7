#pragma once
// The time a playing clip has reached, in seconds of the media. The player
// shows each picture when the clock reaches its time; a clock that takes
// the sound (SoundOutput) runs with what the sound device has played.
#include <condition_variable>
#include <mutex>

extern "C" {
#include <libavutil/frame.h>
}

class PlaybackClock {
public:
    virtual ~PlaybackClock() = default;

    // Playing starts (again) at `time`; any earlier Wake() is forgotten.
    virtual void Begin(double time) = 0;
    // Playing stops: sound not yet played is dropped.
    virtual void End() = 0;
    virtual double Now() = 0;
    // Returns once Now() has reached `time`, or at once after Wake().
    virtual void WaitUntil(double time);
    virtual void Wake();

    // Sound starting at `time`, played after the sound put before it.
    virtual bool TakesSound() const { return false; }
    virtual void PutSound(const AVFrame&, double) {}

protected:
    void ForgetWake();

private:
    std::mutex m_Mutex;
    std::condition_variable m_Woken;
    bool m_Wake = false;
};
