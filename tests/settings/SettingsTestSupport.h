#pragma once
// Helpers for the settings tests: finding controls inside a window, acting
// like the user on them, and comparing parameter records.
#include <vector>

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include <gtest/gtest.h>

#include "media/CodecParams.h"

inline bool operator==(const tCodecParams& a, const tCodecParams& b)
{
    return a.iAudioBitrate == b.iAudioBitrate && a.iAudioChannels == b.iAudioChannels &&
           a.iAudioSampleRate == b.iAudioSampleRate && a.iVideoBitrate == b.iVideoBitrate &&
           a.iGopSize == b.iGopSize && a.iFps == b.iFps && a.iWidth == b.iWidth &&
           a.iHeight == b.iHeight && a.bAudioEnabled == b.bAudioEnabled && a.eCodec == b.eCodec &&
           a.eVideoRate == b.eVideoRate && a.iQuality == b.iQuality && a.iTargetKB == b.iTargetKB &&
           a.iSpeed == b.iSpeed && a.eSoundCodec == b.eSoundCodec && a.bCopyVideo == b.bCopyVideo &&
           a.bKeepHdr == b.bKeepHdr;
}

namespace settingstest {

// Every window of type T under `root`, in creation order.
template <class T>
std::vector<T*> Find(wxWindow* root)
{
    std::vector<T*> found;
    for (wxWindow* child : root->GetChildren()) {
        if (auto* match = dynamic_cast<T*>(child))
            found.push_back(match);
        for (T* inner : Find<T>(child))
            found.push_back(inner);
    }
    return found;
}

// The control of type T whose own label is `label`, or else the first one
// laid out after the text `label` in that text's sizer; null when none is.
template <class T>
T* Labelled(wxWindow* root, const wxString& label)
{
    for (T* control : Find<T>(root)) {
        if (control->GetLabel() == label)
            return control;
    }
    for (wxStaticText* text : Find<wxStaticText>(root)) {
        if (text->GetLabel() != label || !text->GetContainingSizer())
            continue;
        bool after = false;
        for (wxSizerItem* item : text->GetContainingSizer()->GetChildren()) {
            if (auto* control = dynamic_cast<T*>(item->GetWindow()); after && control)
                return control;
            after = after || item->GetWindow() == text;
        }
    }
    return nullptr;
}

// What the toolkit does when the user changes a control: the control's value
// changes, then its notification goes through the control's own handler.
template <class Event = wxCommandEvent>
void Send(wxWindow* control, wxEventType type, int value)
{
    Event event(type, control->GetId());
    event.SetInt(value);
    event.SetEventObject(control);
    control->GetEventHandler()->ProcessEvent(event);
}

inline void Click(wxCheckBox* check, bool value) { check->SetValue(value); Send(check, wxEVT_CHECKBOX, value); }
inline void Click(wxRadioButton* button) { button->SetValue(true); Send(button, wxEVT_RADIOBUTTON, 1); }
inline void Choose(wxChoice* choice, int index) { choice->SetSelection(index); Send(choice, wxEVT_CHOICE, index); }
inline void Spin(wxSpinCtrl* spin, int value) { spin->SetValue(value); Send<wxSpinEvent>(spin, wxEVT_SPINCTRL, value); }
inline void Spin(wxSpinCtrlDouble* spin, double value)
{
    spin->SetValue(value);
    wxSpinDoubleEvent event(wxEVT_SPINCTRLDOUBLE, spin->GetId(), value);
    event.SetEventObject(spin);
    spin->GetEventHandler()->ProcessEvent(event);
}
inline void Slide(wxSlider* slider, int value, wxEventType type = wxEVT_SCROLL_THUMBTRACK)
{
    slider->SetValue(value);
    Send<wxScrollEvent>(slider, type, value);
}

}  // namespace settingstest
