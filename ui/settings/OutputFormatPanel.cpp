#include "ui/settings/OutputFormatPanel.h"

#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

#include "media/OutputFormats.h"
#include "ui/settings/SettingsEvents.h"
#include "ui/settings/TitledBox.h"

OutputFormatPanel::OutputFormatPanel(const std::vector<enumOutputCodec>& codecs, wxWindow* parent, wxWindowID id)
    : wxPanel(parent, id, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, "OutputFormatPanel"), m_Codecs(codecs)
{
    auto* box = NewTitledBox(this, wxVERTICAL, "File type");
    SetSizer(box);
    for (enumOutputCodec codec : m_Codecs) {
        auto* button = new wxRadioButton(box->GetStaticBox(), wxID_ANY, OutputFormat(codec).label,
                                         wxDefaultPosition, wxDefaultSize, m_Buttons.empty() ? wxRB_GROUP : 0);
        button->Bind(wxEVT_RADIOBUTTON, &OutputFormatPanel::OnRadioButtonChanged, this);
        box->Add(button, 0, wxEXPAND | wxALL, 5);
        m_Buttons.push_back(button);
    }
}

enumOutputCodec OutputFormatPanel::GetCodec() const
{
    for (size_t i = 0; i < m_Buttons.size(); ++i) {
        if (m_Buttons[i]->GetValue())
            return m_Codecs[i];
    }
    return m_Codecs.front();
}

void OutputFormatPanel::SetCodec(enumOutputCodec codec)
{
    for (size_t i = 0; i < m_Codecs.size(); ++i) {
        if (m_Codecs[i] == codec)
            m_Buttons[i]->SetValue(true);
    }
}

void OutputFormatPanel::OnRadioButtonChanged(wxCommandEvent&)
{
    SendPanelEvent(this, wxOUTPUT_FORMAT_CHANGED);
}
