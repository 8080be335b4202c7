// The main window driven through the X server as a person drives it: a
// click into the window, then Ctrl+Return to start. The questions the
// export asks are answered like the user would.
#include <sys/stat.h>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include "support/EventLoop.h"
#include "support/MediaProbe.h"
#include "support/ModalAnswers.h"
#include "support/TestMedia.h"
#include "ui/MainFrame.h"

using namespace testsupport;

namespace {

std::pair<ino_t, std::string> Identity(const std::string& path)
{
    struct stat info = {};
    stat(path.c_str(), &info);
    return {info.st_ino, RunCommand("cat " + Quote(path)).output};
}

// Clicks into the output field and presses Ctrl+Return; true once the
// window has handled it (a dialog was asked for).
bool PressStart(MainFrame* frame, ModalAnswers& answers)
{
    auto* field = dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowByName("OutputFile", frame));
    wxUIActionSimulator user;
    wxRect place = field->GetScreenRect();
    wxPoint target(place.GetLeft() + place.GetWidth() / 2, place.GetTop() + place.GetHeight() / 2);
    user.MouseMove(target);
    HandleEventsUntil([&] { return wxGetMousePosition() == target; });
    user.MouseClick();
    if (!HandleEventsUntil([&] { return field->HasFocus(); }))
        return false;
    size_t shown = answers.Dialogs().size();
    user.Char(WXK_RETURN, wxMOD_CONTROL);
    return HandleEventsUntil([&] { return answers.Dialogs().size() > shown; });
}

}  // namespace

// An earlier file keeps its inode and bytes until the user agrees to
// replace it; the next free name is the other way out.
TEST(StartByKeys, AnExistingFileIsReplacedOnlyWhenTheUserAgrees)
{
    std::string folder = OutputPath("keys");
    RunCommand("rm -rf " + Quote(folder) + " && mkdir -p " + Quote(folder));
    std::string out = folder + "/clip.mp4";
    RunCommand("echo earlier > " + Quote(out));
    auto earlier = Identity(out);
    ModalAnswers answers;
    answers.RunNormally("ExportToFFMPEGDialog");
    auto* frame = new MainFrame;
    frame->Show();
    frame->Raise();
    ASSERT_TRUE(HandleEventsUntil([&] { return frame->IsActive(); }));
    frame->OpenInputFile(MediaPath("fps10.mp4"));
    frame->SetOutputFile(out);

    answers.Queue(wxID_CANCEL);
    ASSERT_TRUE(PressStart(frame, answers));
    EXPECT_EQ(answers.Dialogs().back().title, "Replace file?");
    EXPECT_EQ(answers.Dialogs().back().message, L"\u201cclip.mp4\u201d already exists. Replace it?");
    EXPECT_EQ(Identity(out), earlier);

    answers.Queue(wxID_NO);      // the next free name
    answers.Queue(wxID_CANCEL);  // close the message after the export
    ASSERT_TRUE(PressStart(frame, answers));
    HandleEventsUntil([&] { return answers.Pending() == 0; });
    EXPECT_EQ(answers.Dialogs().back().title, "Export finished");
    EXPECT_EQ(Identity(out), earlier);
    EXPECT_EQ(dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowByName("OutputFile", frame))->GetValue(),
              folder + "/clip (1).mp4");
    EXPECT_EQ(DecodeErrors(folder + "/clip (1).mp4"), "");

    answers.Queue(wxID_YES);  // replace
    answers.Queue(wxID_CANCEL);
    frame->SetOutputFile(out);
    ASSERT_TRUE(PressStart(frame, answers));
    HandleEventsUntil([&] { return answers.Pending() == 0; });
    EXPECT_NE(Identity(out), earlier);
    EXPECT_EQ(DecodeErrors(out), "");
    frame->Destroy();
    wxTheApp->ProcessIdle();
}
