#include "ui/MainFrame.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/hyperlink.h>
#include <wx/icon.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/stdpaths.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "controls/RangeBarCtrl.h"
#include "controls/SelectCropCtrl.h"
#include "media/ContainerProfiles.h"
#include "media/InputStream.h"
#include "pipeline/ExportReport.h"
#include "pipeline/FrameGrabber.h"
#include "pipeline/ImageHelpers.h"
#include "resources/AppImages.h"
#include "ui/AboutBox.h"
#include "helpers/Helpers.h"
#include "ui/Exporter.h"
#include "ui/FileDropTarget.h"
#include "ui/OutputSize.h"
#include "ui/settings/CodecPropsDlg.h"

const char* const MainFrame::homePage = "https://www.tellavox.example/";

namespace {

enum {
    ID_INPUT_BUTTON = 1000,
    ID_OUTPUT_BUTTON = 1001,
    ID_SETTINGS_BUTTON = 1002,
    ID_START_BUTTON = 1003,
    ID_FAMILY_RADIO = 1004,
    ID_RANGE_BAR = 1006,
    ID_ZOOM_IN_BUTTON = 1007,
    ID_ZOOM_OUT_BUTTON = 1008,
    ID_PREVIEW = 1009,
    ID_SOUND_TRACK_CHOICE = 1010,
    ID_MENU_NEW = 2000,
    ID_MENU_INPUT = 2001,
    ID_MENU_OUTPUT = 2002,
    ID_MENU_START = 2003,
    ID_MENU_EXIT = 2004,
    ID_MENU_SETTINGS = 2005,
    ID_MENU_CONTENTS = 2006,
    ID_MENU_HOME_PAGE = 2007,
};

const int EA = wxEXPAND | wxALL;
const char* const productName = "Tellavox";
const char* const productVersion = "1.1";
const char* const cantExport = "Can't export to video.";
const char* const noVideo = "This file has no video.";
const char* const cantOpenInput = "Can't open this video file. File can be corrupt or its format unsupported.";

// The fixed text, then the reason; a file without video is told just so.
wxString InputFailure(const char* reason)
{
    if (wxString(reason) == noVideo)
        return noVideo;
    return wxString(cantOpenInput) + "\n" + wxString::FromUTF8(reason);
}

const char* const noInputHint = "Open a video to convert:\nFile > Input File... (Ctrl+O),\nor drop the file on this window.";
const int previewAsks = 100;
// The left column's width, whatever the texts in it say.
const int leftColumnWidth = 350;

void ShowMessage(const wxString& text, const wxString& caption)
{
    wxMessageBox(text, caption, wxOK | wxCENTRE, nullptr);
}

// A single-line path field that only the program writes.
wxTextCtrl* NewPathField(wxWindow* parent, const char* name)
{
    auto* field = new wxTextCtrl(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, 0,
                                 wxDefaultValidator, name);
    field->SetEditable(false);
    return field;
}

// Shows `path` in a path field with its end, the file's name, in sight.
void ShowPath(wxTextCtrl* field, const wxString& path)
{
    field->SetValue(path);
    field->SetInsertionPointEnd();
}

// A "..." button, square and as high as `field`.
wxButton* NewChooserButton(wxWindow* parent, int id, const wxTextCtrl* field, const char* name)
{
    int side = field->GetSize().GetHeight();
    return new wxButton(parent, id, "...", wxDefaultPosition, wxSize(side, side), wxBU_EXACTFIT,
                        wxDefaultValidator, name);
}

wxBitmap AppIcon(int depth = -1)
{
    return wxBitmap(CreateImageFromMemRawImage(mainAppIcon), depth);
}

// A text of the left column: as wide as the column gives it, never wider
// because of what it says.
wxStaticText* NewColumnText(wxWindow* parent, const wxString& label, const char* name)
{
    auto* text = new wxStaticText(parent, wxID_ANY, label, wxDefaultPosition, wxDefaultSize,
                                  wxST_NO_AUTORESIZE, name);
    text->SetMinSize(wxSize(1, -1));
    return text;
}

wxString SampleRateText(int hz)
{
    return wxString::Format("%g kHz", hz / 1000.0);
}

wxString FolderOf(const wxString& path)
{
    return path.empty() ? wxString() : wxFileName(path).GetPath();
}

}  // namespace

