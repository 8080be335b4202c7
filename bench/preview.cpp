// Time to make the preview picture at a time of a clip, as the main window
// asks for it when the current-time arrow moves: random times, one grab each.
// Usage: preview FILE [GRABS]   (needs a display, the pictures are bitmaps)
// Prints the median, the 95th percentile and the slowest grab in ms.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include <wx/app.h>
#include <wx/init.h>

#include "media/InputStream.h"
#include "pipeline/FrameGrabber.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: preview FILE [GRABS]\n");
        return 1;
    }
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv))
        return 1;
    int grabs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 60;
    double duration = InputStream(argv[1], true, false).GetDuration();
    std::vector<double> ms;
    {
        FrameGrabber grabber(wxString::FromUTF8(argv[1]));
        std::mt19937 random(1);
        std::uniform_real_distribution<double> anywhere(0.0, duration);
        for (int i = 0; i < grabs; ++i) {
            double time = anywhere(random);
            auto start = std::chrono::steady_clock::now();
            wxBitmap picture = grabber.GrabFrame(time);
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            if (!picture.IsOk())
                std::printf("no picture at %.3f s\n", time);
        }
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%d grabs: median %.0f ms, 95th percentile %.0f ms, slowest %.0f ms\n", grabs,
                ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 95 / 100)], ms.back());
    wxEntryCleanup();
    return 0;
}
