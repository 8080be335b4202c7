// The export progress dialog under a real display (xvfb-run): how an export
// ends, and the remaining-time text.
#include <string>

#include <gtest/gtest.h>
#include <wx/event.h>

#include "media/InputStream.h"
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

TEST(Exporter, AnInputWithoutVideoFailsWithoutShowingTheDialog)
{
    std::string out = OutputPath("exporter_no_video.mp4");
    Exporter dialog(nullptr, Wide(MediaPath("audio_only.m4a")), Wide(out), RecordFor(MediaPath("av_h264_aac.mp4")),
                    wxRect(), 0, 0);
    Watcher watch;
    watch.Attach(dialog);
    EXPECT_EQ(dialog.Start(), EXPORT_FAILED);
    EXPECT_FALSE(watch.shown);
    EXPECT_FALSE(dialog.IsShown());
    EXPECT_EQ(watch.ticks, 0);
}

TEST(Exporter, AnEmptyRangeFinishesAtOnce)
{
    std::string in = MediaPath("av_h264_aac.mp4"), out = OutputPath("exporter_empty.mp4");
    Exporter dialog(nullptr, Wide(in), Wide(out), RecordFor(in), wxRect(), 2.0, 2.0);
    Watcher watch;
    watch.Attach(dialog);
    EXPECT_EQ(dialog.Start(), EXPORT_FINISHED);
    EXPECT_TRUE(watch.shown);
    EXPECT_FALSE(dialog.IsModal());
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
    {
        Exporter dialog(nullptr, Wide(in), Wide(out), params, wxRect(), 0, 0);
        EXPECT_EQ(dialog.Start(), EXPORT_FINISHED);
    }
    EXPECT_EQ(DecodeErrors(out), "");
    EXPECT_EQ(uint64_t(CountVideoFrames(out)), expected);
}

// "Cancel" after the second tick. Ticks after it are kept from the dialog,
// so exactly two ticks of work are done however fast the machine is; a full
// export of this input takes far more than two ticks.
TEST(Exporter, CancelEndsTheExportAndLeavesAFileWithWhatWasWritten)
{
    std::string in = MediaPath("av_h264_aac.mp4"), out = OutputPath("exporter_cancelled.mp4");
    int ticks = 0;
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
    }
    EXPECT_GE(ticks, 2);
    EXPECT_EQ(DecodeErrors(out), "");
    int pictures = CountVideoFrames(out);
    EXPECT_GE(pictures, 1);
    EXPECT_LT(pictures, 300) << "the whole input would give about 300";
    EXPECT_NEAR(PacketSpan(out, "a:0"), PacketSpan(out, "v:0"), 0.1);
}

// Between two slices of work the dialog's loop is free to draw the dialog
// and handle the user: here, a Cancel queued during the second step comes
// through while the export is still running.
TEST(Exporter, TheDialogIsServedBetweenStepsOfTheExport)
{
    std::string in = MediaPath("av_h264_aac.mp4"), out = OutputPath("exporter_served.mp4");
    Exporter dialog(nullptr, Wide(in), Wide(out), RecordFor(in), wxRect(), 0, 0);
    int ticks = 0;
    dialog.Bind(wxEVT_TIMER, [&](wxTimerEvent& e) {
        e.Skip();
        if (++ticks == 2)
            dialog.CallAfter([&dialog] {
                wxCommandEvent cancel(wxEVT_BUTTON, wxID_CANCEL);
                cancel.SetEventObject(&dialog);
                dialog.GetEventHandler()->ProcessEvent(cancel);
            });
    });
    EXPECT_EQ(dialog.Start(), EXPORT_CANCELED);
}

TEST(Exporter, TheRemainingTimeIsEstimatedFromTheSpeedSoFar)
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
