#pragma once
// One radio button per container of a family; reports the user's choice
// with wxOUTPUT_FORMAT_CHANGED.
#include <vector>

#include <wx/panel.h>

class wxRadioButton;

class OutputFormatPanel : public wxPanel {
public:
    OutputFormatPanel(int count, const wxString* labels, wxWindow* parent,
                      wxWindowID id = wxID_ANY,
                      const wxPoint& pos = wxDefaultPosition,
                      const wxSize& size = wxDefaultSize,
                      long style = wxTAB_TRAVERSAL,
                      const wxString& name = "OutputFormatPanel");

    int GetFormatIndex() const { return m_FormatIndex; }
    // Indexes outside the choices are ignored.
    void SetFormatIndex(int index);

private:
    enum { ID_FORMAT = 1000 };

    void OnRadioButtonChanged(wxCommandEvent& event);
    void SendOutputFormatChangedEvent();

    int m_FormatCount;
    int m_FormatIndex = 0;
    std::vector<wxRadioButton*> m_FormatButtons;

    wxDECLARE_EVENT_TABLE();
};
