#include <wx/wx.h>

class Application : public wxApp {
public:
    bool OnInit() override
    {
        auto* frame = new wxFrame(nullptr, 0, "Tellavox");
        frame->Show();
        SetTopWindow(frame);
        return true;
    }
};

wxIMPLEMENT_APP(Application);
