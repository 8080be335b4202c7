// tellavox-grab FILE SECONDS OUT.png: the preview picture for that time.
// Exits 1 when there is no picture.
#include <cstdio>
#include <cstdlib>

#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>

#include "pipeline/FrameGrabber.h"

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::printf("usage: tellavox-grab FILE SECONDS OUT.png\n");
        return 1;
    }
    wxString file = wxString::FromUTF8(argv[1]);
    double seconds = std::atof(argv[2]);
    wxString out = wxString::FromUTF8(argv[3]);
    wxApp::SetInstance(new wxApp);
    int wxArgc = 1;
    if (!wxEntryStart(wxArgc, argv))
        return 1;
    wxInitAllImageHandlers();
    int status = 1;
    {
        FrameGrabber grabber(file);
        wxBitmap picture = grabber.GrabFrame(seconds);
        if (picture.IsOk() && picture.ConvertToImage().SaveFile(out, wxBITMAP_TYPE_PNG))
            status = 0;
    }
    wxEntryCleanup();
    return status;
}
