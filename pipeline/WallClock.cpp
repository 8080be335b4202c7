#include "pipeline/WallClock.h"

void WallClock::Begin(double time)
{
    ForgetWake();
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Start = time;
    m_Began = std::chrono::steady_clock::now();
}

double WallClock::Now()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Start + std::chrono::duration<double>(std::chrono::steady_clock::now() - m_Began).count();
}
