// The export progress dialog under a real display (xvfb-run): how an export
// ends, and the remaining-time text.
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <wx/event.h>
#include <wx/gauge.h>
#include <wx/stopwatch.h>

#include "media/InputStream.h"
#include "pipeline/ExportReport.h"
#include "pipeline/StreamEncoder.h"
#include "support/ExportRecord.h"
#include "support/MediaProbe.h"
#include "support/TestMedia.h"
#include "ui/Exporter.h"

using namespace testsupport;

namespace {

wxString Wide(const std::string& path)
{
    return wxString::FromUTF8(path);
}

// Counts the timer ticks that reach the dialog and whether it was shown.
struct Watcher {
    int ticks = 0;
    bool shown = false;

    void Attach(Exporter& dialog)
    {
        dialog.Bind(wxEVT_TIMER, [this](wxTimerEvent& e) { ++ticks; e.Skip(); });
        dialog.Bind(wxEVT_SHOW, [this](wxShowEvent& e) { shown = shown || e.IsShown(); e.Skip(); });
    }
};

}  // namespace

// Exports that cannot start fail with their reason, without showing the dialog.
TEST(Exporter, AnExportThatCannotStartFailsWithItsReason)
{
    std::string video = MediaPath("av_h264_aac.mp4");
    const struct { std::string in; double start, end; const char* reason; } cases[] = {
        {MediaPath("audio_only.m4a"), 0, 0, "This file has no video."},
        {video, 2.0, 2.0, "The range is shorter than one frame."},
    };
    for (const auto& c : cases) {
        std::string out = OutputPath("exporter_refused.mp4");
        Exporter dialog(nullptr, Wide(c.in), Wide(out), RecordFor(video), wxRect(), c.start, c.end);
        Watcher watch;
        watch.Attach(dialog);
        EXPECT_EQ(dialog.Start(), EXPORT_FAILED);
        EXPECT_EQ(dialog.GetReason(), c.reason);
        EXPECT_FALSE(watch.shown);
        EXPECT_EQ(watch.ticks, 0);
    }
}

TEST(Exporter, AnExportRunToItsEndHoldsEveryPicture)
{
    std::string in = MediaPath("fps10.mp4"), out = OutputPath("exporter_whole.mp4");
    tCodecParams params = RecordFor(in);
    params.iFps = 25;
    uint64_t expected = 0;
    {
        StreamEncoder direct(in.c_str(), OutputPath("exporter_whole_direct.mp4").c_str(), params, wxRect(), 0, 0);
        while (!direct.IsEnded())
            direct.Encode();
        expected = direct.GetWrittenFrames();
    }
    tExportCheck dialogCheck;
    {
        Exporter dialog(nullptr, Wide(in), Wide(out), params, wxRect(), 0, 0);
        EXPECT_EQ(dialog.Start(), EXPORT_FINISHED);
        dialogCheck = dialog.GetCheck();
    }
    EXPECT_EQ(DecodeErrors(out), "");
    EXPECT_EQ(uint64_t(CountVideoFrames(out)), expected);
    EXPECT_TRUE(dialogCheck.bOpened);
    EXPECT_FALSE(dialogCheck.asked.bCancelled);
    EXPECT_EQ(uint64_t(dialogCheck.video.iPackets), expected) << "the file was read back after it was finished";
}

// "Cancel" after the second tick. Ticks after it are kept from the dialog,
// so exactly two ticks of work are done however fast the machine is; a full
// export of this input takes far more than two ticks.
TEST(Exporter, CancelEndsTheExportAndLeavesAFileWithWhatWasWritten)
{
    std::string in = MediaPath("av_h264_aac.mp4"), out = OutputPath("exporter_cancelled.mp4");
    int ticks = 0;
    tExportCheck check;
    {
        Exporter dialog(nullptr, Wide(in), Wide(out), RecordFor(in), wxRect(), 0, 0);
        dialog.Bind(wxEVT_TIMER, [&](wxTimerEvent& e) {
            if (++ticks > 2)
                return;
            e.Skip();
            if (ticks == 2)
                dialog.CallAfter([&dialog] {
                    wxCommandEvent cancel(wxEVT_BUTTON, wxID_CANCEL);
                    cancel.SetEventObject(&dialog);
                    dialog.GetEventHandler()->ProcessEvent(cancel);
                });
        });
        EXPECT_EQ(dialog.Start(), EXPORT_CANCELED);
        EXPECT_FALSE(dialog.IsModal());
        check = dialog.GetCheck();
    }
    EXPECT_GE(ticks, 2);
    EXPECT_EQ(DecodeErrors(out), "");
    int pictures = CountVideoFrames(out);
    EXPECT_GE(pictures, 1);
    EXPECT_LT(pictures, 300) << "the whole input would give about 300";
    EXPECT_NEAR(PacketSpan(out, "a:0"), PacketSpan(out, "v:0"), 0.1);
    // The part written is read back and judged by itself, not by the range.
    EXPECT_TRUE(check.asked.bCancelled);
    EXPECT_EQ(check.video.iPackets, pictures);
    for (const tExportFault& fault : check.faults)
        EXPECT_TRUE(fault.eKind == EF_AUDIO_END) << ExportReportText(check);
}

