#pragma once
// Audio on/off and one of the eight AMR-NB bit rates, for the 3GP page.
// Reports the user's changes with wxAUDIO_SETTINGS_CHANGED.
#include <wx/panel.h>

class wxCheckBox;
class wxRadioButton;

class AudioSettingsPanel3GP : public wxPanel {
public:
    AudioSettingsPanel3GP(wxWindow* parent, wxWindowID id = wxID_ANY,
                          const wxPoint& pos = wxDefaultPosition,
                          const wxSize& size = wxDefaultSize,
                          long style = wxTAB_TRAVERSAL,
                          const wxString& name = "AudioSettingsPanel3GP");

    bool IsAudioEnabled() const;
    void SetAudioEnabled(bool enabled);

    int GetBitrate() const;  // bit/s
    // Selects the position that CalcIndexFromBitrate gives.
    void SetBitrate(int bitrate);
    // The lowest table rate not below `bitrate`; the highest when above all.
    static int CalcIndexFromBitrate(int bitrate);

    void SendABitrateChangedEvent();

    static constexpr int BITRATE_COUNT = 8;
    static const int bitrates3gp[BITRATE_COUNT];  // bit/s, lowest first

private:
    enum { ID_BITRATE = 1000, ID_ENABLED };

    void EnableBitrateButtons(bool enabled);
    void OnRadioButtonChanged(wxCommandEvent& event);
    void OnCheckBoxChanged(wxCommandEvent& event);

    int m_BitrateIndex = 0;
    wxRadioButton* m_BitrateButtons[BITRATE_COUNT];
    wxCheckBox* m_EnabledCheck;

    wxDECLARE_EVENT_TABLE();
};
