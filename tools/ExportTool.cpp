// tellavox-export: one whole export without the main window.
//   tellavox-export --in FILE --out FILE [--codec N] [--size WxH] [--fps N]
//     [--vbitrate BPS] [--gop N] [--abitrate BPS] [--arate HZ] [--channels N]
//     [--no-audio] [--audio-track N] [--start S] [--end S] [--crop X,Y,W,H] [--dialog]
//     [--cancel-after S] [--keep-interlaced]
// Unset values default as the main window proposes them for the input, and
// every value is moved to the nearest the output takes, as there.
// --audio-track N exports the N-th sound track (from 1); without it, the one
// the file marks as default.
// --keep-interlaced writes interlaced sources with their fields as they are.
// Prints what the file holds as read back ("1500 pictures, 1:00.0, ...",
// then a line per failed comparison), then "read=N written=N seconds=S"
// (with --dialog "result=N seconds=S"), and exits 0, or 3 when a comparison
// failed; when the export fails it prints the message and exits 1.
// --cancel-after cancels the export S seconds after it started, as a click on
// Cancel does, and prints "cancel=MS" (milliseconds until the file was
// closed, and with --dialog the dialog ended). While it runs, the progress
// goes to stderr as "progress=N" (thousandths). It refuses an output that is
// the input, by any name, or that exists and is not a regular file. SIGTERM,
// SIGHUP and SIGINT abandon the export, leaving an earlier file of the
// output's name as it was, then end the program as the signal does.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/init.h>
#include <wx/timer.h>

#include "media/FormatRules.h"
#include "media/InputStream.h"
#include "pipeline/ExportJob.h"
#include "pipeline/ExportReport.h"
#include "ui/Exporter.h"
#include "ui/StopSignals.h"

namespace {

struct Options {
    std::map<std::string, std::string> values;
    bool noAudio = false;
    bool dialog = false;
    bool keepInterlaced = false;

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
        else if (arg == "--keep-interlaced")
            options.keepInterlaced = true;
        else if (arg.rfind("--", 0) == 0 && i + 1 < argc)
            options.values[arg.substr(2)] = argv[++i];
        else
            throw "Bad arguments.";
    }
    if (!options.Has("in") || !options.Has("out"))
        throw "Give --in FILE and --out FILE.";
    return options;
}

