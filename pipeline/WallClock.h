#pragma once
// The clock of a clip without sound (or when no sound device opens): the
// computer's own steady time.
#include <chrono>

#include "pipeline/PlaybackClock.h"

class WallClock : public PlaybackClock {
public:
    void Begin(double time) override;
    void End() override {}
    double Now() override;

private:
    std::mutex m_Mutex;
    double m_Start = 0.0;
    std::chrono::steady_clock::time_point m_Began = std::chrono::steady_clock::now();
};
