#include "ui/settings/OutputFormatPanel.h"

#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

#include "ui/settings/SettingsEvents.h"

wxBEGIN_EVENT_TABLE(OutputFormatPanel, wxPanel)
    EVT_RADIOBUTTON(ID_FORMAT, OutputFormatPanel::OnRadioButtonChanged)
wxEND_EVENT_TABLE()

OutputFormatPanel::OutputFormatPanel(int count, const wxString* labels, wxWindow* parent,
                                     wxWindowID id, const wxPoint& pos, const wxSize& size,
                                     long style, const wxString& name)
    : wxPanel(parent, id, pos, size, style, name), m_FormatCount(count < 0 ? 0 : count)
{
    auto* box = new wxStaticBoxSizer(wxVERTICAL, this, "Output format");
    SetSizer(box);
    box->AddStretchSpacer(1);
    for (int i = 0; i < m_FormatCount; ++i) {
        auto* button = new wxRadioButton(box->GetStaticBox(), ID_FORMAT, labels[i],
                                         wxDefaultPosition, wxDefaultSize,
                                         i == 0 ? wxRB_GROUP : 0);
        box->Add(button, 0, wxEXPAND | wxALL, 5);
        m_FormatButtons.push_back(button);
    }
    box->AddStretchSpacer(1);
    if (m_FormatCount > 0)
        m_FormatButtons[0]->SetValue(true);
}

void OutputFormatPanel::SetFormatIndex(int index)
{
    if (index < 0 || index >= m_FormatCount)
        return;
    m_FormatIndex = index;
    m_FormatButtons[index]->SetValue(true);
}

void OutputFormatPanel::OnRadioButtonChanged(wxCommandEvent&)
{
    for (int i = 0; i < m_FormatCount; ++i) {
        if (m_FormatButtons[i]->GetValue()) {
            m_FormatIndex = i;
            break;
        }
    }
    SendOutputFormatChangedEvent();
}

void OutputFormatPanel::SendOutputFormatChangedEvent()
{
    SendPanelEvent(this, wxOUTPUT_FORMAT_CHANGED);
}
