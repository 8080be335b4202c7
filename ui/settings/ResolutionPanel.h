#pragma once
// The picture size: two spin controls for a free size, or a list where the
// output takes only fixed sizes. Reports the user's changes with
// wxRESOLUTION_CHANGED.
#include <wx/panel.h>

#include "media/OutputFormats.h"

class wxChoice;
class wxSpinCtrl;
class wxSpinEvent;

class ResolutionPanel : public wxPanel {
public:
    ResolutionPanel(wxWindow* parent, wxWindowID id);

    wxSize GetResolution() const;
    // Offers the sizes `format` takes; shows `size`, which is one of them.
    void SetResolution(const tOutputFormat& format, const wxSize& size);

private:
    void OnSpinValueChanged(wxSpinEvent& event);
    void OnSpinTextChanged(wxCommandEvent& event);
    void OnChoice(wxCommandEvent& event);

    wxSpinCtrl* m_WidthSpin;
    wxSpinCtrl* m_HeightSpin;
    wxChoice* m_FixedChoice;
    std::vector<tPictureSize> m_FixedSizes;
};
