// The main window and the settings dialog driven through the X server, as a
// person drives them: the pointer and the keyboard of the virtual display.
// The program runs alone on the display, so no other test's window takes
// its input.
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include "settings/SettingsTestSupport.h"
#include "support/EventLoop.h"
#include "support/MediaProbe.h"
#include "support/ModalAnswers.h"
#include "support/TestMedia.h"
#include "ui/MainFrame.h"
#include "ui/settings/CodecPropsDlg.h"

using namespace settingstest;
using namespace testsupport;

namespace {

// A click into the middle of the window's left half.
void ClickOn(wxUIActionSimulator& user, wxWindow* window)
{
    wxRect place = window->GetScreenRect();
    wxPoint target(place.GetLeft() + place.GetWidth() / 4, place.GetTop() + place.GetHeight() / 2);
    user.MouseMove(target);
    HandleEventsUntil([&] { return wxGetMousePosition() == target; });
    user.MouseClick();
}
void TypeAndConfirm(CodecPropsDlg& dialog, const char* width, const char* height, bool enter)
{
    dialog.Raise();  // without a window manager, this gives the dialog the keyboard
    ASSERT_TRUE(HandleEventsUntil([&] { return dialog.IsActive(); }));
    std::vector<wxSpinCtrl*> spins = Find<wxSpinCtrl>(&dialog);
    ASSERT_EQ(spins.size(), 2u);
    wxUIActionSimulator user;
    for (auto [spin, text] : {std::pair{spins[0], width}, std::pair{spins[1], height}}) {
        ClickOn(user, spin);
        ASSERT_TRUE(HandleEventsUntil([&] { return spin->HasFocus(); }));
        user.Char('a', wxMOD_CONTROL);
        user.Text(text);
        ASSERT_TRUE(HandleEventsUntil([&] { return spin->GetTextValue() == text; }));
    }
    if (enter)
        user.Char(WXK_RETURN);
    else
        ClickOn(user, dialog.FindWindow(wxID_OK));
}

// Clicks into the output field and presses Ctrl+Return; true once the
// window has handled it (a dialog was asked for).
bool PressStart(MainFrame* frame, ModalAnswers& answers)
{
    auto* field = dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowByName("OutputFile", frame));
    wxUIActionSimulator user;
    ClickOn(user, field);
    if (!HandleEventsUntil([&] { return field->HasFocus(); }))
        return false;
    size_t shown = answers.Dialogs().size();
    user.Char(WXK_RETURN, wxMOD_CONTROL);
    return HandleEventsUntil([&] { return answers.Dialogs().size() > shown; });
}

}  // namespace

// Sizes typed into the fields (not set with the arrows) are what OK
// confirms, read as the main window reads them: as soon as the modal dialog
// returns. The user clicks into each field, selects its text and types;
// then confirms with the mouse or with Enter.
TEST(SettingsDialog, TypedSizesCountWhenTheDialogIsConfirmed)
{
    const struct { const char *width, *height; bool enter; wxSize confirmed; } cases[] = {
        {"720", "576", false, {720, 576}}, {"5000", "30", true, {4096, 30}}, {"100", "9", false, {100, 24}}};
    for (const auto& typed : cases) {
        SCOPED_TRACE(typed.width);
        CodecPropsDlg dialog({128000, 2, 44100, 1000000, 10, 25, 640, 480, true, OC_MP4}, true, nullptr, 0, "Select codec parameters");
        dialog.CallAfter([&] {
            TypeAndConfirm(dialog, typed.width, typed.height, typed.enter);
            // Whatever went wrong, the dialog does not wait for a user.
            if (!HandleEventsUntil([&] { return !dialog.IsModal(); }))
                dialog.EndModal(wxID_CANCEL);
        });
        ASSERT_EQ(dialog.ShowModal(), wxID_OK);
        const tCodecParams confirmed = dialog.GetCodecParams();
        EXPECT_EQ(wxSize(confirmed.iWidth, confirmed.iHeight), typed.confirmed);
    }
}

// Ctrl+Return typed in the output field starts; an earlier file there keeps
// its inode and bytes when the user cancels the question about replacing it.
TEST(StartByKeys, CtrlReturnInTheOutputFieldAsksBeforeReplacingAFile)
{
    std::string folder = OutputPath("keys");
    RunCommand("rm -rf " + Quote(folder) + " && mkdir -p " + Quote(folder));
    std::string out = folder + "/clip.mp4";
    RunCommand("echo earlier > " + Quote(out));
    auto earlier = FileIdentity(out);
    ModalAnswers answers;
    auto* frame = new MainFrame;
    frame->Show();
    frame->Raise();
    ASSERT_TRUE(HandleEventsUntil([&] { return frame->IsActive(); }));
    frame->OpenInputFile(MediaPath("fps10.mp4"));
    frame->SetOutputFile(out);

    answers.Queue(wxID_CANCEL);
    ASSERT_TRUE(PressStart(frame, answers));
    EXPECT_EQ(answers.Dialogs().back().message, L"\u201cclip.mp4\u201d already exists. Replace it?");
    EXPECT_EQ(FileIdentity(out), earlier);
    frame->Destroy();
    wxTheApp->ProcessIdle();
}
