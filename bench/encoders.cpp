// Each video encoder at each of its speeds: an export of the whole clip at
// the output's default constant quality, as an ExportJob, with its wall
// seconds and size. One line per export: OUTPUT SPEED SECONDS KB FILE.
// Usage: encoders SOURCE OUTPUT_FOLDER
#include <chrono>
#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "media/FormatRules.h"
#include "media/InputStream.h"
#include "pipeline/ExportJob.h"

namespace {

const enumOutputCodec encoders[] = {OC_MKV_H264, OC_MKV_H265, OC_MKV_AV1, OC_MKV_VP9};

tCodecParams RecordFor(const char* source, enumOutputCodec codec, int speed)
{
    InputStream input(source, false, false);
    tCodecParams p = ProposeForSource(codec, DescribeSource(input.GetInfo(), false));
    p.iGopSize = maxGopSize;  // the longest distance between key frames the record takes
    p.iSpeed = speed;
    return NormaliseForFormat(p);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SOURCE OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    for (enumOutputCodec codec : encoders) {
        const tOutputFormat& format = OutputFormat(codec);
        for (int speed = 0; speed < int(format.encoder.speeds.size()); ++speed) {
            std::string out = std::string(argv[2]) + "/encoders_" + format.videoName + "_" +
                              format.encoder.speeds[speed] + "." + format.extension;
            auto start = std::chrono::steady_clock::now();
            ExportJob job({argv[1], out, RecordFor(argv[1], codec, speed), wxRect(), 0, 0});
            job.Wait();
            double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (job.GetSnapshot().state != ExportJob::FINISHED) {
                std::fprintf(stderr, "%s: %s\n", out.c_str(), job.GetSnapshot().reason.c_str());
                return 1;
            }
            struct stat file;
            double kB = stat(out.c_str(), &file) == 0 ? file.st_size / 1000.0 : 0;
            std::printf("%s %s %.1f %.0f %s\n", format.videoName, format.encoder.speeds[speed], seconds, kB,
                        out.c_str());
            std::fflush(stdout);
        }
    }
    return 0;
}
