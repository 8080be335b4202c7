// The export progress dialog under a real display (xvfb-run): a cancelled
// export, what the dialog shows meanwhile, and the remaining-time text. The
// main window's tests run exports to their end and to failures through it.
#include <regex>
#include <string>

#include <gtest/gtest.h>
#include <wx/event.h>
#include <wx/gauge.h>
#include <wx/stattext.h>

#include "pipeline/ExportReport.h"
#include "support/ExportRecord.h"
#include "support/MediaProbe.h"
#include "support/TestMedia.h"
#include "ui/Exporter.h"

using namespace testsupport;

namespace {

wxString Label(const Exporter& dialog, const char* name)
{
    auto* text = dynamic_cast<wxStaticText*>(wxWindow::FindWindowByName(name, const_cast<Exporter*>(&dialog)));
    return text ? text->GetLabel() : wxString("(missing)");
}

}  // namespace

// "Cancel" at the first tick that shows progress only asks: the dialog
// stays until the worker has finished the file, and then ends. Meanwhile it
// names the file and shows the percentage and the time taken.
TEST(Exporter, CancelAsksTheWorkerToStopAndTheFileKeepsWhatWasWritten)
{
    std::string in = MediaPath("av_h264_aac.mp4"), out = OutputPath("exporter_cancelled.mp4");
    bool cancelled = false, modalAfterCancel = false;
    tExportCheck check;
    {
        Exporter dialog(nullptr, {in, out, RecordFor(in), wxRect(), 0, 0});
        dialog.Bind(wxEVT_TIMER, [&](wxTimerEvent& e) {
            e.Skip();
            auto* gauge = dynamic_cast<wxGauge*>(wxWindow::FindWindowByName("ExportGauge", &dialog));
            if (cancelled || !gauge || gauge->GetValue() == 0)
                return;
            cancelled = true;
            dialog.CallAfter([&] {
                EXPECT_EQ(Label(dialog, "ExportFile"), L"Writing \u201cexporter_cancelled.mp4\u201d");
                EXPECT_TRUE(std::regex_match(Label(dialog, "ExportPercent").ToStdString(), std::regex(R"(\d+ %)")));
                EXPECT_TRUE(Label(dialog, "ExportElapsed").StartsWith("Elapsed: "));
                wxCommandEvent cancel(wxEVT_BUTTON, wxID_CANCEL);
                cancel.SetEventObject(&dialog);
                dialog.GetEventHandler()->ProcessEvent(cancel);
                modalAfterCancel = dialog.IsModal();
            });
        });
        EXPECT_EQ(dialog.Start(), EXPORT_CANCELED);
        EXPECT_FALSE(dialog.IsModal());
        check = dialog.GetCheck();
    }
    EXPECT_TRUE(modalAfterCancel) << "Cancel waited for the worker on the window's thread";
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

TEST(Exporter, TheRemainingTimeIsEstimatedFromTheSpeedSoFarAndShownWithItsLabel)
{
    // 10 s for 2.5 s of a 10 s range: 40 s in all, 30 s left.
    EXPECT_EQ(Exporter::EstimateRemaining(10000, 2.5, 10.0), 30000);
    EXPECT_EQ(Exporter::EstimateRemaining(10000, 12.0, 10.0), 0) << "past the end nothing is left";
    EXPECT_EQ(Exporter::EstimateRemaining(10000, 0.0, 10.0), 0) << "no position yet: nothing to tell";
    EXPECT_EQ(Exporter::EstimateRemaining(0, 0.0, 0.0), 0);
    EXPECT_EQ(Exporter::RemainedTimeText(4900), "Time left: 4.9s");
    EXPECT_EQ(Exporter::RemainedTimeText(65000), "Time left: 1m 05s");
}
