#pragma once
// Answers the modal dialogs that code under test shows, so that tests can
// drive handlers that ask the user. Every dialog shown is recorded. A dialog
// whose window name is in `runNormally` is shown and runs its own loop; any
// other takes the next queued answer, and fails the test when none is left
// (it is then answered with wxID_CANCEL).
#include <deque>
#include <set>
#include <vector>

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>

namespace testsupport {

class ModalAnswers : public wxModalDialogHook {
public:
    struct Shown {
        wxString title;
        wxString message;  // message dialogs and file choosers
        wxString extendedMessage;
        wxString folder;   // file choosers
    };

    ModalAnswers() { Register(); }
    ~ModalAnswers() override { Unregister(); }

    void Queue(int answer) { m_Answers.push_back(answer); }
    void RunNormally(const wxString& windowName) { m_RunNormally.insert(windowName); }

    const std::vector<Shown>& Dialogs() const { return m_Shown; }

protected:
    int Enter(wxDialog* dialog) override
    {
        Shown shown{dialog->GetTitle(), "", "", ""};
        if (auto* message = dynamic_cast<wxMessageDialogBase*>(dialog)) {
            shown.message = message->GetMessage();
            shown.extendedMessage = message->GetExtendedMessage();
        }
        if (auto* chooser = dynamic_cast<wxFileDialogBase*>(dialog)) {
            shown.message = chooser->GetMessage();
            shown.folder = chooser->GetDirectory();
        }
        m_Shown.push_back(shown);
        if (m_RunNormally.count(dialog->GetName()))
            return wxID_NONE;
        if (m_Answers.empty()) {
            ADD_FAILURE() << "unexpected dialog \"" << shown.title.utf8_str() << "\": " << shown.message.utf8_str();
            return wxID_CANCEL;
        }
        int answer = m_Answers.front();
        m_Answers.pop_front();
        return answer;
    }
    void Exit(wxDialog*) override {}

private:
    std::deque<int> m_Answers;
    std::set<wxString> m_RunNormally;
    std::vector<Shown> m_Shown;
};

}  // namespace testsupport
