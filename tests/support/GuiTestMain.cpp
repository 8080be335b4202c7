// Test main for programs that need the GUI library running (under xvfb-run).
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>

#include "support/TestMedia.h"

namespace {
class TestApplication : public wxApp {
public:
    bool OnInit() override { return true; }
};

// A failed wxWidgets check fails the test instead of opening a dialog.
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg)
{
    ADD_FAILURE_AT(file.utf8_str(), line) << "wxWidgets check failed in " << func.utf8_str() << ": "
                                          << cond.utf8_str() << " " << msg.utf8_str();
}
}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // The windows keep their state (the export queue) in a folder of the
    // test's own, never in the user's.
    setenv("XDG_STATE_HOME", testsupport::OutputPath("state").c_str(), 1);
    wxApp::SetInstance(new TestApplication);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "The GUI library could not start (is DISPLAY set?)\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    wxSetAssertHandler(FailOnAssert);
    wxInitAllImageHandlers();
    int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
