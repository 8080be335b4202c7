// The export queue driven through the main window's controls, and found
// again by the next main window.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dnd.h>
#include <wx/listctrl.h>

#include "support/MediaProbe.h"
#include "support/ModalAnswers.h"
#include "support/TestMedia.h"
#include "ui/MainFrame.h"
#include "ui/QueuePanel.h"

using namespace testsupport;

namespace {

template <typename T>
T* Find(wxWindow* frame, const char* name)
{
    return dynamic_cast<T*>(wxWindow::FindWindowByName(name, frame));
}

void Click(wxWindow* frame, const char* name)
{
    auto* button = Find<wxButton>(frame, name);
    ASSERT_NE(button, nullptr) << name;
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->ProcessWindowEvent(click);
}

// Each row as "input > output: state" and its details.
std::vector<std::string> Rows(wxWindow* frame, std::vector<std::string>* details = nullptr)
{
    auto* list = Find<wxListCtrl>(frame, "QueueList");
    std::vector<std::string> rows;
    for (int row = 0; list && row < list->GetItemCount(); ++row) {
        rows.push_back((list->GetItemText(row, 0) + " > " + list->GetItemText(row, 1) + ": " +
                        list->GetItemText(row, 2)).utf8_string());
        if (details)
            details->push_back(list->GetItemText(row, 3).utf8_string());
    }
    return rows;
}

}  // namespace

// The open clip is queued twice (the second takes the next free name, the
// first is asked about a file already there); two files are dropped on
// the queue, one of them damaged. All run in turn: the damaged one fails
// with its reason and the others are written and checked. The next main
// window shows the queue as it ended.
TEST(Queue, RunsWhatTheWindowAddsInTurnAndTheNextWindowFindsItAsItEnded)
{
    std::string folder = OutputPath("queued");
    RunCommand("mkdir -p " + Quote(folder) + " && touch " + Quote(folder + "/clip.mp4"));
    ModalAnswers answers;
    auto* frame = new MainFrame;
    frame->Show();
    ASSERT_TRUE(frame->OpenInputFile(MediaPath("fps10.mp4")));
    frame->SetOutputFile(folder + "/clip.mp4");
    answers.Queue(wxID_NO);  // the next free name, not the file there
    Click(frame, "AddToQueue");
    Click(frame, "AddToQueue");
    auto* panel = Find<QueuePanel>(frame, "QueuePanel");
    ASSERT_NE(panel, nullptr);
    auto* target = dynamic_cast<wxFileDropTarget*>(panel->GetParent()->GetDropTarget());
    ASSERT_NE(target, nullptr);
    wxArrayString dropped;
    dropped.Add(MediaPath("truncated.mp4"));
    dropped.Add(MediaPath("video_only.mp4"));
    EXPECT_TRUE(target->OnDropFiles(5, 5, dropped));
    EXPECT_TRUE(panel->GetParent()->IsShown());
    ASSERT_EQ(answers.Dialogs().size(), 1u);
    EXPECT_EQ(answers.Dialogs()[0].title, "Replace file?");

    Click(panel->GetParent(), "QueueGo");
    ExportQueue& queue = panel->GetQueue();
    while (queue.IsGoing() || queue.IsBusy()) {
        queue.WaitForCurrent();
        panel->Update();
    }
    std::vector<std::string> details;
    const std::vector<std::string> ended = {
        "fps10.mp4 > clip (1).mp4: checked", "fps10.mp4 > clip (2).mp4: checked",
        "truncated.mp4 > truncated.mp4: failed", "video_only.mp4 > video_only.mp4: checked"};
    EXPECT_EQ(Rows(frame, &details), ended);
    ASSERT_EQ(details.size(), 4u);
    EXPECT_NE(details[2], "") << "the reason";
    EXPECT_NE(details[0].find("30 pictures"), std::string::npos) << details[0];
    for (const char* name : {"clip (1).mp4", "clip (2).mp4", "video_only.mp4"})
        EXPECT_EQ(DecodeErrors(folder + "/" + name), "") << name;
    EXPECT_EQ(RunCommand("cat " + Quote(folder + "/clip.mp4")).output, "") << "the file there is kept";
    frame->Destroy();
    wxTheApp->ProcessIdle();

    auto* restarted = new MainFrame;
    EXPECT_EQ(Rows(restarted), ended);
    EXPECT_TRUE(Find<QueuePanel>(restarted, "QueuePanel")->GetParent()->IsShown());
    restarted->Destroy();
    wxTheApp->ProcessIdle();
}
