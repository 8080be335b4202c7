#include "ui/settings/ResolutionPanel.h"

#include <algorithm>

#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "ui/settings/SettingsEvents.h"
#include "ui/settings/TitledBox.h"

ResolutionPanel::ResolutionPanel(wxWindow* parent, wxWindowID id)
    : wxPanel(parent, id, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, "ResolutionPanel")
{
    auto* box = NewTitledBox(this, wxVERTICAL, "Resolution (Width x Height)");
    SetSizer(box);
    wxWindow* boxWindow = box->GetStaticBox();

    auto makeSpin = [&](int initial) {
        auto* spin = new wxSpinCtrl(boxWindow, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                    wxSP_ARROW_KEYS, minSide, minSide, initial, "wxSpinCtrl");
        spin->Bind(wxEVT_SPINCTRL, &ResolutionPanel::OnSpinValueChanged, this);
        spin->Bind(wxEVT_TEXT, &ResolutionPanel::OnSpinTextChanged, this);
        return spin;
    };
    m_WidthSpin = makeSpin(640);
    m_HeightSpin = makeSpin(480);
    m_FixedChoice = new wxChoice(boxWindow, wxID_ANY);
    m_FixedChoice->Bind(wxEVT_CHOICE, &ResolutionPanel::OnChoice, this);

    auto* grid = new wxFlexGridSizer(2, 5, 5);
    grid->Add(new wxStaticText(boxWindow, wxID_ANY, "Width:"), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(m_WidthSpin, 0, wxEXPAND);
    grid->Add(new wxStaticText(boxWindow, wxID_ANY, "Height:"), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(m_HeightSpin, 0, wxEXPAND);
    box->Add(grid, 0, wxEXPAND | wxALL, 5);
    box->Add(m_FixedChoice, 0, wxEXPAND | wxALL, 5);
}

wxSize ResolutionPanel::GetResolution() const
{
    if (!m_FixedSizes.empty()) {
        tPictureSize size = m_FixedSizes[std::max(m_FixedChoice->GetSelection(), 0)];
        return wxSize(size.width, size.height);
    }
    return wxSize(m_WidthSpin->GetValue(), m_HeightSpin->GetValue());
}

void ResolutionPanel::SetResolution(const tOutputFormat& format, const wxSize& size)
{
    bool fixed = !format.fixedSizes.empty();
    GetSizer()->Show(m_FixedChoice, fixed);
    wxSizer* grid = GetSizer()->GetItem(size_t(0))->GetSizer();
    GetSizer()->Show(grid, !fixed, true);
    m_FixedSizes = format.fixedSizes;
    m_FixedChoice->Clear();
    for (tPictureSize s : m_FixedSizes) {
        m_FixedChoice->Append(wxString::Format("%ix%i", s.width, s.height));
        if (s.width == size.x && s.height == size.y)
            m_FixedChoice->SetSelection(int(m_FixedChoice->GetCount()) - 1);
    }
    m_WidthSpin->SetRange(minSide, format.maxSide);
    m_HeightSpin->SetRange(minSide, format.maxSide);
    // Only a value that changes is set: setting one while the user types
    // would move the text cursor.
    if (!fixed && m_WidthSpin->GetValue() != size.x)
        m_WidthSpin->SetValue(size.x);
    if (!fixed && m_HeightSpin->GetValue() != size.y)
        m_HeightSpin->SetValue(size.y);
}

void ResolutionPanel::OnSpinValueChanged(wxSpinEvent&)
{
    SendPanelEvent(this, wxRESOLUTION_CHANGED);
}

// A typed size counts at once, not only when the field gives up the focus:
// the dialog may be confirmed before that.
void ResolutionPanel::OnSpinTextChanged(wxCommandEvent&)
{
    SendPanelEvent(this, wxRESOLUTION_CHANGED);
}

void ResolutionPanel::OnChoice(wxCommandEvent&)
{
    SendPanelEvent(this, wxRESOLUTION_CHANGED);
}