wxBEGIN_EVENT_TABLE(MainFrame, wxFrame)
    EVT_BUTTON(ID_INPUT_BUTTON, MainFrame::OnSelectInputFile)
    EVT_BUTTON(ID_OUTPUT_BUTTON, MainFrame::OnSelectOutputFile)
    EVT_BUTTON(ID_SETTINGS_BUTTON, MainFrame::OnChangeCodecSettings)
    EVT_BUTTON(ID_START_BUTTON, MainFrame::OnStart)
    EVT_BUTTON(ID_ZOOM_IN_BUTTON, MainFrame::OnZoomInRangeBar)
    EVT_BUTTON(ID_ZOOM_OUT_BUTTON, MainFrame::OnZoomOutRangeBar)
    EVT_RADIOBUTTON(ID_FAMILY_RADIO, MainFrame::OnChangeOutputCodec)
    EVT_CHOICE(ID_SOUND_TRACK_CHOICE, MainFrame::OnChooseSoundTrack)
    EVT_COMMAND(ID_RANGE_BAR, wxCURRENT_TIME_ARROW_MOVED, MainFrame::OnCurrentArrowMoved)
    EVT_COMMAND(ID_PREVIEW, wxCROP_RECT_CHANGED, MainFrame::OnCropChanged)
    EVT_MENU(ID_MENU_NEW, MainFrame::OnNewMenu)
    EVT_MENU(ID_MENU_INPUT, MainFrame::OnSelectInputFile)
    EVT_MENU(ID_MENU_OUTPUT, MainFrame::OnSelectOutputFile)
    EVT_MENU(ID_MENU_START, MainFrame::OnStart)
    EVT_MENU(ID_MENU_EXIT, MainFrame::OnExit)
    EVT_MENU(ID_MENU_SETTINGS, MainFrame::OnChangeCodecSettings)
    EVT_MENU(ID_MENU_CONTENTS, MainFrame::OnShowHelpContents)
    EVT_MENU(ID_MENU_HOME_PAGE, MainFrame::OnShowHomePage)
    EVT_MENU(wxID_ABOUT, MainFrame::OnAbout)
wxEND_EVENT_TABLE()

MainFrame::MainFrame()
    : wxFrame(nullptr, 0, productName, wxDefaultPosition, wxDefaultSize, wxDEFAULT_FRAME_STYLE)
{
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    wxIcon icon;
    icon.CopyFromBitmap(AppIcon());
    SetIcon(icon);
    CreateControls();
    SetDropTarget(new FileDropTarget(this));
    SetStatusBar(new wxStatusBar(this, wxID_ANY, wxST_SIZEGRIP));
    SetMenuBar(CreateMenuBar());
    SetMinSize(wxSize(870, 620));
    SetSize(wxSize(870, 620));
    m_CodecParams.eCodec = CodecPropsDlg::GetCodecTypeFromIndex(1);
    CodecPropsDlg::DoParamsValidation(m_CodecParams);
    UpdateOutFormatCaption();
}

MainFrame::~MainFrame() = default;

void MainFrame::CreateControls()
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* mainRow = new wxBoxSizer(wxHORIZONTAL);
    top->Add(mainRow, 1, EA, 0);

    auto* left = new wxBoxSizer(wxVERTICAL);
    left->SetMinSize(leftColumnWidth, 0);
    mainRow->Add(left, 0, EA, 0);
    left->Add(CreateInputBox(), 0, EA, 5);
    left->Add(CreateOutputBox(), 1, EA, 5);

    auto* right = new wxBoxSizer(wxVERTICAL);
    mainRow->Add(right, 1, EA, 0);
    right->Add(CreatePreviewBox(), 1, EA, 5);

    top->Add(CreateBottomRow(), 0, EA, 0);
    SetSizer(top);
}

