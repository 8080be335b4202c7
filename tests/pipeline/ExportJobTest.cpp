// The export on its worker thread: run to its end, or stopped by a cancel
// that keeps what was written, less what the encoder still held.
#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "pipeline/ExportJob.h"
#include "support/ExportRecord.h"
#include "support/MediaProbe.h"
#include "support/TestMedia.h"

using namespace testsupport;

TEST(ExportJob, RunsToTheEndOrStopsOnCancelKeepingWhatWasWritten)
{
    std::string in = MediaPath("av_h264_aac.mp4"), whole = OutputPath("job_whole.mp4"),
                cancelled = OutputPath("job_cancelled.mp4");
    {
        ExportJob job(std::make_unique<StreamEncoder>(in.c_str(), whole.c_str(), RecordFor(in), wxRect(), 0, 2));
        job.Wait();
        EXPECT_EQ(job.GetState(), ExportJob::FINISHED);
        EXPECT_EQ(job.GetProgress(), 1000);
        EXPECT_EQ(job.GetWrittenFrames(), 50u);
    }
    EXPECT_EQ(CountVideoFrames(whole), 50);

    uint64_t written = 0;
    {
        ExportJob job(std::make_unique<StreamEncoder>(in.c_str(), cancelled.c_str(), RecordFor(in), wxRect(), 0, 0));
        while (job.GetWrittenFrames() < 10 && !job.IsDone())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        job.Cancel();
        job.Wait();
        EXPECT_EQ(job.GetState(), ExportJob::CANCELED);
        written = job.GetWrittenFrames();
        EXPECT_LT(job.GetProgress(), 1000);
    }
    EXPECT_GE(written, 10u);
    EXPECT_LT(written, 322u);
    // Cut at once: the pictures the encoder still held may be left out.
    EXPECT_EQ(DecodeErrors(cancelled), "");
    EXPECT_LE(uint64_t(std::max(0, CountVideoFrames(cancelled))), written);
}
