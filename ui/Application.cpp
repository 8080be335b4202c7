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
        // "tellavox FILE" starts with FILE open; nothing else is read.
        if (argc > 1)
            frame->OpenCommandLineFile(argv[1]);
        return true;
    }
};

wxIMPLEMENT_APP(Application);
