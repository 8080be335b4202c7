// The read-back of an export against the export itself: an export of
// bench/export.sh as an ExportJob, then ExportCheck on the written file
// beside its source, the best of RUNS read-backs. The 720p clip is cropped
// to 960x540 at (160, 90) and written 640x360 at 25 fps; the 4K clip is
// written 1280x720 at 30 fps; both H.264 at 5 Mbit/s, GOP 5, AAC 128 kbit/s.
// Usage: read_back SOURCE OUTPUT [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <ctime>
#include <memory>

#include "media/FormatRules.h"
#include "pipeline/ExportCheck.h"
#include "pipeline/ExportJob.h"
#include "pipeline/ExportReport.h"

namespace {

struct Stopwatch {
    std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
    std::clock_t processor = std::clock();

    double Wall() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count(); }
    double Processor() const { return double(std::clock() - processor) / CLOCKS_PER_SEC; }
};

tCodecParams BenchmarkRecord(bool uhd)
{
    tCodecParams p;
    p.eCodec = OC_MP4;
    p.iWidth = uhd ? 1280 : 640;
    p.iHeight = uhd ? 720 : 360;
    p.iFps = uhd ? 30 : 25;
    p.iVideoBitrate = 5000000;
    p.iGopSize = 5;
    p.bAudioEnabled = true;
    p.iAudioBitrate = 128000;
    p.iAudioSampleRate = uhd ? 48000 : 44100;
    p.iAudioChannels = 2;
    return NormaliseForFormat(p);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SOURCE OUTPUT [RUNS]\n", argv[0]);
        return 2;
    }
    int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    bool uhd = std::strstr(argv[1], "uhd") != nullptr;
    tCodecParams params = BenchmarkRecord(uhd);
    wxRect crop = uhd ? wxRect() : wxRect(160, 90, 960, 540);
    try {
        Stopwatch exporting;
        ExportJob job({argv[1], argv[2], params, crop, 0, 0});
        job.Wait();
        if (job.GetSnapshot().state != ExportJob::FINISHED)
            throw "The export failed.";
        double range = job.GetSnapshot().duration;
        double exportWall = exporting.Wall(), exportProcessor = exporting.Processor();

        tExportRequest request = ExportCheck::RequestFor(params, range, false);
        request.source = {argv[1], 0.0, crop.x, crop.y, crop.width, crop.height};
        ExportCheck check(request);
        tExportCheck result;
        double wall = 1e9, processor = 1e9;
        for (int i = 0; i < runs; ++i) {
            Stopwatch reading;
            result = check.Check(argv[2]);
            wall = std::min(wall, reading.Wall());
            processor = std::min(processor, reading.Processor());
        }
        std::printf("%s\n", ExportReportText(result).c_str());
        // The job reads its file back once before it ends; that is taken off.
        exportWall -= wall, exportProcessor -= processor;
        std::printf("export:    %7.3f s wall, %7.3f s processor\n", exportWall, exportProcessor);
        std::printf("read-back: %7.3f s wall, %7.3f s processor (best of %d)\n", wall, processor, runs);
        std::printf("read-back / export: %.2f %% wall, %.2f %% processor (target < 5 %%)\n",
                    100 * wall / exportWall, 100 * processor / exportProcessor);
    } catch (const char* message) {
        std::fprintf(stderr, "%s\n", message);
        return 1;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    return 0;
}
