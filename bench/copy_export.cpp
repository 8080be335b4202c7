// One export of a range as an ExportJob, its pictures and sound copied as
// they are or encoded as the main window proposes for the clip (H.264 and
// AAC into MP4 at the clip's size and rate): the seconds from its start to
// the end of its read-back, and what the read-back found.
// Usage: copy_export SOURCE OUTPUT copy|encode START END
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "media/FormatRules.h"
#include "media/InputStream.h"
#include "pipeline/ExportJob.h"
#include "pipeline/ExportReport.h"

int main(int argc, char** argv)
{
    if (argc != 6 || (std::strcmp(argv[3], "copy") != 0 && std::strcmp(argv[3], "encode") != 0)) {
        std::fprintf(stderr, "usage: copy_export SOURCE OUTPUT copy|encode START END\n");
        return 2;
    }
    tCodecParams params;
    try {
        InputStream input(argv[1], false, false);
        params = ProposeForSource(OC_MP4, DescribeSource(input.GetInfo(), input.IsAudioPresent()));
    } catch (const char* reason) {
        std::printf("%s\n", reason);
        return 1;
    }
    params.bCopyVideo = std::strcmp(argv[3], "copy") == 0;
    params.eSoundCodec = params.bCopyVideo ? SC_COPY : SC_OUTPUT;
    auto start = std::chrono::steady_clock::now();
    ExportJob job({argv[1], argv[2], params, wxRect(), std::atof(argv[4]), std::atof(argv[5])});
    job.Wait();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ExportJob::Snapshot done = job.GetSnapshot();
    if (done.state != ExportJob::FINISHED) {
        std::printf("%s failed: %s\n", argv[3], done.reason.c_str());
        return 1;
    }
    std::printf("%-6s %7.2f s  %s\n", argv[3], seconds, ExportReportText(done.check).c_str());
    return 0;
}
