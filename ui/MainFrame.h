#pragma once
// The main window: input and output files, what the input holds, the
// output format, the preview with its crop rectangle, the timeline with the
// export range, and the commands around them.
#include <memory>

#include <wx/frame.h>

#include "media/CodecParams.h"

class Exporter;
class FrameGrabber;
class RangeBarCtrl;
class SelectCropCtrl;
class wxRadioButton;
class wxStaticText;
class wxTextCtrl;

class MainFrame : public wxFrame {
public:
    static const char* const homePage;

    MainFrame();
    ~MainFrame() override;

    // What the file choosers do once a path is chosen.
    void OpenInputFile(const wxString& path);
    void SetOutputFile(const wxString& path);
    // Takes the record the settings dialog confirmed.
    void ApplyCodecParams(const tCodecParams& params);

    const tCodecParams& GetCodecParams() const { return m_CodecParams; }

    void OnSelectInputFile(wxCommandEvent& event);
    void OnSelectOutputFile(wxCommandEvent& event);
    void OnChangeCodecSettings(wxCommandEvent& event);
    void OnChangeOutputCodec(wxCommandEvent& event);
    void OnCurrentArrowMoved(wxCommandEvent& event);
    void OnNewMenu(wxCommandEvent& event);
    void OnStart(wxCommandEvent& event);
    void OnExit(wxCommandEvent& event);
    void OnZoomInRangeBar(wxCommandEvent& event);
    void OnZoomOutRangeBar(wxCommandEvent& event);
    void OnAbout(wxCommandEvent& event);
    void OnShowHelpContents(wxCommandEvent& event);
    void OnShowHomePage(wxCommandEvent& event);

private:
    void CreateControls();
    wxSizer* CreateInputBox();
    wxSizer* CreateOutputBox();
    wxSizer* CreatePreviewBox();
    wxSizer* CreateBottomRow();
    wxMenuBar* CreateMenuBar() const;

    void LoadInput(const wxString& path);
    void ResetInput();
    void ShowStartPicture();
    void ResetParamsFromInput(const struct tInputStreamInfo& info, bool hasAudio);
    void ReplaceOutputExtension();
    void UpdateOutFormatCaption();
    wxString FormatCaption() const;
    void ReportExport(int result, const wxString& output, const Exporter& exporter);

    wxTextCtrl* m_InputFileText = nullptr;
    wxTextCtrl* m_OutputFileText = nullptr;
    wxStaticText* m_AudioInfoText = nullptr;
    wxStaticText* m_VideoInfoText = nullptr;
    wxStaticText* m_FormatCaption = nullptr;
    SelectCropCtrl* m_CropCtrl = nullptr;
    std::unique_ptr<FrameGrabber> m_FrameGrabber;
    std::unique_ptr<wxRadioButton*[]> m_FamilyRadios;
    RangeBarCtrl* m_RangeBar = nullptr;
    tCodecParams m_CodecParams;

    wxDECLARE_EVENT_TABLE();
};
