// An export on its worker, cancelled keeping what was written or abandoned
// leaving an earlier file as it was (whole runs: CopyTest, ExportQueueTest).
#include <chrono>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "pipeline/ExportJob.h"
#include "support/ExportRecord.h"
#include "support/MediaProbe.h"
#include "support/TestMedia.h"

using namespace testsupport;

namespace {

// The export's end after `stop` (Cancel or Abandon) once it has written 10
// pictures.
ExportJob::Snapshot Stopped(const std::string& in, const std::string& out, void (ExportJob::*stop)())
{
    ExportJob job({in, out, RecordFor(in), wxRect(), 0, 0});
    while (job.GetSnapshot().writtenFrames < 10 && job.GetSnapshot().state == ExportJob::RUNNING)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    (job.*stop)();
    job.Wait();
    return job.GetSnapshot();
}

}  // namespace

TEST(ExportJob, CancelKeepsWhatWasWrittenAbandonLeavesTheEarlierFileAsItWas)
{
    std::string in = MediaPath("av_h264_aac.mp4"), out = OutputPath("job_stopped.mp4");
    std::ofstream(out) << "earlier";
    auto earlier = FileIdentity(out);
    EXPECT_EQ(Stopped(in, out, &ExportJob::Abandon).state, ExportJob::ABANDONED);
    EXPECT_EQ(FileIdentity(out), earlier);

    ExportJob::Snapshot cancelled = Stopped(in, out, &ExportJob::Cancel);
    EXPECT_EQ(cancelled.state, ExportJob::CANCELED);
    EXPECT_GE(cancelled.writtenFrames, 10u);
    EXPECT_LT(cancelled.progress, 1000);
    // Cut at once: the pictures the encoder still held may be left out.
    EXPECT_EQ(DecodeErrors(out), "");
    EXPECT_LE(uint64_t(std::max(0, CountVideoFrames(out))), cancelled.writtenFrames);
    EXPECT_TRUE(cancelled.check.asked.bCancelled);
    EXPECT_EQ(cancelled.check.video.iPackets, CountVideoFrames(out));
}
