#pragma once
// A free picture size: two spin controls, each 24..2048 pixels. Reports the
// user's changes with wxRESOLUTION_CHANGED.
#include <wx/panel.h>

class wxSpinCtrl;
class wxSpinEvent;

class ResolutionPanel : public wxPanel {
public:
    ResolutionPanel(wxWindow* parent, wxWindowID id = wxID_ANY,
                    const wxPoint& pos = wxDefaultPosition,
                    const wxSize& size = wxDefaultSize,
                    long style = wxTAB_TRAVERSAL,
                    const wxString& name = "ResolutionPanel");

    wxSize GetResolution() const;
    // Values outside 24..2048 are clamped to the nearer bound.
    void SetResolution(const wxSize& size);

    static constexpr int MIN_SIZE = 24;
    static constexpr int MAX_SIZE = 2048;

private:
    enum { ID_SIZE = 1000 };

    void OnSpinValueChanged(wxSpinEvent& event);
    void OnSpinTextChanged(wxCommandEvent& event);
    void SendResolutionChangedEvent();

    wxSpinCtrl* m_WidthSpin;
    wxSpinCtrl* m_HeightSpin;

    wxDECLARE_EVENT_TABLE();
};
