// Times of the preview as the main window makes it, on one clip:
//   exact   the picture at random times, one grab each
//   near    the picture within a group of pictures (1 s) of the last one
//   approx  the first, approximate picture after a jump: the filmstrip's
//           nearest picture, marked, as a bitmap (once the strip is made)
//   back    one frame step backward right after a grab (from the cache)
//   play    10 s played at 960x540: pictures shown per second and dropped
// Usage: preview FILE [GRABS] [play]   (needs a display, the pictures are
// bitmaps); with "play" only the playback is measured.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/init.h>

#include "controls/ImageViewCtrl.h"
#include "media/InputStream.h"
#include "pipeline/Filmstrip.h"
#include "pipeline/FrameGrabber.h"
#include "pipeline/Player.h"

namespace {

double Milliseconds(const std::function<void()>& work)
{
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void Report(const char* what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-7s %3zu: median %4.0f ms, 95th percentile %4.0f ms, slowest %4.0f ms\n", what, ms.size(),
                ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 95 / 100)], ms.back());
}

void Grabs(const char* file, int grabs, double duration, double frame)
{
    FrameGrabber grabber(wxString::FromUTF8(file));
    std::mt19937 random(1);
    std::uniform_real_distribution<double> anywhere(0.0, duration), near(-1.0, 1.0);
    std::vector<double> exact, nearby, back;
    for (int i = 0; i < grabs; ++i) {
        double time = anywhere(random);
        exact.push_back(Milliseconds([&] { grabber.GrabFrame(time); }));
        double close = std::clamp(time + near(random), 0.0, duration);
        nearby.push_back(Milliseconds([&] { grabber.GrabFrame(close); }));
        back.push_back(Milliseconds([&] { grabber.GrabFrame(std::max(0.0, close - frame)); }));
    }
    Report("exact", exact);
    Report("near", nearby);
    Report("back", back);
}

void Approximate(const char* file, int grabs, double duration)
{
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    Filmstrip::Listener listener;
    listener.finished = [&] {
        std::lock_guard<std::mutex> lock(mutex);
        finished = true;
        done.notify_all();
    };
    double making = Milliseconds([&] {
        Filmstrip strip(file, listener);
        {
            std::unique_lock<std::mutex> lock(mutex);
            done.wait(lock, [&] { return finished; });
        }
        std::mt19937 random(2);
        std::uniform_real_distribution<double> anywhere(0.0, duration);
        ImageViewCtrl::MarkApproximate(wxImage(8, 8));  // loads the font once, as the window has
        std::vector<double> ms;
        for (int i = 0; i < grabs; ++i) {
            ms.push_back(Milliseconds([&] {
                double at = 0.0;
                if (strip.Nearest(anywhere(random), at))
                    ImageViewCtrl::MarkApproximate(strip.Picture(at));
            }));
        }
        Report("approx", ms);
    });
    std::printf("filmstrip made in %.0f ms\n", making);
}

void Play(const char* file)
{
    Player* player = nullptr;
    Player::Listener listener;
    listener.pictureReady = [&] {
        double time = 0.0;
        player->TakePicture(time);
    };
    Player playing(file, listener, wxSize(960, 540));
    player = &playing;
    playing.Play(0.0, 10.0);
    while (playing.IsPlaying())
        wxMilliSleep(50);
    int shown = playing.ShownPictures(), dropped = playing.DroppedPictures();
    std::printf("play   : %.1f pictures/s shown, %d of %d dropped (%.1f %%)\n", shown / 10.0, dropped,
                shown + dropped, 100.0 * dropped / std::max(1, shown + dropped));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: preview FILE [GRABS] [play]\n");
        return 1;
    }
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv))
        return 1;
    int grabs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 60;
    bool playOnly = argc > 3 && std::strcmp(argv[3], "play") == 0;
    InputStream input(argv[1], true, false);
    double duration = input.GetDuration();
    double frame = 1.0 / std::max(1.0, input.GetInfo().frameRate);
    if (!playOnly) {
        Grabs(argv[1], grabs, duration, frame);
        Approximate(argv[1], grabs, duration);
    }
    Play(argv[1]);
    wxEntryCleanup();
    return 0;
}
