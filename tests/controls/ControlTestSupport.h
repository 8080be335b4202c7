#pragma once
// Shared pieces of the control tests: a shown frame to hold a control, real
// mouse events, and rendering a control into an image.
#include <cstdlib>
#include <ostream>
#include <string>

#include <gtest/gtest.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/panel.h>

inline void PrintTo(const wxRect& r, std::ostream* os) { *os << "(" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << ")"; }
inline void PrintTo(const wxPoint& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
inline void PrintTo(const wxColour& c, std::ostream* os) { *os << "RGB(" << int(c.Red()) << ", " << int(c.Green()) << ", " << int(c.Blue()) << ")"; }

// A shown frame with a panel; controls go on the panel at fixed places so
// no layout resizes them.
struct TestFrame {
    TestFrame() { frame->Show(); }
    ~TestFrame() { frame->Destroy(); }
    wxPanel* Panel() const { return panel; }

    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "test", wxDefaultPosition, wxSize(800, 600));
    wxPanel* panel = new wxPanel(frame);
};

inline void SendMouse(wxWindow* window, wxEventType type, wxPoint at, bool ctrl = false)
{
    wxMouseEvent event(type);
    event.m_x = at.x;
    event.m_y = at.y;
    event.m_controlDown = ctrl;
    event.m_leftDown = type != wxEVT_LEFT_UP;
    event.SetEventObject(window);
    event.SetId(window->GetId());
    window->GetEventHandler()->ProcessEvent(event);
}

inline void Press(wxWindow* w, wxPoint at, bool ctrl = false) { SendMouse(w, wxEVT_LEFT_DOWN, at, ctrl); }
inline void Move(wxWindow* w, wxPoint at, bool ctrl = false) { SendMouse(w, wxEVT_MOTION, at, ctrl); }
inline void Release(wxWindow* w, wxPoint at) { SendMouse(w, wxEVT_LEFT_UP, at); }

// Renders `paint(dc)` into a bitmap of `size` that starts out `fill`.
template <typename PaintFunction>
wxImage Render(wxSize size, PaintFunction paint, const wxColour& fill = *wxBLACK)
{
    wxBitmap bitmap(size.x, size.y, 24);
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(wxBrush(fill));
        dc.Clear();
        paint(dc);
    }
    return bitmap.ConvertToImage();
}

inline wxColour PixelAt(const wxImage& image, int x, int y)
{
    return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
}

// Saves `image` as a documentation screenshot when TELLAVOX_SCREENSHOTS is set.
inline void SaveScreenshot(const wxImage& image, const std::string& name)
{
    if (!getenv("TELLAVOX_SCREENSHOTS"))
        return;
    wxFileName::Mkdir(TELLAVOX_TEST_OUTPUT_DIR, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    EXPECT_TRUE(image.SaveFile(std::string(TELLAVOX_TEST_OUTPUT_DIR) + "/" + name, wxBITMAP_TYPE_PNG));
}
