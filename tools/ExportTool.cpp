// tellavox-export: one whole export without the main window.
//   tellavox-export --in FILE --out FILE [--codec N] [--size WxH] [--fps N]
//     [--vbitrate BPS] [--gop N] [--abitrate BPS] [--arate HZ] [--channels N]
//     [--no-audio] [--audio-track N] [--start S] [--end S] [--crop X,Y,W,H] [--dialog]
//     [--cancel-after S]
// Unset values default as the main window sets them after choosing the input.
// --audio-track N exports the N-th sound track (from 1); without it, the one
// the file marks as default.
// Prints what the file holds as read back ("1500 pictures, 1:00.0, ...",
// then a line per failed comparison), then "read=N written=N seconds=S"
// (with --dialog "result=N seconds=S"), and exits 0, or 3 when a comparison
// failed; when the export fails it prints the message and exits 1.
// --cancel-after cancels the export S seconds after it started, as a click on
// Cancel does, and prints "cancel=MS" (milliseconds until the file was
// closed, and with --dialog the dialog ended).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include <thread>

#include <wx/app.h>
#include <wx/init.h>
#include <wx/timer.h>

#include "media/InputStream.h"
#include "pipeline/ExportCheck.h"
#include "pipeline/ExportJob.h"
#include "pipeline/ExportReport.h"
#include "pipeline/StreamEncoder.h"
#include "ui/Exporter.h"

namespace {

struct Options {
    std::map<std::string, std::string> values;
    bool noAudio = false;
    bool dialog = false;

    bool Has(const char* name) const { return values.count(name) != 0; }
    const std::string& Get(const char* name) const { return values.at(name); }
    int Int(const char* name, int fallback) const { return Has(name) ? std::atoi(Get(name).c_str()) : fallback; }
    double Double(const char* name, double fallback) const
    {
        return Has(name) ? std::atof(Get(name).c_str()) : fallback;
    }
};

Options Parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--no-audio")
            options.noAudio = true;
        else if (arg == "--dialog")
            options.dialog = true;
        else if (arg.rfind("--", 0) == 0 && i + 1 < argc)
            options.values[arg.substr(2)] = argv[++i];
        else
            throw "Bad arguments.";
    }
    if (!options.Has("in") || !options.Has("out"))
        throw "Give --in FILE and --out FILE.";
    return options;
}

tCodecParams MakeRecord(const Options& o)
{
    // The sound's rate and channels are those of the track exported.
    InputStream input(o.Get("in").c_str(), false, false, o.Int("audio-track", 0));
    tInputStreamInfo info = input.GetInfo();
    tCodecParams p;
    p.iAudioTrack = input.GetSoundTrack();
    p.eCodec = enumOutputCodec(o.Int("codec", OC_MP4));
    p.iWidth = info.width;
    p.iHeight = info.height;
    if (o.Has("size"))
        std::sscanf(o.Get("size").c_str(), "%dx%d", &p.iWidth, &p.iHeight);
    // Without --fps the source's exact rate is kept, as the main window keeps it.
    p.iFps = o.Int("fps", int(std::lround(info.frameRate)));
    if (!o.Has("fps")) {
        p.iSourceFpsNum = info.frameRateNum;
        p.iSourceFpsDen = info.frameRateDen;
    }
    p.iVideoBitrate = o.Int("vbitrate", 5000000);
    p.iGopSize = o.Int("gop", 5);
    p.bAudioEnabled = input.IsAudioPresent() && !o.noAudio;
    p.iAudioBitrate = o.Int("abitrate", 128000);
    p.iAudioSampleRate = o.Int("arate", info.sampleRate);
    p.iAudioChannels = o.Int("channels", std::min(info.channels, 2));  // 6: as the source, up to 5.1
    return p;
}

wxRect MakeCrop(const Options& o)
{
    wxRect crop;
    if (o.Has("crop"))
        std::sscanf(o.Get("crop").c_str(), "%d,%d,%d,%d", &crop.x, &crop.y, &crop.width, &crop.height);
    return crop;
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Prints the read-back; the exit code when the export itself went well.
int Report(const tExportCheck& check)
{
    std::printf("%s\n", ExportReportText(check).c_str());
    const int comparisonFailed = 3;
    return check.Passed() ? 0 : comparisonFailed;
}

int ExportDirectly(const Options& o, const tCodecParams& params, const wxRect& crop)
{
    auto start = std::chrono::steady_clock::now();
    ExportJob job(std::make_unique<StreamEncoder>(o.Get("in").c_str(), o.Get("out").c_str(), params, crop,
                                                  o.Double("start", 0), o.Double("end", 0)));
    if (o.Has("cancel-after")) {
        std::this_thread::sleep_for(std::chrono::duration<double>(o.Double("cancel-after", 0)));
        auto click = std::chrono::steady_clock::now();
        job.Cancel();
        job.Wait();
        std::printf("cancel=%.0f\n", Seconds(click) * 1000);
    }
    job.Wait();
    if (job.GetState() == ExportJob::FAILED) {
        std::printf("%s\n", job.GetReason().c_str());
        return 1;
    }
    unsigned long long read = job.GetReadFrames(), written = job.GetWrittenFrames();
    bool cancelled = job.GetState() == ExportJob::CANCELED;
    ExportCheck check(ExportCheck::RequestFor(params, job.GetDuration(), cancelled));
    int exitCode = Report(check.Check(o.Get("out").c_str()));
    std::printf("read=%llu written=%llu seconds=%.3f\n", read, written, Seconds(start));
    return exitCode;
}

int ExportUnderDialog(int argc, char** argv, const Options& o, const tCodecParams& params, const wxRect& crop)
{
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv))
        throw "Can't start the GUI library.";
    auto start = std::chrono::steady_clock::now();
    int result, exitCode = 0;
    {
        Exporter exporter(nullptr, wxString::FromUTF8(o.Get("in")), wxString::FromUTF8(o.Get("out")),
                          params, crop, o.Double("start", 0), o.Double("end", 0));
        wxTimer click;
        click.Bind(wxEVT_TIMER, [&exporter](wxTimerEvent&) {
            auto clicked = std::chrono::steady_clock::now();
            wxCommandEvent cancel(wxEVT_BUTTON, wxID_CANCEL);
            exporter.ProcessWindowEvent(cancel);
            std::printf("cancel=%.0f\n", Seconds(clicked) * 1000);
        });
        if (o.Has("cancel-after"))
            click.StartOnce(int(o.Double("cancel-after", 0) * 1000));
        result = exporter.Start();
        if (result != EXPORT_FAILED)
            exitCode = Report(exporter.GetCheck());
    }
    std::printf("result=%d seconds=%.3f\n", result, Seconds(start));
    wxEntryCleanup();
    return exitCode;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        Options options = Parse(argc, argv);
        tCodecParams params = MakeRecord(options);
        wxRect crop = MakeCrop(options);
        if (options.dialog)
            return ExportUnderDialog(argc, argv, options, params, crop);
        wxInitializer base;
        return ExportDirectly(options, params, crop);
    } catch (const char* message) {
        std::printf("%s\n", message);
        return 1;
    }
}