wxSizer* MainFrame::CreateInputBox()
{
    auto* box = new wxStaticBoxSizer(wxHORIZONTAL, this, "Input video");
    box->SetMinSize(120, 160);
    wxWindow* parent = box->GetStaticBox();

    auto* labels = new wxBoxSizer(wxVERTICAL);
    box->Add(labels, 0, EA, 0);
    labels->Add(3, 3, 0, 0, 0);
    labels->Add(new wxStaticText(parent, wxID_ANY, "Input file:"), 0, EA, 5);

    auto* middle = new wxBoxSizer(wxVERTICAL);
    box->Add(middle, 1, EA, 0);
    m_InputFileText = NewPathField(parent, "InputFile");
    middle->Add(m_InputFileText, 0, EA, 5);
    auto* info = new wxBoxSizer(wxHORIZONTAL);
    middle->Add(info, 1, EA, 0);
    auto* captions = new wxBoxSizer(wxVERTICAL);
    info->Add(captions, 1, EA, 5);
    captions->Add(new wxStaticText(parent, wxID_ANY, "Source Video:"), 1, EA, 0);
    captions->Add(new wxStaticText(parent, wxID_ANY, "Source Audio:"), 1, EA, 0);
    auto* values = new wxBoxSizer(wxVERTICAL);
    info->Add(values, 1, EA, 5);
    m_VideoInfoText = NewColumnText(parent, "-", "VideoInfo");
    values->Add(m_VideoInfoText, 1, EA, 0);
    auto* sound = new wxBoxSizer(wxHORIZONTAL);
    values->Add(sound, 1, EA, 0);
    m_AudioInfoText = NewColumnText(parent, "-", "AudioInfo");
    sound->Add(m_AudioInfoText, 1, EA, 0);
    m_SoundTrackChoice = new wxChoice(parent, ID_SOUND_TRACK_CHOICE);
    m_SoundTrackChoice->SetName("SoundTrack");
    m_SoundTrackChoice->Hide();
    sound->Add(m_SoundTrackChoice, 0, wxALIGN_TOP | wxLEFT, 5);

    auto* buttons = new wxBoxSizer(wxVERTICAL);
    box->Add(buttons, 0, EA, 0);
    buttons->Add(NewChooserButton(parent, ID_INPUT_BUTTON, m_InputFileText, "InputButton"), 0, EA, 5);
    return box;
}

wxSizer* MainFrame::CreateOutputBox()
{
    auto* box = new wxStaticBoxSizer(wxVERTICAL, this, "Output video");
    wxWindow* parent = box->GetStaticBox();

    auto* fileRow = new wxBoxSizer(wxHORIZONTAL);
    box->Add(fileRow, 0, EA, 0);
    auto* label = new wxBoxSizer(wxVERTICAL);
    fileRow->Add(label, 0, EA, 0);
    label->Add(new wxStaticText(parent, wxID_ANY, "Output file:"), 0, EA, 5);
    auto* path = new wxBoxSizer(wxVERTICAL);
    fileRow->Add(path, 1, EA, 0);
    m_OutputFileText = NewPathField(parent, "OutputFile");
    path->Add(m_OutputFileText, 0, EA, 5);
    auto* button = new wxBoxSizer(wxVERTICAL);
    fileRow->Add(button, 0, EA, 0);
    button->Add(NewChooserButton(parent, ID_OUTPUT_BUTTON, m_InputFileText, "OutputButton"), 0, EA, 5);

    box->Add(10, 10);
    auto* formatRow = new wxBoxSizer(wxHORIZONTAL);
    box->Add(formatRow, 1, EA, 0);
    auto* families = new wxBoxSizer(wxVERTICAL);
    formatRow->Add(families, 0, EA, 0);
    int count = CodecPropsDlg::GetCountSupportedCodecs();
    m_FamilyRadios.reset(new wxRadioButton*[count]);
    for (int i = 0; i < count; ++i) {
        m_FamilyRadios[i] = new wxRadioButton(parent, ID_FAMILY_RADIO, CodecPropsDlg::GetCodecName(i),
                                              wxDefaultPosition, wxDefaultSize, i == 0 ? wxRB_GROUP : 0);
        m_FamilyRadios[i]->Hide();
        families->Add(m_FamilyRadios[i], 1, EA, 5);
    }
    m_FamilyRadios[0]->SetValue(true);
    m_FormatCaption = NewColumnText(parent, "Format Settings Must Be Here", "FormatCaption");
    formatRow->Add(m_FormatCaption, 1, EA, 10);

    box->Add(10, 10);
    box->Add(new wxButton(parent, ID_SETTINGS_BUTTON, "Change settings..."), 0, wxALIGN_RIGHT | wxALL, 5);
    return box;
}

