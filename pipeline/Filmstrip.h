#pragma once
// Small pictures spread along a whole clip, made from its key frames by a
// worker thread after the file opens, coarse to fine (every eighth place
// first), so that the strip fills at once and the window never waits.
// The pictures serve the timeline and stand in for the preview while the
// mouse drags, until the exact picture is decoded.
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <wx/gdicmn.h>
#include <wx/image.h>

class Filmstrip {
public:
    // Called on the worker thread.
    struct Listener {
        std::function<void()> beforePicture;  // before each picture is looked for
        std::function<void()> pictureAdded;
        std::function<void()> finished;
    };

    // At most `places` pictures, each fitting in `size` (shape kept).
    Filmstrip(const std::string& fileName, Listener listener, int places = 100, wxSize size = wxSize(240, 135));
    ~Filmstrip();
    Filmstrip(const Filmstrip&) = delete;
    Filmstrip& operator=(const Filmstrip&) = delete;

    size_t Count() const;
    // The time of the picture nearest to `time`; false while there is none.
    bool Nearest(double time, double& at) const;
    // A copy of the picture made at `at` (one of the times Nearest gives).
    wxImage Picture(double at) const;

private:
    struct Pixels {
        wxSize size;
        std::vector<unsigned char> rgb;
    };

    void Run();
    std::vector<double> Places(double duration) const;

    std::string m_FileName;
    Listener m_Listener;
    int m_Places;
    wxSize m_Size;
    mutable std::mutex m_Mutex;
    std::map<double, Pixels> m_Pictures;
    std::atomic<bool> m_Stop{false};
    std::thread m_Worker;
};
