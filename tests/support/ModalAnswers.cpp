#include "support/ModalAnswers.h"

#include <gtest/gtest.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>

namespace testsupport {

int ModalAnswers::Enter(wxDialog* dialog)
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
        ADD_FAILURE() << "unexpected dialog \"" << shown.title.utf8_str() << "\": "
                      << shown.message.utf8_str();
        return wxID_CANCEL;
    }
    int answer = m_Answers.front();
    m_Answers.pop_front();
    return answer;
}

}  // namespace testsupport