wxSizer* MainFrame::CreatePreviewBox()
{
    auto* box = new wxStaticBoxSizer(wxVERTICAL, this, "Preview");
    wxWindow* parent = box->GetStaticBox();
    m_CropCtrl = new SelectCropCtrl(parent, ID_PREVIEW, wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator, "Preview");
    ShowStartPicture();
    box->Add(m_CropCtrl, 1, EA, 5);

    auto* timeline = new wxBoxSizer(wxHORIZONTAL);
    box->Add(timeline, 0, EA, 0);
    auto* zoom = new wxBoxSizer(wxVERTICAL);
    timeline->Add(zoom, 0, wxALIGN_CENTER, 0);
    zoom->Add(new wxButton(parent, ID_ZOOM_IN_BUTTON, "Zoom In"), 0, EA, 5);
    zoom->Add(new wxButton(parent, ID_ZOOM_OUT_BUTTON, "100%"), 0, EA, 5);
    m_RangeBar = new RangeBarCtrl(parent, ID_RANGE_BAR, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE,
                                  wxDefaultValidator, "Timeline");
    // The preview follows the current-time arrow while it is dragged.
    m_RangeBar->SetSendEventsOnlyOnEndDrag(false);
    timeline->Add(m_RangeBar, 1, EA, 5);
    return box;
}

