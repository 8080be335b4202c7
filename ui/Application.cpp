#include <wx/app.h>
#include <wx/sysopt.h>
#include <wx/timer.h>

#include "ui/Exporter.h"
#include "ui/MainFrame.h"
#include "ui/QueuePanel.h"
#include "ui/StopSignals.h"

class Application : public wxApp {
public:
    bool OnInit() override
    {
        wxSystemOptions::SetOption("msw.remap", 2);
        WatchStopSignals();
        auto* frame = new MainFrame;
        frame->CentreOnScreen(wxBOTH);
        frame->Show();
        SetTopWindow(frame);
        // "tellavox FILE" starts with FILE open; nothing else is read.
        if (argc > 1)
            frame->OpenCommandLineFile(argv[1]);
        return true;
    }

private:
    // A running export (the dialog's or the queue's) hears of a stop signal
    // itself and abandons its file; once none runs, the signal ends the
    // program.
    void WatchStopSignals()
    {
        StopSignals::Catch();
        m_SignalWatch.Bind(wxEVT_TIMER, [](wxTimerEvent&) {
            if (StopSignals::Caught() && !Exporter::IsAnyRunning() && !QueuePanel::IsAnyRunning())
                StopSignals::EndProgram();
        });
        const int lookEvery = 100;  // ms
        m_SignalWatch.Start(lookEvery);
    }

    wxTimer m_SignalWatch;
};

wxIMPLEMENT_APP(Application);