TEST(Exporter, TheRemainingTimeIsEstimatedFromTheSpeedSoFarAndFollowsItsLabel)
{
    // 10 s for 2.5 s of a 10 s range: 40 s in all, 30 s left.
    EXPECT_EQ(Exporter::EstimateRemaining(10000, 2.5, 10.0), 30000);
    EXPECT_EQ(Exporter::EstimateRemaining(10000, 10.0, 10.0), 0);
    EXPECT_EQ(Exporter::EstimateRemaining(10000, 12.0, 10.0), 0) << "past the end nothing is left";
    EXPECT_EQ(Exporter::EstimateRemaining(10000, 0.0, 10.0), 0) << "no position yet: nothing to tell";
    EXPECT_EQ(Exporter::EstimateRemaining(10000, -0.1, 10.0), 0);
    EXPECT_EQ(Exporter::EstimateRemaining(0, 0.0, 0.0), 0);
}

TEST(Exporter, TheRemainingTimeTextShowsTenthsBelowAMinute)
{
    EXPECT_EQ(Exporter::RemainedTimeText(4900), "Time left: 4.9s");
    EXPECT_EQ(Exporter::RemainedTimeText(65000), "Time left: 1m 05s");
}

// Seen from outside the program, as a person sees it: two screenshots of the
// screen, taken by another process while an export runs, show the gauge in
// two places; Cancel then ends the dialog at once.
TEST(Exporter, TheGaugeMovesOnScreenWhileTheExportRunsAndCancelEndsItAtOnce)
{
    std::string in = MediaPath("gop2s_44k.mp4"), out = OutputPath("exporter_watched.mp4");
    tCodecParams params = RecordFor(in);
    params.eCodec = OC_MP4_PART2;  // its encoder holds back no pictures to drain at the end
    params.iWidth = 1920;           // slow enough to watch for a while
    params.iHeight = 1080;
    Exporter dialog(nullptr, Wide(in), Wide(out), params, wxRect(), 0, 0);
    std::vector<std::string> shots;
    std::atomic<bool> shotsTaken{false};
    std::thread shooter;
    dialog.Bind(wxEVT_SHOW, [&](wxShowEvent& e) {
        e.Skip();
        if (!e.IsShown() || shooter.joinable())
            return;
        wxGauge* gauge = nullptr;
        for (wxWindow* child : dialog.GetChildren())
            gauge = gauge ? gauge : dynamic_cast<wxGauge*>(child);
        wxRect r = gauge->GetScreenRect();
        std::string crop = wxString::Format("%dx%d+%d+%d", r.width, r.height, r.x, r.y).ToStdString();
        shooter = std::thread([&shots, &shotsTaken, crop] {
            for (int i = 0; i < 2; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(700));
                shots.push_back(RunCommand("import -window root -crop " + crop + " -depth 8 rgb:-").output);
            }
            shotsTaken = true;
        });
    });
    wxStopWatch sinceCancel;
    wxTimer poll;
    poll.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (!shotsTaken || !dialog.IsModal())
            return;
        poll.Stop();
        sinceCancel.Start();
        wxCommandEvent cancel(wxEVT_BUTTON, wxID_CANCEL);
        cancel.SetEventObject(&dialog);
        dialog.GetEventHandler()->ProcessEvent(cancel);
    });
    poll.Start(20);
    EXPECT_EQ(dialog.Start(), EXPORT_CANCELED) << "the export ended before it could be watched";
    long cancelMs = sinceCancel.Time();
    if (shooter.joinable())
        shooter.join();
    ASSERT_EQ(shots.size(), 2u);
    EXPECT_FALSE(shots[0].empty());
    EXPECT_EQ(shots[0].size(), shots[1].size());
    EXPECT_NE(shots[0], shots[1]) << "the gauge looked the same 0.7 s apart";
    std::printf("Cancel ended the dialog in %ld ms\n", cancelMs);
    EXPECT_LT(cancelMs, 1000) << "Cancel should end the dialog within 200 ms";
}
