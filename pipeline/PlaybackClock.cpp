#include "pipeline/PlaybackClock.h"

#include <algorithm>
#include <chrono>

void PlaybackClock::WaitUntil(double time)
{
    // Short waits: the clock may be one that sound moves, which tells no
    // one when it moves.
    const double longestWait = 0.005;
    std::unique_lock<std::mutex> lock(m_Mutex);
    for (double left = time - Now(); left > 0.0 && !m_Wake; left = time - Now())
        m_Woken.wait_for(lock, std::chrono::duration<double>(std::min(left, longestWait)));
}

void PlaybackClock::Wake()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Wake = true;
    m_Woken.notify_all();
}

void PlaybackClock::ForgetWake()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Wake = false;
}
