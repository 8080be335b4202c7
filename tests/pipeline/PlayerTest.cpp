#include <gtest/gtest.h>

#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <future>
#include <mutex>
#include <utility>
#include <vector>

#include "pipeline/Player.h"
#include "pipeline/SoundOutput.h"
#include "support/TestMedia.h"

using testsupport::MediaPath;

namespace {

// A clock the test moves by hand. The player waiting for a picture is seen
// by the test (WaitedFor), which then moves the clock on.
class FakeClock : public PlaybackClock {
public:
    void Begin(double time) override { Change([&] { m_Woken = false, m_Now = time; }); }
    void End() override {}
    double Now() override
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return m_Now;
    }
    void WaitUntil(double time) override
    {
        std::unique_lock<std::mutex> lock(m_Mutex);
        m_Waiting = time;
        m_Changed.notify_all();
        m_Changed.wait(lock, [&] { return m_Now >= time || m_Woken; });
        m_Waiting = NAN;
    }
    void Wake() override { Change([&] { m_Woken = true; }); }
    bool TakesSound() const override { return true; }
    void PutSound(const AVFrame& sound, double time) override
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_SoundStart = std::isnan(m_SoundStart) ? time : m_SoundStart;
        m_SoundEnd = time + double(sound.nb_samples) / sound.sample_rate;
    }

    void Set(double time) { Change([&] { m_Now = time; }); }
    // The time the player waits for, once it waits.
    double WaitedFor()
    {
        std::unique_lock<std::mutex> lock(m_Mutex);
        m_Changed.wait(lock, [&] { return !std::isnan(m_Waiting) && m_Now < m_Waiting; });
        return m_Waiting;
    }
    // The start and the end of the sound given so far.
    std::pair<double, double> Sound()
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return {m_SoundStart, m_SoundEnd};
    }

private:
    template <typename F> void Change(F change)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        change();
        m_Changed.notify_all();
    }
    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    double m_Now = 0.0, m_Waiting = NAN, m_SoundStart = NAN, m_SoundEnd = NAN;
    bool m_Woken = false;
};

// What the player showed: each picture's time with the clock's time and the
// end of the sound given by then.
struct Shown {
    double time, clock, soundEnd;
};

}  // namespace

// Pictures are shown when the clock reaches their times; those more than a
// frame late are dropped; the sound given leads the pictures from the
// first one on; playing stops before the end of the range, and at once when
// stopped.
TEST(Player, ShowsPicturesAtTheClocksTimeAndDropsLateOnes)
{
    std::vector<Shown> shown;  // by the player's thread, up to its end
    std::promise<void> ended;
    auto clock = std::make_unique<FakeClock>();
    FakeClock* fake = clock.get();
    Player* player = nullptr;
    Player::Listener listener;
    listener.pictureReady = [&] {
        double time = 0.0;
        wxImage picture = player->TakePicture(time);
        EXPECT_TRUE(picture.IsOk());
        EXPECT_EQ(picture.GetWidth(), 160);  // made to fit in the box below
        shown.push_back({time, fake->Now(), fake->Sound().second});
    };
    listener.ended = [&] { ended.set_value(); };
    Player playing(MediaPath("gop2s_44k.mp4"), listener, wxSize(160, 200), std::move(clock));
    player = &playing;

    playing.Play(2.0, 3.0);
    // Clock times, each with the picture then waited for: 2.0 is shown at
    // once; at 2.30 those from 2.08 to 2.24 are over a frame late.
    for (const auto& step : {std::pair(2.0, 2.04), std::pair(2.04, 2.08), std::pair(2.30, 2.32)}) {
        fake->Set(step.first);
        EXPECT_NEAR(fake->WaitedFor(), step.second, 1e-3) << "at " << step.first;
    }
    fake->Set(10.0);  // the one waiting and all of the rest are late
    ended.get_future().wait();
    playing.Stop();

    std::vector<double> times;
    for (const Shown& s : shown) {
        times.push_back(std::round(s.time * 100) / 100);
        EXPECT_NEAR(s.clock, s.time, 0.04) << "picture and clock within a frame";
        EXPECT_GE(s.soundEnd, s.time) << "the sound reached the picture";
    }
    EXPECT_EQ(times, (std::vector<double>{2.0, 2.04, 2.28}));
    EXPECT_EQ(playing.ShownPictures(), 3);
    EXPECT_NEAR(playing.LastPictureTime(), 2.96, 1e-3);
    EXPECT_EQ(playing.DroppedPictures(), 25 - 3);
    EXPECT_NEAR(fake->Sound().first, 2.0, 0.04);

    // Stopping while the player waits for its clock returns at once.
    playing.Play(1.0);
    EXPECT_NEAR(fake->WaitedFor(), 1.04, 1e-3);
    playing.Stop();
    EXPECT_FALSE(playing.IsPlaying());
}

// With the sound device as its clock (the dummy one here) the player plays
// and stops alike.
TEST(Player, TheSoundDeviceKeepsTheTimeAndPlaysAlong)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SoundOutput sound(44100, 2);
    sound.Begin(4.0);
    EXPECT_GE(sound.Now(), 4.0);
    Player withSound(MediaPath("gop2s_44k.mp4"), {}, wxSize());
    withSound.Play(15.5);
    withSound.Stop();
}
