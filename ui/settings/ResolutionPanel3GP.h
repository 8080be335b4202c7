#pragma once
// The five H.263 picture sizes that 3GP output accepts, as radio buttons.
// Reports the user's choice with wxRESOLUTION_CHANGED.
#include <wx/panel.h>

class wxRadioButton;

class ResolutionPanel3GP : public wxPanel {
public:
    ResolutionPanel3GP(wxWindow* parent, wxWindowID id = wxID_ANY,
                       const wxPoint& pos = wxDefaultPosition,
                       const wxSize& size = wxDefaultSize,
                       long style = wxTAB_TRAVERSAL,
                       const wxString& name = "ResolutionPanel3GP");

    wxSize GetResolution() const;
    // Selects the size that CalcIndexFromResolution gives.
    void SetResolution(const wxSize& size);
    // The first size at least as wide and the first at least as high, taken
    // half-way (rounded down); the largest size when nothing is big enough.
    static int CalcIndexFromResolution(const wxSize& size);

    static constexpr int SIZE_COUNT = 5;
    static const int widths3gp[SIZE_COUNT];
    static const int heights3gp[SIZE_COUNT];

private:
    enum { ID_SIZE = 1000 };

    void OnRadioButtonChanged(wxCommandEvent& event);
    void SendResolutionChangedEvent();

    int m_SizeIndex = 0;
    wxRadioButton* m_SizeButtons[SIZE_COUNT];

    wxDECLARE_EVENT_TABLE();
};
