// tellavox-export: one whole export without the main window. The options
// are in tools/ExportOptions.cpp (an argument it does not take prints them);
// unset values default as the main window proposes them for the input (or
// as the preset gives them), and every value is moved to the nearest the
// output takes, as there. Arguments it does not take, and choices the
// output does not offer, are refused with exit code 2.
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
//   tellavox-export --out-dir DIR [options] FILE...
// converts each file in turn with the same options (see BatchRun).
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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
#include "pipeline/Presets.h"
#include "tools/BatchRun.h"
#include "tools/ExportOptions.h"
#include "ui/Exporter.h"
#include "ui/StopSignals.h"

namespace {

// The user's presets; a damaged file is named on stderr and its whole
// presets still serve.
std::vector<tPreset> UserPresets()
{
    tPresetsRead read = ReadPresets(UserPresetsPath());
    if (!read.problem.empty())
        std::fprintf(stderr, "%s, %s\n", UserPresetsPath().c_str(), read.problem.c_str());
    return read.presets;
}

// The main window's proposal for the source (cropped), with the values
// given on the command line, then normalised as the window normalises it.
tCodecParams MakeRecord(const tExportOptions& o)
{
    // The sound's rate and channels are those of the track exported.
    InputStream input(o.input.c_str(), false, false, o.audioTrack);
    tSourceDescription source = DescribeSource(input.GetInfo(), input.IsAudioPresent() && !o.Has("no-audio"));
    if (o.crop[2] > 0 && o.crop[3] > 0)
        source = CropSource(source, o.crop[2], o.crop[3]);
    tCodecParams p = ExportRecord(o, source, UserPresets());
    p.iAudioTrack = input.GetSoundTrack();
    return p;
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

tExportOrder MakeOrder(const tExportOptions& o)
{
    tExportOrder order;
    order.input = o.input;
    order.output = o.output;
    order.crop = wxRect(o.crop[0], o.crop[1], o.crop[2], o.crop[3]);
    order.params = MakeRecord(o);
    order.start = o.start;
    order.end = o.end;
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

int ExportDirectly(const tExportOptions& o)
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
    Follow(job, ended[0], o.cancelAfter >= 0 ? int(o.cancelAfter * 1000) : -1);
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

int ExportUnderDialog(int argc, char** argv, const tExportOptions& o)
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
        if (o.cancelAfter >= 0)
            click.StartOnce(int(o.cancelAfter * 1000));
        result = exporter.Start();
        if (StopSignals::Caught())
            StopSignals::EndProgram();
        if (o.cancelAfter >= 0 && clicked.time_since_epoch().count() != 0)
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

int ListPresets()
{
    for (const std::vector<tPreset>& list : {BuiltInPresets(), UserPresets()}) {
        for (const tPreset& preset : list)
            std::printf("%s\n", preset.name.c_str());
    }
    return 0;
}

int ExportBatch(const tExportOptions& o)
{
    BatchRun batch(o.outDir, [&o](const std::string& input) {
        tExportOptions one = o;
        one.input = input;
        return MakeOrder(one);
    });
    return batch.Run(o.files, stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        StopSignals::Catch();
        tExportOptions options = ParseExportOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (options.listPresets)
            return ListPresets();
        if (options.dialog)
            return ExportUnderDialog(argc, argv, options);
        wxInitializer base;
        return options.outDir.empty() ? ExportDirectly(options) : ExportBatch(options);
    } catch (const tUsageError& error) {
        std::printf("%s\n%s", error.message.c_str(), error.showUsage ? exportUsage : "");
        const int refused = 2;
        return refused;
    } catch (const char* message) {
        std::printf("%s\n", message);
        return 1;
    } catch (const std::exception& failure) {
        std::printf("%s\n", failure.what());
        return 1;
    }
}
