#include "ui/settings/ResolutionPanel3GP.h"

#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

#include "ui/settings/SettingsEvents.h"

const int ResolutionPanel3GP::widths3gp[SIZE_COUNT] = {128, 176, 352, 704, 1408};
const int ResolutionPanel3GP::heights3gp[SIZE_COUNT] = {96, 144, 288, 576, 1152};

namespace {
// The first position whose entry is not below `value`; the last one if none.
int FirstNotBelow(const int* table, int value)
{
    int i = 0;
    while (i < ResolutionPanel3GP::SIZE_COUNT - 1 && table[i] < value)
        ++i;
    return i;
}
}  // namespace

wxBEGIN_EVENT_TABLE(ResolutionPanel3GP, wxPanel)
    EVT_RADIOBUTTON(ID_SIZE, ResolutionPanel3GP::OnRadioButtonChanged)
wxEND_EVENT_TABLE()

ResolutionPanel3GP::ResolutionPanel3GP(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                       const wxSize& size, long style, const wxString& name)
    : wxPanel(parent, id, pos, size, style, name)
{
    auto* box = new wxStaticBoxSizer(wxVERTICAL, this, "Resolution (Width x Height)");
    SetSizer(box);
    for (int i = 0; i < SIZE_COUNT; ++i) {
        m_SizeButtons[i] = new wxRadioButton(
            box->GetStaticBox(), ID_SIZE, wxString::Format("%ix%i", widths3gp[i], heights3gp[i]),
            wxDefaultPosition, wxDefaultSize, i == 0 ? wxRB_GROUP : 0);
        box->Add(m_SizeButtons[i], 1, wxEXPAND | wxALL, 5);
    }
    m_SizeIndex = 2;
    m_SizeButtons[m_SizeIndex]->SetValue(true);
    // Never so narrow that the box's title is cut, whatever the font.
    wxSize least(155, 100);
    least.IncTo(wxSize(box->GetStaticBox()->GetTextExtent(box->GetStaticBox()->GetLabel()).x + 16, 0));
    SetMinSize(least);
}

wxSize ResolutionPanel3GP::GetResolution() const
{
    return wxSize(widths3gp[m_SizeIndex], heights3gp[m_SizeIndex]);
}

int ResolutionPanel3GP::CalcIndexFromResolution(const wxSize& size)
{
    return (FirstNotBelow(widths3gp, size.GetWidth()) + FirstNotBelow(heights3gp, size.GetHeight())) / 2;
}

void ResolutionPanel3GP::SetResolution(const wxSize& size)
{
    m_SizeIndex = CalcIndexFromResolution(size);
    m_SizeButtons[m_SizeIndex]->SetValue(true);
}

void ResolutionPanel3GP::OnRadioButtonChanged(wxCommandEvent&)
{
    for (int i = 0; i < SIZE_COUNT; ++i) {
        if (m_SizeButtons[i]->GetValue()) {
            m_SizeIndex = i;
            break;
        }
    }
    SendResolutionChangedEvent();
}

void ResolutionPanel3GP::SendResolutionChangedEvent()
{
    SendPanelEvent(this, wxRESOLUTION_CHANGED);
}
