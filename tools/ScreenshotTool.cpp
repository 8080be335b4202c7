// tellavox-screenshot CLIP OUT.png: shows the main window with CLIP loaded,
// a crop drawn and an output chosen, then photographs the screen with
// ImageMagick's import. Run it on a virtual display (tools/screenshot.sh).
// tellavox-screenshot --finished CLIP OUT.mp4: exports two to six seconds of
// CLIP into OUT.mp4 and stays on the "Export finished" message, to be
// photographed from outside (tools/screenshot.sh).
// tellavox-screenshot --settings CLIP: opens the settings dialog over the
// window with CLIP loaded and stays on it, to be photographed from outside.
#include <cstdio>
#include <string>

#include <wx/app.h>
#include <wx/utils.h>

#include "controls/RangeBarCtrl.h"
#include "controls/SelectCropCtrl.h"
#include "ui/MainFrame.h"

namespace {

class ScreenshotApp : public wxApp {
public:
    bool OnInit() override
    {
        if (argc == 4 && argv[1] == "--finished")
            return ExportAndWait(argv[2], argv[3]);
        if (argc == 3 && argv[1] == "--settings")
            return ShowSettings(argv[2]);
        if (argc != 3)
            return false;
        MainFrame* frame = ShowWindow(argv[1]);
        frame->SetOutputFile(wxString(argv[1]).BeforeLast('.') + "-small");
        m_Output = argv[2];
        CallAfter(&ScreenshotApp::Photograph);
        return true;
    }

private:
    static MainFrame* ShowWindow(const wxString& clip)
    {
        auto* frame = new MainFrame;
        frame->CentreOnScreen(wxBOTH);
        frame->Show();
        frame->OpenInputFile(clip);
        auto* crop = dynamic_cast<SelectCropCtrl*>(wxWindow::FindWindowByName("Preview", frame));
        wxRect whole = crop->GetCropRect();
        crop->SetCropRect(wxRect(whole.width / 8, whole.height / 6, whole.width / 2, whole.height / 2));
        return frame;
    }

    bool ExportAndWait(const wxString& clip, const wxString& output)
    {
        MainFrame* frame = ShowWindow(clip);
        frame->SetOutputFile(output);
        dynamic_cast<RangeBarCtrl*>(wxWindow::FindWindowByName("Timeline", frame))->SetSelection(2, 6);
        CallAfter([frame] {
            const int startCommand = 2003;
            wxCommandEvent start(wxEVT_MENU, startCommand);
            frame->ProcessWindowEvent(start);
        });
        m_Status = 0;
        return true;
    }

    bool ShowSettings(const wxString& clip)
    {
        MainFrame* frame = ShowWindow(clip);
        CallAfter([frame] {
            const int settingsCommand = 2005;
            wxCommandEvent settings(wxEVT_MENU, settingsCommand);
            frame->ProcessWindowEvent(settings);
        });
        m_Status = 0;
        return true;
    }

    void Photograph()
    {
        for (int i = 0; i < 20; ++i) {
            wxYield();
            wxMilliSleep(25);
        }
        m_Status = wxExecute("import -window root " + m_Output, wxEXEC_SYNC) == 0 ? 0 : 1;
        GetTopWindow()->Destroy();
    }

    int OnExit() override { return m_Status; }

    wxString m_Output;
    int m_Status = 1;
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(ScreenshotApp);

int main(int argc, char** argv)
{
    return wxEntry(argc, argv);
}
