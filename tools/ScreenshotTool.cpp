// tellavox-screenshot SCENE CLIP OUT.png: shows one scene of the program
// with CLIP loaded and photographs it with ImageMagick's import, cut to the
// window concerned. Run it on a virtual display (tools/screenshot.sh).
// Scenes: open (the clip just opened), range (the timeline with a range),
// crop (a crop drawn, the size following it), settings (the settings
// dialog after the archive preset was chosen), export (the progress dialog half-way), about (the about box).
// The scene "finished"
// exports two to six seconds of CLIP into OUT (an .mp4) and stays on the
// message that closes the export, to be photographed from outside.
#include <functional>
#include <map>
#include <string>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/filefn.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include "controls/RangeBarCtrl.h"
#include "controls/SelectCropCtrl.h"
#include "ui/Exporter.h"
#include "ui/MainFrame.h"
#include "ui/settings/CodecPropsDlg.h"

namespace {

const char* const exportOutput = "/tmp/tellavox-screenshot-export.mp4";

class ScreenshotApp : public wxApp {
public:
    bool OnInit() override
    {
        if (argc != 4)
            return false;
        m_Scene = argv[1];
        m_Output = argv[3];
        m_Frame = new MainFrame;
        m_Frame->CentreOnScreen(wxBOTH);
        m_Frame->Show();
        m_Frame->Raise();  // the keyboard focus, also without a window manager
        if (!m_Frame->OpenInputFile(argv[2]))
            return false;
        CallAfter(&ScreenshotApp::Run);
        return true;
    }

private:
    template <class T>
    T* Find(const char* name) const
    {
        return dynamic_cast<T*>(wxWindow::FindWindowByName(name, m_Frame));
    }

    void Run()
    {
        const std::map<wxString, std::function<void()>> scenes = {
            {"open", [this] { Photograph(m_Frame->GetScreenRect()); }},
            {"range", [this] { ShowRange(); }},
            {"crop", [this] { ShowCrop(); }},
            {"settings", [this] { ShowSettings(); }},
            {"export", [this] { ShowExport(); }},
            {"finished", [this] { ExportAndWait(); }},
            {"about", [this] { ShowAbout(); }},
        };
        auto scene = scenes.find(m_Scene);
        if (scene != scenes.end())
            scene->second();
        m_Frame->Destroy();
    }

    void ShowRange()
    {
        auto* bar = Find<RangeBarCtrl>("Timeline");
        double length = bar->GetMediaTime();
        bar->SetSelection(length * 0.25, length * 0.6);
        bar->SetCurrentTime(length * 0.4);
        bar->SetFocus();
        wxRect area = bar->GetScreenRect();
        area.Union(wxWindow::FindWindowByLabel("Zoom In", m_Frame)->GetScreenRect());
        area.Union(wxWindow::FindWindowByName("ZoomSpan", m_Frame)->GetScreenRect());
        Photograph(area.Inflate(6));
    }

    void DrawCrop()
    {
        auto* crop = Find<SelectCropCtrl>("Preview");
        wxRect whole = crop->GetCropRect();
        crop->SetCropRect(wxRect(whole.width / 8, whole.height / 6, whole.width / 2, whole.height / 3));
        wxCommandEvent drawn(wxCROP_RECT_CHANGED, crop->GetId());
        drawn.SetEventObject(crop);
        crop->ProcessWindowEvent(drawn);
    }

    void ShowCrop()
    {
        DrawCrop();
        Photograph(m_Frame->GetScreenRect());
    }

    void ShowSettings()
    {
        auto* presets = Find<wxChoice>("Preset");
        presets->SetStringSelection("Archive (H.265 10-bit)");
        wxCommandEvent chosen(wxEVT_CHOICE, presets->GetId());
        chosen.SetEventObject(presets);
        presets->ProcessWindowEvent(chosen);
        CodecPropsDlg dialog(m_Frame->GetCodecParams(), true, m_Frame, 0, "Select codec parameters");
        dialog.CallAfter([this, &dialog] {
            Photograph(dialog.GetScreenRect());
            dialog.EndModal(wxID_CANCEL);
        });
        dialog.ShowModal();
    }

    void ShowExport()
    {
        DrawCrop();
        auto* bar = Find<RangeBarCtrl>("Timeline");
        wxString input = Find<wxTextCtrl>("InputFile")->GetValue();
        Exporter exporter(m_Frame, {input.utf8_string(), exportOutput, m_Frame->GetCodecParams(),
                                    Find<SelectCropCtrl>("Preview")->GetCropRect(), bar->GetSelectionStart(),
                                    bar->GetSelectionEnd()});
        // Once the first remaining-time estimate is shown.
        wxTimer photograph;
        photograph.Bind(wxEVT_TIMER, [this, &exporter](wxTimerEvent&) {
            exporter.Raise();
            Photograph(exporter.GetScreenRect());
            wxCommandEvent cancel(wxEVT_BUTTON, wxID_CANCEL);
            exporter.ProcessWindowEvent(cancel);
        });
        photograph.StartOnce(500);
        exporter.Start();
        wxRemoveFile(exportOutput);
    }

    void ShowAbout()
    {
        wxTimer photograph;
        photograph.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            auto* about = dynamic_cast<wxDialog*>(wxWindow::FindWindowByName("AboutBox"));
            if (!about)
                return;
            Photograph(about->GetScreenRect());
            about->EndModal(wxID_OK);
        });
        photograph.StartOnce(100);
        wxCommandEvent open(wxEVT_MENU, wxID_ABOUT);
        m_Frame->ProcessWindowEvent(open);
    }

    void ExportAndWait()
    {
        DrawCrop();
        m_Frame->SetOutputFile(m_Output);
        Find<RangeBarCtrl>("Timeline")->SetSelection(2, 6);
        const int startCommand = 2003;
        wxCommandEvent start(wxEVT_MENU, startCommand);
        m_Frame->ProcessWindowEvent(start);
    }

    // Lets the windows draw themselves (and a running export go on).
    static void Settle(int rounds)
    {
        for (int i = 0; i < rounds; ++i) {
            wxYield();
            wxMilliSleep(25);
        }
    }

    void Photograph(const wxRect& area)
    {
        Settle(20);
        wxString geometry = wxString::Format("%dx%d+%d+%d", area.width, area.height, area.x, area.y);
        m_Status = wxExecute("import -window root -crop " + geometry + " +repage " + m_Output,
                             wxEXEC_SYNC | wxEXEC_NODISABLE) == 0 ? 0 : 1;
    }

    int OnExit() override { return m_Status; }

    MainFrame* m_Frame = nullptr;
    wxString m_Scene;
    wxString m_Output;
    int m_Status = 1;
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(ScreenshotApp);

int main(int argc, char** argv)
{
    return wxEntry(argc, argv);
}