wxSizer* MainFrame::CreateBottomRow()
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(10, 10);
    row->Add(new wxHyperlinkCtrl(this, 0, homePage, homePage, wxDefaultPosition, wxDefaultSize,
                                 wxHL_DEFAULT_STYLE),
             0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    row->AddStretchSpacer(1);
    row->Add(new wxButton(this, ID_START_BUTTON, "Start"), 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    return row;
}

wxMenuBar* MainFrame::CreateMenuBar() const
{
    auto* file = new wxMenu;
    file->Append(ID_MENU_NEW, "&New", "");
    file->AppendSeparator();
    file->Append(ID_MENU_INPUT, "&Input File...\tCtrl+O", "");
    file->Append(ID_MENU_OUTPUT, "&Output File...\tCtrl+Shift+S", "");
    file->AppendSeparator();
    file->Append(ID_MENU_START, "&Start\tCtrl+Return", "");
    file->AppendSeparator();
    file->Append(ID_MENU_EXIT, "E&xit\tCtrl+Q", "");
    auto* settings = new wxMenu;
    settings->Append(ID_MENU_SETTINGS, "&Format Settings...", "");
    auto* help = new wxMenu;
    help->Append(ID_MENU_CONTENTS, "&Contents", "");
    help->Append(ID_MENU_HOME_PAGE, "&Home Page", "");
    help->AppendSeparator();
    help->Append(wxID_ABOUT, "&About...", "");
    auto* bar = new wxMenuBar;
    bar->Append(file, "&File");
    bar->Append(settings, "&Settings");
    bar->Append(help, "&Help");
    return bar;
}

void MainFrame::ShowStartPicture()
{
    m_CropCtrl->SetImage(wxBitmap(startLogo_xpm));
    m_CropCtrl->DisableScaleToFit();
    m_CropCtrl->DisableCrop();
}

void MainFrame::OnSelectInputFile(wxCommandEvent&)
{
    wxFileDialog chooser(this, "Select input video file", m_LastFolder,
                         wxFileName(m_InputFileText->GetValue()).GetFullName(), InputFileWildcard(),
                         wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (chooser.ShowModal() == wxID_OK)
        OpenInputFile(chooser.GetPath());
}

bool MainFrame::OpenInputFile(const wxString& path)
{
    if (TryOpenInput(path))
        return true;
    ReportBadInput();
    return false;
}

bool MainFrame::OpenDroppedFiles(const wxArrayString& paths)
{
    for (const wxString& path : paths) {
        if (TryOpenInput(path))
            return true;
    }
    ReportBadInput();
    return false;
}

bool MainFrame::OpenCommandLineFile(const wxString& argument)
{
    wxFileName name(argument);
    name.MakeAbsolute();
    return OpenInputFile(name.GetFullPath());
}

bool MainFrame::TryOpenInput(const wxString& path)
{
    try {
        LoadInput(path);
    } catch (const char* reason) {
        m_InputFailure = InputFailure(reason);
        ResetInput();
        return false;
    } catch (const std::exception& error) {
        m_InputFailure = InputFailure(error.what());
        ResetInput();
        return false;
    }
    m_LastFolder = FolderOf(path);
    if (m_OutputFileText->IsEmpty() || m_OutputProposed) {
        ShowPath(m_OutputFileText, ProposeOutputPath(path, GetFileExtFromCodecID(m_CodecParams.eCodec)));
        m_OutputProposed = true;
    }
    return true;
}

void MainFrame::ReportBadInput()
{
    ShowMessage(m_InputFailure, "Error");
    CodecPropsDlg::DoParamsValidation(m_CodecParams);
    UpdateOutFormatCaption();
}

void MainFrame::LoadInput(const wxString& path)
{
    m_FrameGrabber.reset();
    m_FrameGrabber = std::make_unique<FrameGrabber>(path);
    InputStream input(path.utf8_str(), false, false);
    if (!input.IsVideoPresent())
        throw noVideo;
    m_CropCtrl->EnableCrop();
    m_CropCtrl->EnableScaleToFit();

    double duration = input.GetDuration();
    wxBitmap picture;
    double time = duration * 0.5;
    for (int ask = 0; ask < previewAsks && !picture.IsOk(); ++ask, time *= 0.5)
        picture = m_FrameGrabber->GrabFrame(time);
    if (!picture.IsOk())
        throw "Video is broken";
    m_CropCtrl->SetImage(picture);

    tInputStreamInfo info = input.GetInfo();
    ResetParamsFromInput(info, input.IsAudioPresent());
    ListSoundTracks(input);
    m_AudioInfoText->SetLabel(input.IsAudioPresent()
                                  ? wxString::Format("%i channel(s)\n%iHz", info.channels, info.sampleRate)
                                  : wxString("Audio not present"));
    m_VideoInfoText->SetLabel(wxString::Format("%ix%i, %s fps\n%.2lf sec", info.width, info.height,
                                               FrameRateText(info.frameRate), duration));
    ShowPath(m_InputFileText, path);
    CodecPropsDlg::DoParamsValidation(m_CodecParams);
    UpdateOutFormatCaption();
    m_RangeBar->SetMediaTime(duration);
    m_RangeBar->SetFrameRate(info.frameRate);
}

void MainFrame::ResetParamsFromInput(const tInputStreamInfo& info, bool hasAudio)
{
    m_CodecParams.bAudioEnabled = hasAudio;
    m_CodecParams.iAudioChannels = std::min(info.channels, 2);  // surround only when asked for
    m_CodecParams.iAudioSampleRate = info.sampleRate;
    m_CodecParams.iAudioBitrate = 256000;
    m_CodecParams.iVideoBitrate = 5000000;
    m_CodecParams.iGopSize = 5;
    m_CodecParams.iFps = int(std::lround(info.frameRate));
    m_CodecParams.iSourceFpsNum = info.frameRateNum;
    m_CodecParams.iSourceFpsDen = info.frameRateDen;
    m_CodecParams.iWidth = info.width;
    m_CodecParams.iHeight = info.height;
}

// A file with several sound tracks offers them; the one the export takes is
// chosen to begin with.
void MainFrame::ListSoundTracks(const InputStream& input)
{
    m_SoundTrackChoice->Clear();
    for (const tSoundTrack& track : input.GetSoundTracks()) {
        wxString label = wxString::Format("%d", track.number);
        for (const std::string& part : {track.language, track.title, track.codec})
            if (!part.empty())
                label += ", " + wxString::FromUTF8(part);
        m_SoundTrackChoice->Append(label + wxString::Format(", %d ch", track.channels));
    }
    m_SoundTrackChoice->SetSelection(input.GetSoundTrack() - 1);
    m_SoundTrackChoice->Show(m_SoundTrackChoice->GetCount() > 1);
    m_CodecParams.iAudioTrack = input.GetSoundTrack();
    Layout();
}

void MainFrame::OnChooseSoundTrack(wxCommandEvent&)
{
    m_CodecParams.iAudioTrack = m_SoundTrackChoice->GetSelection() + 1;
}

void MainFrame::ResetInput()
{
    m_SoundTrackChoice->Clear();
    m_SoundTrackChoice->Hide();
    m_CodecParams.iAudioTrack = 0;
    ShowStartPicture();
    ShowPath(m_InputFileText, "");
    m_AudioInfoText->SetLabel("-");
    m_VideoInfoText->SetLabel("-");
    m_FrameGrabber.reset();
    m_RangeBar->ClearMedia();
}

void MainFrame::OnSelectOutputFile(wxCommandEvent&)
{
    wxString ext = GetFileExtFromCodecID(m_CodecParams.eCodec);
    wxString output = m_OutputFileText->GetValue();
    wxString folder = output.empty() ? m_LastFolder : FolderOf(output);
    wxFileDialog chooser(this, "Select output video file", folder, wxFileName(output).GetFullName(),
                         ext + " files (*." + ext + ")|*." + ext + "|All files (*.*)|*.*",
                         wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (chooser.ShowModal() == wxID_OK)
        SetOutputFile(chooser.GetPath());
}

void MainFrame::SetOutputFile(const wxString& path)
{
    if (IsExtExist(path))
        ShowPath(m_OutputFileText, path);
    else
        ShowPath(m_OutputFileText, ReplaceFileExt(path, GetFileExtFromCodecID(m_CodecParams.eCodec)));
    m_OutputProposed = false;
    m_LastFolder = FolderOf(path);
}

void MainFrame::OnChangeCodecSettings(wxCommandEvent&)
{
    CodecPropsDlg dialog(m_CodecParams, true, this, 0, "Select codec parameters", wxDefaultPosition,
                         wxDefaultSize, wxDEFAULT_DIALOG_STYLE, "CodecPropsDlg");
    if (dialog.ShowModal() == wxID_OK)
        ApplyCodecParams(dialog.GetCodecParams());
}

void MainFrame::ApplyCodecParams(const tCodecParams& params)
{
    m_CodecParams = params;
    ReplaceOutputExtension();
    UpdateOutFormatCaption();
}

void MainFrame::OnChangeOutputCodec(wxCommandEvent&)
{
    int index = 0;
    for (int i = 0; i < CodecPropsDlg::GetCountSupportedCodecs(); ++i) {
        if (m_FamilyRadios[i]->GetValue()) {
            index = i;
            break;
        }
    }
    m_CodecParams.eCodec = CodecPropsDlg::GetCodecTypeFromIndex(index);
    CodecPropsDlg::DoParamsValidation(m_CodecParams);
    ReplaceOutputExtension();
    UpdateOutFormatCaption();
}

void MainFrame::ReplaceOutputExtension()
{
    wxString output = m_OutputFileText->GetValue();
    if (!output.empty())
        ShowPath(m_OutputFileText, ReplaceFileExt(output, GetFileExtFromCodecID(m_CodecParams.eCodec)));
}

// A dragged arrow moves faster than large pictures can be made: the moves
// waiting are taken together into one preview, at the arrow's latest time,
// made once the events before it have been handled.
void MainFrame::OnCurrentArrowMoved(wxCommandEvent&)
{
    if (!m_FrameGrabber || m_PreviewPending)
        return;
    m_PreviewPending = true;
    CallAfter(&MainFrame::ShowPreviewAtArrow);
}

void MainFrame::ShowPreviewAtArrow()
{
    m_PreviewPending = false;
    if (!m_FrameGrabber)
        return;
    wxRect crop = m_CropCtrl->GetCropRect();
    wxBitmap picture = m_FrameGrabber->GrabFrame(m_RangeBar->GetCurrentTime());
    m_CropCtrl->SetImage(picture);
    if (picture.IsOk() && crop.width > 0 && crop.height > 0)
        m_CropCtrl->SetCropRect(crop);
}

void MainFrame::OnCropChanged(wxCommandEvent&)
{
    wxSize size = OutputSizeForCrop(wxSize(m_CodecParams.iWidth, m_CodecParams.iHeight),
                                    m_CropCtrl->GetCropRect().GetSize());
    m_CodecParams.iWidth = size.x;
    m_CodecParams.iHeight = size.y;
    CodecPropsDlg::DoParamsValidation(m_CodecParams);
    UpdateOutFormatCaption();
}

void MainFrame::OnNewMenu(wxCommandEvent&)
{
    ShowPath(m_OutputFileText, "");
    m_OutputProposed = false;
    ResetInput();
    m_FamilyRadios[0]->SetValue(true);
    UpdateOutFormatCaption();
}

void MainFrame::OnStart(wxCommandEvent& event)
{
    wxString input = m_InputFileText->GetValue();
    wxString output = m_OutputFileText->GetValue();
    if (input.empty()) {
        OnSelectInputFile(event);
        return;
    }
    if (output.empty()) {
        OnSelectOutputFile(event);
        return;
    }
    // The same file under another name must not be overwritten either.
    if (input == output || IsSameFile(input, output)) {
        ShowMessage("The input and output files are the same file.", "Error");
        return;
    }
    CodecPropsDlg::DoParamsValidation(m_CodecParams);
    double end = m_RangeBar->GetSelectionEnd();
    double start = m_RangeBar->GetSelectionStart();
    wxRect crop = m_CropCtrl->GetCropRect();
    if ((end - start) * av_q2d(OutputFrameRate(m_CodecParams)) < 1.0) {
        ShowMessage(wxString(cantExport) + "\nThe range is shorter than one frame.", "Error");
        return;
    }
    Exporter exporter(this, input, output, m_CodecParams, crop, start, end);
    int result = exporter.Start();
    ReportExport(result, output, exporter);
}

// What the file holds, as read back, goes under the message; a comparison
// that failed makes it a warning, and the file is kept all the same.
void MainFrame::ReportExport(int result, const wxString& output, const Exporter& exporter)
{
    const tExportCheck& check = exporter.GetCheck();
    wxString readBack = wxString::FromUTF8(ExportReportText(check));
    long icon = check.Passed() ? wxICON_INFORMATION : wxICON_WARNING;
    const wxString& reason = exporter.GetReason();
    switch (result) {
    case EXPORT_FAILED:
        ShowMessage(reason.empty() ? wxString(cantExport) : cantExport + ("\n" + reason), "Error");
        break;
    case EXPORT_CANCELED: {
        wxMessageDialog told(nullptr, "Export canceled.", "Message", wxOK | wxCENTRE | icon);
        told.SetExtendedMessage(readBack);
        told.ShowModal();
        break;
    }
    case EXPORT_FINISHED:
        ShowExportFinished("The export has finished. Open the file, or show it in its folder?", output, readBack,
                           icon);
        break;
    }
}

void MainFrame::ShowExportFinished(const wxString& text, const wxString& output, const wxString& readBack,
                                   long icon)
{
    wxMessageDialog ask(this, text, "Export finished", wxYES_NO | wxCANCEL | wxYES_DEFAULT | icon);
    ask.SetExtendedMessage(readBack);
    ask.SetYesNoCancelLabels("&Open", "Show in &Folder", "&Close");
    switch (ask.ShowModal()) {
    case wxID_YES:
        OpenFileInApplication(output);
        break;
    case wxID_NO:
        ShowFileInFolder(output);
        break;
    }
}

void MainFrame::OnExit(wxCommandEvent&)
{
    Destroy();
}

void MainFrame::OnZoomInRangeBar(wxCommandEvent&)
{
    m_RangeBar->FitToSelection();
}

void MainFrame::OnZoomOutRangeBar(wxCommandEvent&)
{
    m_RangeBar->FitToMediaTime();
}

void MainFrame::OnAbout(wxCommandEvent&)
{
    wxString title = wxString("About ") + productName;
    AboutBox about(productName, productVersion, homePage, AppIcon(32), this, 0, title, wxDefaultPosition,
                   wxDefaultSize, wxDEFAULT_DIALOG_STYLE, "AboutBox");
    about.ShowModal();
}

void MainFrame::OnShowHelpContents(wxCommandEvent&)
{
    wxString guide = UserGuidePath();
    if (guide.empty())
        ShowMessage("The user guide is not installed.", "Error");
    else
        wxLaunchDefaultBrowser(wxFileName::FileNameToURL(guide), 0);
}

wxString MainFrame::UserGuidePath()
{
    wxFileName program(wxStandardPaths::Get().GetExecutablePath());
    const wxString places[] = {
        program.GetPath() + "/" TELLAVOX_GUIDE_FROM_PROGRAM,
        wxString::FromUTF8(TELLAVOX_SOURCE_DIR "/docs/guide/index.html"),  // run from a build folder
    };
    for (const wxString& place : places) {
        wxFileName guide(place);
        guide.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
        if (guide.FileExists())
            return guide.GetFullPath();
    }
    return wxString();
}

void MainFrame::OnShowHomePage(wxCommandEvent&)
{
    wxLaunchDefaultBrowser(homePage, 0);
}

void MainFrame::UpdateOutFormatCaption()
{
    m_FormatCaption->SetLabel(FormatCaption());
    if (GetSizer())
        GetSizer()->Layout();
}

wxString MainFrame::FormatCaption() const
{
    if (!m_FrameGrabber)
        return noInputHint;
    const tCodecParams& p = m_CodecParams;
    wxString text = "Video settings:\n";
    text += wxString::Format("  Format: %s, %s video\n", GetFileExtFromCodecID(p.eCodec),
                             ProfileCodecs(p.eCodec).videoName);
    text += wxString::Format("  Resolution: %ix%i\n", p.iWidth, p.iHeight);
    text += CropCaption();
    text += "  FPS: " + FrameRateText(av_q2d(OutputFrameRate(p))) + "\n";
    text += wxString::Format("  Bitrate: %iKb/s\n", p.iVideoBitrate / 1000);
    text += wxString::Format("  Quality: %i\n\n", 20 - p.iGopSize);
    if (!p.bAudioEnabled)
        return text + "Audio not present\n";
    text += "Audio settings:\n";
    text += "  Samples Per Second: " + SampleRateText(p.iAudioSampleRate) + "\n";
    text += wxString::Format("  Bitrate: %iKb/s\n", p.iAudioBitrate / 1000);
    text += p.iAudioChannels >= 2 ? "  stereo\n" : "  mono\n";
    return text;
}

// The crop's size, and a warning when the output size does not keep its
// proportions, since the picture is then stretched.
wxString MainFrame::CropCaption() const
{
    wxSize crop = m_CropCtrl->GetCropRect().GetSize();
    if (crop.x <= 0 || crop.y <= 0)
        return wxString();
    wxString text = wxString::Format("  Crop: %ix%i", crop.x, crop.y);
    if (IsStretched(crop, wxSize(m_CodecParams.iWidth, m_CodecParams.iHeight)))
        text += " (stretched)";
    return text + "\n";
}
