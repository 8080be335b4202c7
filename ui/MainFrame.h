#pragma once
// The main window: input and output files, what the input holds, the
// output format, the preview with its crop rectangle, the timeline with the
// export range, and the commands around them.
#include <map>
#include <memory>
#include <vector>

#include <wx/arrstr.h>
#include <wx/frame.h>
#include <wx/timer.h>

#include "media/CodecParams.h"
#include "media/FormatRules.h"
#include "pipeline/Presets.h"

class Exporter;
class Filmstrip;
class FrameGrabber;
class Player;
class InputStream;
class QueuePanel;
struct tExportOrder;
class RangeBarCtrl;
class SelectCropCtrl;
class wxRadioButton;
class wxChoice;
class wxStaticText;
class wxTextCtrl;

class MainFrame : public wxFrame {
public:
    static const char* const homePage;

    MainFrame();
    ~MainFrame() override;

    // What the file choosers do once a path is chosen. A file that does not
    // open is reported and leaves no trace; false then.
    bool OpenInputFile(const wxString& path);
    void SetOutputFile(const wxString& path);
    // Opens the first of the dropped files that opens; reports once when none does.
    bool OpenDroppedFiles(const wxArrayString& paths);
    // Queues each file for export with the current output, proposed for
    // its own source; a file that does not open fails in its turn, saying why.
    bool AddFilesToQueue(const wxArrayString& paths);
    // The file named on the command line, relative to the working folder.
    bool OpenCommandLineFile(const wxString& argument);
    // The installed user guide's page; empty when it cannot be found.
    static wxString UserGuidePath();
    // Takes the record the settings dialog confirmed.
    void ApplyCodecParams(const tCodecParams& params);

    const tCodecParams& GetCodecParams() const { return m_CodecParams; }

    void OnSelectInputFile(wxCommandEvent& event);
    void OnSelectOutputFile(wxCommandEvent& event);
    void OnChangeCodecSettings(wxCommandEvent& event);
    void OnChangeOutputCodec(wxCommandEvent& event);
    void OnChooseSoundTrack(wxCommandEvent& event);
    void OnArrowMoved(wxCommandEvent& event);
    void ShowPreviewAtArrow();
    void OnCropChanged(wxCommandEvent& event);
    void OnKeepFields(wxCommandEvent& event);
    void OnNewMenu(wxCommandEvent& event);
    void OnStart(wxCommandEvent& event);
    void OnAddToQueue(wxCommandEvent& event);
    void OnAddFilesToQueue(wxCommandEvent& event);
    void OnShowQueue(wxCommandEvent& event);
    void OnExit(wxCommandEvent& event);
    void OnZoomInRangeBar(wxCommandEvent& event);
    void OnZoomOutRangeBar(wxCommandEvent& event);
    void OnAbout(wxCommandEvent& event);
    void OnShowHelpContents(wxCommandEvent& event);
    void OnShowHomePage(wxCommandEvent& event);
    void OnChoosePreset(wxCommandEvent& event);
    void OnSavePreset(wxCommandEvent& event);
    void OnPlaybackKey(wxKeyEvent& event);
    void OnPlayPause(wxCommandEvent& event);
    void OnPlayRange(wxCommandEvent& event);
    void OnStepBack(wxCommandEvent& event);
    void OnMouseRested(wxTimerEvent& event);
    bool IsPlaying() const;

private:
    void CreateControls();
    wxSizer* CreateInputBox();
    wxSizer* CreateOutputBox();
    wxSizer* CreatePreviewBox();
    wxSizer* CreateBottomRow();
    // The preset choice and the buttons beneath the output's caption.
    wxSizer* CreatePresetRows(wxWindow* parent);
    // Reads the user's presets and lists them after the built-in ones; a
    // damaged file is named in the status bar.
    void LoadUserPresets();
    void ListPresets(const wxString& selected);
    void ApplyChosenPreset();
    wxMenuBar* CreateMenuBar() const;
    wxMenu* CreateQueueMenu() const;
    void CreateQueueWindow();

    bool TryOpenInput(const wxString& path);
    void ReportBadInput();
    void LoadInput(const wxString& path);
    void ResetInput();
    void ListSoundTracks(const InputStream& input);
    void ShowStartPicture();
    // The source as the output proposals follow it: its picture cropped.
    tSourceDescription ProposalSource() const;
    void ProposeOutput(const wxString& input);
    bool ConfirmReplace(wxString& output);
    // The export Start would make; false (after saying why, or asking for
    // what is missing) when there is none.
    bool PrepareOrder(wxCommandEvent& event, tExportOrder& order);
    tExportOrder ProposedOrder(const wxString& input) const;
    void ShowCopyStart();
    void UpdateZoomSpan();
    void ReplaceOutputExtension();
    void UpdateOutFormatCaption();
    wxString FormatCaption() const;
    wxString CropCaption() const;
    wxSize ShownCropSize() const;
    void ReportExport(int result, const wxString& output, const Exporter& exporter);
    // The message after a finished export, offering to open the file or
    // show it in its folder.
    void ShowExportFinished(const wxString& text, const wxString& output, const wxString& readBack, long icon);

    // Playing and the pictures that follow the mouse.
    void ShowPicture(const wxBitmap& picture);
    void TogglePlay(bool fromRangeStart);
    void StartPlaying(double from, double until);
    // Stops playing; the exact picture at the arrow replaces the last one played.
    void StopPlaying();
    void ShowPlayedPicture();
    void OnPlayEnded();
    void StepBack();
    void ShowFilmstrip(const wxString& path);
    bool ShowApproximatePicture();

    wxTextCtrl* m_InputFileText = nullptr;
    wxTextCtrl* m_OutputFileText = nullptr;
    wxStaticText* m_AudioInfoText = nullptr;
    wxChoice* m_SoundTrackChoice = nullptr;  // shown when the input has several sound tracks
    wxStaticText* m_VideoInfoText = nullptr;
    wxStaticText* m_FormatCaption = nullptr;
    wxStaticText* m_ZoomSpanText = nullptr;
    SelectCropCtrl* m_CropCtrl = nullptr;
    std::unique_ptr<FrameGrabber> m_FrameGrabber;
    std::unique_ptr<wxRadioButton*[]> m_FamilyRadios;
    RangeBarCtrl* m_RangeBar = nullptr;
    wxChoice* m_PresetChoice = nullptr;  // "Custom", then every preset
    std::vector<tPreset> m_UserPresets;
    QueuePanel* m_QueuePanel = nullptr;  // in a window of its own
    tCodecParams m_CodecParams;
    tSourceDescription m_Source;
    wxString m_LastFolder;         // where the choosers open
    wxString m_OutputFolder;       // where the user last chose an output; proposals go there
    wxString m_ReplaceAgreed;      // an existing output the user agreed to replace in the chooser
    wxString m_InputFailure;       // the message for the last input that did not open
    bool m_PreviewPending = false;  // a preview at m_PreviewTime is on its way
    double m_PreviewTime = 0.0;     // the time of the arrow last moved
    wxSize m_SourcePixels;          // the source's size in its own pixels
    wxSize m_ShownPixels;           // the source's size as shown (square pixels)
    std::unique_ptr<Player> m_Player;  // made for the input when it first plays
    // Each file's strip is made once in a run and kept.
    std::map<wxString, std::shared_ptr<Filmstrip>> m_Filmstrips;
    wxTimer m_RestTimer;            // the exact picture once a dragged arrow rests

    wxDECLARE_EVENT_TABLE();
};
