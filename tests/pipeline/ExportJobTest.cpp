// The whole export on its worker, cancelled keeping what was written, or
// abandoned leaving an earlier file as it was. (Exports run to their end on
// it are judged in CopyTest and ExportQueueTest.)
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

// Waits until the worker has written `pictures` or ended.
void WaitForPictures(const ExportJob& job, uint64_t pictures)
{
    for (;;) {
        ExportJob::Snapshot now = job.GetSnapshot();
        if (now.writtenFrames >= pictures || now.state != ExportJob::RUNNING)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace

TEST(ExportJob, CancelKeepsWhatWasWrittenAbandonLeavesTheEarlierFileAsItWas)
{
    std::string in = MediaPath("av_h264_aac.mp4"), out = OutputPath("job_stopped.mp4");
    std::ofstream(out) << "earlier";
    auto earlier = FileIdentity(out);
    {
        ExportJob job({in, out, RecordFor(in), wxRect(), 0, 0});
        WaitForPictures(job, 10);
        job.Abandon();
        job.Wait();
        EXPECT_EQ(job.GetSnapshot().state, ExportJob::ABANDONED);
    }
    EXPECT_EQ(FileIdentity(out), earlier);

    ExportJob::Snapshot cancelled;
    {
        ExportJob job({in, out, RecordFor(in), wxRect(), 0, 0});
        WaitForPictures(job, 10);
        job.Cancel();
        job.Wait();
        cancelled = job.GetSnapshot();
    }
    EXPECT_EQ(cancelled.state, ExportJob::CANCELED);
    EXPECT_GE(cancelled.writtenFrames, 10u);
    EXPECT_LT(cancelled.progress, 1000);
    // Cut at once: the pictures the encoder still held may be left out.
    EXPECT_EQ(DecodeErrors(out), "");
    EXPECT_LE(uint64_t(std::max(0, CountVideoFrames(out))), cancelled.writtenFrames);
    EXPECT_TRUE(cancelled.check.asked.bCancelled);
    EXPECT_EQ(cancelled.check.video.iPackets, CountVideoFrames(out));
}
