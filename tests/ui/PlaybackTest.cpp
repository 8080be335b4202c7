// Playing and stepping through a clip from the main window's keys.
#include <gtest/gtest.h>

#include <wx/app.h>

#include "controls/RangeBarCtrl.h"
#include "controls/SelectCropCtrl.h"
#include "support/EventLoop.h"
#include "support/PictureCompare.h"
#include "support/TestMedia.h"
#include "ui/MainFrame.h"

using namespace testsupport;

namespace {

// Space plays and the arrow follows; Space again pauses with the exact
// picture at the arrow; J steps back a frame; Shift+Space plays the range
// from its start and stops at its end; the keys do nothing without a video.
TEST(Playback, KeysPlayPauseStepBackAndPlayTheRange)
{
    MainFrame* frame = new MainFrame;
    frame->Show();
    auto* bar = dynamic_cast<RangeBarCtrl*>(wxWindow::FindWindowByName("Timeline", frame));
    auto* preview = dynamic_cast<SelectCropCtrl*>(wxWindow::FindWindowByName("Preview", frame));
    auto key = [frame](int code, bool shift = false) {
        wxKeyEvent event(wxEVT_CHAR_HOOK);
        event.m_keyCode = code;
        event.m_shiftDown = shift;
        event.SetEventObject(frame);
        frame->ProcessWindowEvent(event);
    };
    const std::string file = MediaPath("gop2s_44k.mp4");
    auto shows = [&](double time) {
        wxImage shown = preview->GetImage().ConvertToImage();
        Picture now{shown.GetWidth(), shown.GetHeight(), {shown.GetData(), shown.GetData() + 320 * 240 * 3}};
        return shown.GetWidth() == 320 && MeanAbsDiff(now, DecodePicture(file, time)) < 3.0;
    };

    key(WXK_SPACE);
    EXPECT_FALSE(frame->IsPlaying());
    ASSERT_TRUE(frame->OpenInputFile(file));
    bar->SetSelection(2.0, 3.0);
    bar->SetCurrentTime(2.0);
    key(WXK_SPACE);
    EXPECT_TRUE(frame->IsPlaying());
    EXPECT_TRUE(HandleEventsUntil([&] { return bar->GetCurrentTime() > 2.1; }));
    key(WXK_SPACE);
    EXPECT_FALSE(frame->IsPlaying());
    double paused = bar->GetCurrentTime();
    EXPECT_TRUE(shows(paused)) << paused;
    key('J');
    EXPECT_NEAR(bar->GetCurrentTime(), paused - 0.04, 1e-6);
    EXPECT_TRUE(shows(paused - 0.04));

    key(WXK_SPACE, true);
    EXPECT_TRUE(HandleEventsUntil([&] { return !frame->IsPlaying(); }));
    wxTheApp->ProcessPendingEvents();
    EXPECT_NEAR(bar->GetCurrentTime(), 2.96, 1e-6) << "the last picture before the range's end";
    EXPECT_TRUE(shows(2.96));
    frame->Destroy();
    wxTheApp->ProcessIdle();
}

}  // namespace