// The main window's proposal for the source (cropped), with the values
// given on the command line, then normalised as the window normalises it.
tCodecParams MakeRecord(const Options& o, const wxRect& crop)
{
    // The sound's rate and channels are those of the track exported.
    InputStream input(o.Get("in").c_str(), false, false, o.Int("audio-track", 0));
    tSourceDescription source = DescribeSource(input.GetInfo(), input.IsAudioPresent() && !o.noAudio);
    if (crop.width > 0 && crop.height > 0)
        source = CropSource(source, crop.width, crop.height);
    int codec = o.Int("codec", OC_MP4);
    if (!IsOutputCodec(codec))
        throw "Unknown output codec.";
    tCodecParams p = ProposeForSource(enumOutputCodec(codec), source);
    p.iAudioTrack = input.GetSoundTrack();
    p.bKeepInterlaced = o.keepInterlaced;
    if (o.Has("size"))
        std::sscanf(o.Get("size").c_str(), "%dx%d", &p.iWidth, &p.iHeight);
    if (o.Has("fps")) {
        p.iFps = o.Int("fps", p.iFps);
        p.iSourceFpsNum = p.iSourceFpsDen = 0;
    }
    p.iVideoBitrate = o.Int("vbitrate", p.iVideoBitrate);
    if (o.Has("vbitrate"))
        p.eVideoRate = VR_BITRATE;  // the proposal's constant quality would ignore the bit rate asked for
    p.iGopSize = o.Int("gop", p.iGopSize);
    p.iAudioBitrate = o.Int("abitrate", p.iAudioBitrate);
    p.iAudioSampleRate = o.Int("arate", p.iAudioSampleRate);
    p.iAudioChannels = o.Int("channels", p.iAudioChannels);  // 6: as the source, up to 5.1
    return NormaliseForFormat(p);
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

tExportOrder MakeOrder(const Options& o)
{
    tExportOrder order;
    order.input = o.Get("in");
    order.output = o.Get("out");
    order.crop = MakeCrop(o);
    order.params = MakeRecord(o, order.crop);
    order.start = o.Double("start", 0);
    order.end = o.Double("end", 0);
    return order;
}

// Waits for the job's end, printing its progress to stderr as
// "progress=N" (thousandths) when it changes; a stop signal abandons the
// export, --cancel-after cancels it.
void Follow(ExportJob& job, int endedFd, int cancelAfterMs)
{
    pollfd watched[2] = {{endedFd, POLLIN, 0}, {StopSignals::ReadableOnSignal(), POLLIN, 0}};
    auto start = std::chrono::steady_clock::now(), clicked = start;
    bool cancelAsked = false;
    int shown = -1;
    const int lookEvery = 100;  // ms
    while (poll(watched, 2, lookEvery) >= 0 || errno == EINTR) {
        if (watched[0].revents)
            break;
        if (watched[1].revents) {
            job.Abandon();
            watched[1].fd = -1;
        }
        if (cancelAfterMs >= 0 && !cancelAsked && Seconds(start) * 1000 >= cancelAfterMs) {
            clicked = std::chrono::steady_clock::now();
            job.Cancel();
            cancelAsked = true;
        }
        int progress = job.GetSnapshot().progress;
        if (progress != shown)
            std::fprintf(stderr, "progress=%d\n", shown = progress);
    }
    job.Wait();
    if (cancelAsked)
        std::printf("cancel=%.0f\n", Seconds(clicked) * 1000);
}

int ExportDirectly(const Options& o)
{
    auto start = std::chrono::steady_clock::now();
    int ended[2];
    if (pipe2(ended, O_CLOEXEC) != 0)
        throw "Can't start the export.";
    ExportJob job(MakeOrder(o), [&ended] {
        char byte = 1;
        ssize_t ignored = write(ended[1], &byte, 1);
        (void)ignored;
    });
    Follow(job, ended[0], o.Has("cancel-after") ? int(o.Double("cancel-after", 0) * 1000) : -1);
    if (StopSignals::Caught())
        StopSignals::EndProgram();
    ExportJob::Snapshot end = job.GetSnapshot();
    if (end.state == ExportJob::FAILED) {
        std::printf("%s\n", end.reason.c_str());
        return 1;
    }
    int exitCode = Report(end.check);
    std::printf("read=%llu written=%llu seconds=%.3f\n", (unsigned long long)end.readFrames,
                (unsigned long long)end.writtenFrames, Seconds(start));
    return exitCode;
}

int ExportUnderDialog(int argc, char** argv, const Options& o)
{
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv))
        throw "Can't start the GUI library.";
    auto start = std::chrono::steady_clock::now();
    int result, exitCode = 0;
    {
        Exporter exporter(nullptr, MakeOrder(o));
        wxTimer click;
        std::chrono::steady_clock::time_point clicked;
        click.Bind(wxEVT_TIMER, [&exporter, &clicked](wxTimerEvent&) {
            clicked = std::chrono::steady_clock::now();
            wxCommandEvent cancel(wxEVT_BUTTON, wxID_CANCEL);
            exporter.ProcessWindowEvent(cancel);
        });
        if (o.Has("cancel-after"))
            click.StartOnce(int(o.Double("cancel-after", 0) * 1000));
        result = exporter.Start();
        if (StopSignals::Caught())
            StopSignals::EndProgram();
        if (o.Has("cancel-after") && clicked.time_since_epoch().count() != 0)
            std::printf("cancel=%.0f\n", Seconds(clicked) * 1000);
        if (result != EXPORT_FAILED)
            exitCode = Report(exporter.GetCheck());
        else
            std::printf("%s\n", (const char*)exporter.GetReason().utf8_str());
    }
    std::printf("result=%d seconds=%.3f\n", result, Seconds(start));
    wxEntryCleanup();
    return exitCode;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        StopSignals::Catch();
        Options options = Parse(argc, argv);
        if (options.dialog)
            return ExportUnderDialog(argc, argv, options);
        wxInitializer base;
        return ExportDirectly(options);
    } catch (const char* message) {
        std::printf("%s\n", message);
        return 1;
    }
}
