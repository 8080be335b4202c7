#include <wx/app.h>
#include <wx/sysopt.h>

#include "ui/MainFrame.h"

class Application : public wxApp {
public:
    bool OnInit() override
    {
        wxSystemOptions::SetOption("msw.remap", 2);
        auto* frame = new MainFrame;
        frame->CentreOnScreen(wxBOTH);
        frame->Show();
        SetTopWindow(frame);
        return true;
    }
};

wxIMPLEMENT_APP(Application);
