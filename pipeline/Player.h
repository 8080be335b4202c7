#pragma once
// Plays a clip from a time: a worker thread decodes pictures and sound,
// gives the sound to the clock (which plays it) and holds each picture
// until the clock reaches its time. Pictures more than a frame late are
// dropped, not shown late. The worker never touches a window: it tells the
// listener that a picture is ready, and the window takes the latest one.
#include <atomic>
#include <cmath>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <wx/gdicmn.h>
#include <wx/image.h>

#include "media/AVFrameConverter.h"
#include "media/InputStream.h"
#include "pipeline/PlaybackClock.h"

class Player {
public:
    // Both are called on the worker thread. `pictureReady` when a picture
    // waits to be taken (not again until it is); `ended` when playing
    // reached its end by itself (not after Stop).
    struct Listener {
        std::function<void()> pictureReady;
        std::function<void()> ended;
    };

    // Throws as InputStream does when the file cannot be opened. Without a
    // clock the sound device is the clock (the computer's time for a clip
    // without sound or a computer without a sound device). Pictures are
    // made to fit in `fit`, never larger than they are shown. `soundTrack`
    // as InputStream takes it.
    Player(const std::string& fileName, Listener listener, wxSize fit, std::unique_ptr<PlaybackClock> clock = nullptr,
           int soundTrack = 0);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Plays from `from` up to (not including) `until`, seconds from the
    // start of the media; stops what played before.
    void Play(double from, double until = INFINITY);
    void Stop();
    bool IsPlaying() const { return m_Playing; }
    // Stops playing; the pictures played next fit in `fit`.
    void SetFit(wxSize fit);

    // The latest picture ready and its time; an invalid image when none.
    wxImage TakePicture(double& time);

    // The time of the last picture played (shown or dropped): where playing
    // that ended by itself ended.
    double LastPictureTime() const { return m_LastTime; }
    int ShownPictures() const { return m_Shown; }
    int DroppedPictures() const { return m_Dropped; }

private:
    void Run(double from, double until);
    ffmpeg::FramePtr NextPicture();
    void FeedSound(double upTo);
    void Show(const AVFrame& frame, double time);
    bool IsLate(double time);
    unsigned char* ToPixels(const AVFrame& frame, wxSize& size);

    InputStream m_Input;
    Listener m_Listener;
    wxSize m_Fit;
    std::unique_ptr<PlaybackClock> m_Clock;
    std::unique_ptr<AVFrameConverter> m_Converter;
    double m_FrameDuration;
    std::thread m_Worker;
    std::atomic<bool> m_Stop{false};
    std::atomic<bool> m_Playing{false};
    std::atomic<int> m_Shown{0};
    std::atomic<int> m_Dropped{0};
    std::atomic<double> m_LastTime{0.0};
    std::mutex m_PictureMutex;
    wxImage m_Picture;
    double m_PictureTime = 0.0;
};
