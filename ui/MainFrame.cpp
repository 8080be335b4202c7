#include "ui/MainFrame.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <exception>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/hyperlink.h>
#include <wx/icon.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/process.h>
#include <wx/radiobut.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/stdpaths.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>
#include <wx/utils.h>

#include "controls/ImageViewCtrl.h"
#include "controls/RangeBarCtrl.h"
#include "controls/SelectCropCtrl.h"
#include "media/ContainerProfiles.h"
#include "media/InputStream.h"
#include "media/PacketSource.h"
#include "media/PictureColour.h"
#include "pipeline/ExportReport.h"
#include "pipeline/Filmstrip.h"
#include "pipeline/FrameGrabber.h"
#include "pipeline/ImageHelpers.h"
#include "pipeline/Player.h"
#include "resources/AppImages.h"
#include "ui/AboutBox.h"
#include "helpers/Helpers.h"
#include "ui/Exporter.h"
#include "ui/FileDropTarget.h"
#include "ui/OutputSize.h"
#include "ui/QueuePanel.h"
#include "ui/StopSignals.h"
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
    ID_KEEP_FIELDS = 1010,
    ID_SOUND_TRACK_CHOICE = 1011,
    ID_PRESET_CHOICE = 1020,
    ID_SAVE_PRESET_BUTTON = 1021,
    ID_REST_TIMER = 1012,
    ID_MENU_NEW = 2000,
    ID_MENU_INPUT = 2001,
    ID_MENU_OUTPUT = 2002,
    ID_MENU_START = 2003,
    ID_MENU_EXIT = 2004,
    ID_MENU_SETTINGS = 2005,
    ID_MENU_CONTENTS = 2006,
    ID_MENU_HOME_PAGE = 2007,
    ID_QUEUE_BUTTON = 1100,
    ID_MENU_ADD_TO_QUEUE = 2100,
    ID_MENU_ADD_FILES_TO_QUEUE = 2101,
    ID_MENU_SHOW_QUEUE = 2102,
    ID_MENU_PLAY = 2008,
    ID_MENU_PLAY_RANGE = 2009,
    ID_MENU_STEP_BACK = 2010,
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
// How long a dragged arrow rests before its exact picture is made.
const int restMilliseconds = 120;
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

// FFmpeg's codec names as people know them.
wxString CodecName(const char* ffmpegName)
{
    static const std::map<std::string, const char*> known = {
        {"h264", "H.264"}, {"hevc", "H.265"}, {"mpeg1video", "MPEG-1"}, {"mpeg2video", "MPEG-2"},
        {"mpeg4", "MPEG-4"}, {"ac3", "AC-3"}, {"eac3", "E-AC-3"}, {"opus", "Opus"}, {"vorbis", "Vorbis"}};
    auto found = known.find(ffmpegName);
    return found != known.end() ? wxString(found->second) : wxString(ffmpegName).Upper();
}

wxString ChannelsText(int channels)
{
    switch (channels) {
    case 1: return "mono";
    case 2: return "stereo";
    case 6: return "5.1";
    case 8: return "7.1";
    default: return wxString::Format("%i channels", channels);
    }
}

// "12.88 s", "3:05.40", "1:02:03.00".
wxString DurationCaption(double seconds)
{
    long long hundredths = std::llround(std::max(0.0, seconds) * 100);
    long long minutes = hundredths / 6000, hours = minutes / 60;
    double rest = (hundredths % 6000) / 100.0;
    if (hours > 0)
        return wxString::Format("%lld:%02lld:%05.2f", hours, minutes % 60, rest);
    if (minutes > 0)
        return wxString::Format("%lld:%05.2f", minutes, rest);
    return wxString::Format("%.2f s", rest);
}

// "H.264, 720x480 shown as 854x480, 29.97 fps, 0:19.99, interlaced".
wxString PictureText(const tInputStreamInfo& info, double duration)
{
    wxString text = CodecName(info.videoCodec) + wxString::Format(", %ix%i", info.width, info.height);
    if (info.displayWidth != info.width || info.displayHeight != info.height)
        text += wxString::Format(" shown as %ix%i", info.displayWidth, info.displayHeight);
    text += ", " + FrameRateText(info.frameRate) + " fps, " + DurationCaption(duration);
    if (info.interlaced)
        text += ", interlaced";
    wxString hdr = PictureColour::HdrName(info);
    return hdr.empty() ? text : text + ", " + hdr;
}

wxString SoundText(const tInputStreamInfo& info)
{
    return CodecName(info.audioCodec) + ", " + SampleRateText(info.sampleRate) + ", " + ChannelsText(info.channels);
}

wxString FolderOf(const wxString& path)
{
    return path.empty() ? wxString() : wxFileName(path).GetPath();
}

// The next free name after `path`: "name (n).ext", counting on from a
// "(n)" the name already has.
wxString NextFreeName(const wxString& path)
{
    wxFileName name(path);
    wxString stem = name.GetName();
    if (stem.EndsWith(")") && stem.Contains(" (")) {
        wxString counter = stem.AfterLast('(').BeforeLast(')');
        if (!counter.empty() && counter.IsNumber())
            stem = stem.BeforeLast('(').RemoveLast();
    }
    name.SetName(stem);
    return ProposeOutputPath(name.GetFullPath(), name.GetExt());
}

// The desktop's opener run on a file or folder; a message says so when it
// cannot be run or finds no program for it.
class DesktopOpener : public wxProcess {
public:
    static void Open(const wxString& target, const wxString& failure)
    {
        auto* opener = new DesktopOpener(failure);
        const wchar_t* command[] = {L"xdg-open", target.wc_str(), nullptr};
        if (wxExecute(command, wxEXEC_ASYNC, opener) <= 0) {
            delete opener;
            ShowMessage(failure, "Error");
        }
    }

    void OnTerminate(int, int status) override
    {
        if (status != 0) {
            wxString failure = m_Failure;
            wxTheApp->CallAfter([failure] { ShowMessage(failure, "Error"); });
        }
        delete this;
    }

private:
    explicit DesktopOpener(const wxString& failure) : m_Failure(failure) {}
    wxString m_Failure;
};

// How the video's bits are spent.
wxString RateCaption(const tCodecParams& p)
{
    if (p.bCopyVideo)
        return "  Copied as it is\n";
    if (p.eVideoRate == VR_QUALITY)
        return wxString::Format("  Quality: %i (constant)\n", p.iQuality);
    if (p.eVideoRate == VR_TARGET_SIZE)
        return wxString::Format("  Target size: %g MB\n", p.iTargetKB / 1000.0);
    return wxString::Format("  Bitrate: %iKb/s\n", p.iVideoBitrate / 1000);
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
    EVT_COMMAND(ID_RANGE_BAR, wxCURRENT_TIME_ARROW_MOVED, MainFrame::OnArrowMoved)
    EVT_COMMAND(ID_RANGE_BAR, wxBEGIN_TIME_ARROW_MOVED, MainFrame::OnArrowMoved)
    EVT_COMMAND(ID_RANGE_BAR, wxEND_TIME_ARROW_MOVED, MainFrame::OnArrowMoved)
    EVT_CHOICE(ID_SOUND_TRACK_CHOICE, MainFrame::OnChooseSoundTrack)
    EVT_COMMAND(ID_PREVIEW, wxCROP_RECT_CHANGED, MainFrame::OnCropChanged)
    EVT_CHECKBOX(ID_KEEP_FIELDS, MainFrame::OnKeepFields)
    EVT_CHOICE(ID_PRESET_CHOICE, MainFrame::OnChoosePreset)
    EVT_BUTTON(ID_SAVE_PRESET_BUTTON, MainFrame::OnSavePreset)
    EVT_MENU(ID_MENU_NEW, MainFrame::OnNewMenu)
    EVT_MENU(ID_MENU_INPUT, MainFrame::OnSelectInputFile)
    EVT_MENU(ID_MENU_OUTPUT, MainFrame::OnSelectOutputFile)
    EVT_MENU(ID_MENU_START, MainFrame::OnStart)
    EVT_MENU(ID_MENU_EXIT, MainFrame::OnExit)
    EVT_MENU(ID_MENU_SETTINGS, MainFrame::OnChangeCodecSettings)
    EVT_MENU(ID_MENU_CONTENTS, MainFrame::OnShowHelpContents)
    EVT_MENU(ID_MENU_HOME_PAGE, MainFrame::OnShowHomePage)
    EVT_MENU(wxID_ABOUT, MainFrame::OnAbout)
    EVT_BUTTON(ID_QUEUE_BUTTON, MainFrame::OnAddToQueue)
    EVT_MENU(ID_MENU_ADD_TO_QUEUE, MainFrame::OnAddToQueue)
    EVT_MENU(ID_MENU_ADD_FILES_TO_QUEUE, MainFrame::OnAddFilesToQueue)
    EVT_MENU(ID_MENU_SHOW_QUEUE, MainFrame::OnShowQueue)
    EVT_MENU(ID_MENU_PLAY, MainFrame::OnPlayPause)
    EVT_MENU(ID_MENU_PLAY_RANGE, MainFrame::OnPlayRange)
    EVT_MENU(ID_MENU_STEP_BACK, MainFrame::OnStepBack)
    EVT_CHAR_HOOK(MainFrame::OnPlaybackKey)
    EVT_TIMER(ID_REST_TIMER, MainFrame::OnMouseRested)
wxEND_EVENT_TABLE()

MainFrame::MainFrame()
    : wxFrame(nullptr, 0, productName, wxDefaultPosition, wxDefaultSize, wxDEFAULT_FRAME_STYLE),
      m_RestTimer(this, ID_REST_TIMER)
{
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    wxIcon icon;
    icon.CopyFromBitmap(AppIcon());
    SetIcon(icon);
    CreateControls();
    SetDropTarget(new FileDropTarget(this));
    SetStatusBar(new wxStatusBar(this, wxID_ANY, wxST_SIZEGRIP));
    SetMenuBar(CreateMenuBar());
    CreateQueueWindow();
    SetMinSize(wxSize(870, 620));
    SetSize(wxSize(870, 620));
    m_CodecParams = ProposeForSource(OC_MP4, m_Source);
    UpdateOutFormatCaption();
    LoadUserPresets();
}

MainFrame::~MainFrame() = default;

void MainFrame::CreateControls()
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(CreateInputBox(), 0, EA, 5);
    auto* mainRow = new wxBoxSizer(wxHORIZONTAL);
    top->Add(mainRow, 1, EA, 0);

    auto* left = new wxBoxSizer(wxVERTICAL);
    left->SetMinSize(leftColumnWidth, 0);
    mainRow->Add(left, 0, EA, 0);
    left->Add(CreateOutputBox(), 1, EA, 5);

    auto* right = new wxBoxSizer(wxVERTICAL);
    mainRow->Add(right, 1, EA, 0);
    right->Add(CreatePreviewBox(), 1, EA, 5);

    top->Add(CreateBottomRow(), 0, EA, 0);
    SetSizer(top);
}

wxSizer* MainFrame::CreateInputBox()
{
    auto* box = new wxStaticBoxSizer(wxVERTICAL, this, "Input video");
    wxWindow* parent = box->GetStaticBox();

    auto* fileRow = new wxBoxSizer(wxHORIZONTAL);
    box->Add(fileRow, 0, wxEXPAND);
    fileRow->Add(new wxStaticText(parent, wxID_ANY, "Input file:"), 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    m_InputFileText = NewPathField(parent, "InputFile");
    fileRow->Add(m_InputFileText, 1, EA, 5);
    fileRow->Add(NewChooserButton(parent, ID_INPUT_BUTTON, m_InputFileText, "InputButton"), 0, EA, 5);

    // One line each for the picture and the sound, across the window, with
    // a control of its own at the end of each.
    auto* info = new wxFlexGridSizer(3, 2, 10);
    info->AddGrowableCol(1);
    box->Add(info, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 5);
    info->Add(new wxStaticText(parent, wxID_ANY, "Picture:"), 0, wxALIGN_CENTER_VERTICAL);
    m_VideoInfoText = NewColumnText(parent, "-", "VideoInfo");
    info->Add(m_VideoInfoText, 1, wxEXPAND | wxALIGN_CENTER_VERTICAL);
    auto* keepFields = new wxCheckBox(parent, ID_KEEP_FIELDS, "Keep interlaced fields", wxDefaultPosition,
                                      wxDefaultSize, 0, wxDefaultValidator, "KeepFields");
    keepFields->SetToolTip("Interlaced sources are written with their two fields as they are, not deinterlaced.");
    info->Add(keepFields, 0, wxALIGN_CENTER_VERTICAL);
    info->Add(new wxStaticText(parent, wxID_ANY, "Sound:"), 0, wxALIGN_CENTER_VERTICAL);
    m_AudioInfoText = NewColumnText(parent, "-", "AudioInfo");
    info->Add(m_AudioInfoText, 1, wxEXPAND | wxALIGN_CENTER_VERTICAL);
    m_SoundTrackChoice = new wxChoice(parent, ID_SOUND_TRACK_CHOICE);
    m_SoundTrackChoice->SetName("SoundTrack");
    m_SoundTrackChoice->Hide();
    info->Add(m_SoundTrackChoice, 0, wxALIGN_CENTER_VERTICAL);
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
    box->Add(CreatePresetRows(parent), 0, EA, 0);
    return box;
}

wxSizer* MainFrame::CreatePresetRows(wxWindow* parent)
{
    auto* rows = new wxBoxSizer(wxVERTICAL);
    auto* choiceRow = new wxBoxSizer(wxHORIZONTAL);
    rows->Add(choiceRow, 0, EA, 0);
    choiceRow->Add(new wxStaticText(parent, wxID_ANY, "Preset:"), 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    m_PresetChoice = new wxChoice(parent, ID_PRESET_CHOICE, wxDefaultPosition, wxDefaultSize, 0, nullptr, 0,
                                  wxDefaultValidator, "Preset");
    // The longest names must not widen the left column.
    m_PresetChoice->SetMinSize(wxSize(1, -1));
    choiceRow->Add(m_PresetChoice, 1, EA, 5);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    rows->Add(buttons, 0, wxALIGN_RIGHT, 0);
    buttons->Add(new wxButton(parent, ID_SAVE_PRESET_BUTTON, "Save as preset..."), 0, wxALL, 5);
    buttons->Add(new wxButton(parent, ID_SETTINGS_BUTTON, "Change settings..."), 0, wxALL, 5);
    return rows;
}

void MainFrame::LoadUserPresets()
{
    tPresetsRead read = ReadPresets(UserPresetsPath());
    m_UserPresets = read.presets;
    ListPresets(m_PresetChoice->GetStringSelection());
    if (!read.problem.empty())
        SetStatusText(wxString::FromUTF8("The presets file " + UserPresetsPath() + " is damaged, " + read.problem +
                                         "; its other presets are listed."));
}

void MainFrame::ListPresets(const wxString& selected)
{
    m_PresetChoice->Clear();
    m_PresetChoice->Append("Custom");
    std::vector<tPreset> presets = BuiltInPresets();
    presets.insert(presets.end(), m_UserPresets.begin(), m_UserPresets.end());
    for (const tPreset& preset : presets)
        m_PresetChoice->Append(wxString::FromUTF8(preset.name));
    if (!m_PresetChoice->SetStringSelection(selected))
        m_PresetChoice->SetSelection(0);
}

void MainFrame::OnChoosePreset(wxCommandEvent&)
{
    ApplyChosenPreset();
}

// A preset replaces the output's settings in one step, and is applied again
// to each input opened while it is chosen; the input's own choices (its
// sound track, its fields) stay.
void MainFrame::ApplyChosenPreset()
{
    const tPreset* preset = FindPreset(m_UserPresets, m_PresetChoice->GetStringSelection().utf8_string());
    if (!preset)
        return;
    tCodecParams params = ApplyPreset(*preset, ProposalSource());
    params.iAudioTrack = m_CodecParams.iAudioTrack;
    params.bKeepInterlaced = m_CodecParams.bKeepInterlaced;
    m_CodecParams = params;
    ReplaceOutputExtension();
    UpdateOutFormatCaption();
}

void MainFrame::OnSavePreset(wxCommandEvent&)
{
    const tOutputFormat& format = OutputFormat(m_CodecParams.eCodec);
    wxString proposed = wxString::Format("%s, %i lines", format.label, m_CodecParams.iHeight);
    wxTextEntryDialog ask(this, "Name of the preset:", "Save as preset", proposed);
    if (ask.ShowModal() != wxID_OK)
        return;
    std::string name = ask.GetValue().Trim().Trim(false).utf8_string();
    if (name.empty())
        return;
    for (const tPreset& builtIn : BuiltInPresets()) {
        if (builtIn.name == name) {
            ShowMessage("A built-in preset has this name; choose another.", "Message");
            return;
        }
    }
    try {
        SaveUserPreset(UserPresetsPath(), PresetFromRecord(name, m_CodecParams));
    } catch (const char* reason) {
        ShowMessage("Can't save the preset.\n" + wxString::FromUTF8(reason), "Error");
        return;
    }
    m_UserPresets = ReadPresets(UserPresetsPath()).presets;
    ListPresets(wxString::FromUTF8(name));
}

wxSizer* MainFrame::CreatePreviewBox()
{
    auto* box = new wxStaticBoxSizer(wxVERTICAL, this, "Preview");
    wxWindow* parent = box->GetStaticBox();
    m_CropCtrl = new SelectCropCtrl(parent, ID_PREVIEW, wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator, "Preview");
    // The bars beside a picture of another shape follow the theme, a shade darker.
    m_CropCtrl->SetBGColor(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE).ChangeLightness(85));
    ShowStartPicture();
    box->Add(m_CropCtrl, 1, EA, 5);

    auto* timeline = new wxBoxSizer(wxHORIZONTAL);
    box->Add(timeline, 0, EA, 0);
    auto* zoom = new wxBoxSizer(wxVERTICAL);
    timeline->Add(zoom, 0, wxALIGN_CENTER, 0);
    zoom->Add(new wxButton(parent, ID_ZOOM_IN_BUTTON, "Zoom In"), 0, EA, 5);
    zoom->Add(new wxButton(parent, ID_ZOOM_OUT_BUTTON, "Zoom Out"), 0, EA, 5);
    m_ZoomSpanText = new wxStaticText(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                      wxALIGN_CENTRE_HORIZONTAL, "ZoomSpan");
    zoom->Add(m_ZoomSpanText, 0, EA, 5);
    m_RangeBar = new RangeBarCtrl(parent, ID_RANGE_BAR, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE,
                                  wxDefaultValidator, "Timeline");
    // The preview follows every arrow while it is dragged.
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
    row->Add(new wxButton(this, ID_QUEUE_BUTTON, "Add to queue", wxDefaultPosition, wxDefaultSize, 0,
                          wxDefaultValidator, "AddToQueue"),
             0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
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
    auto* play = new wxMenu;
    play->Append(ID_MENU_PLAY, "&Play / Pause (Space, L / K)", "");
    play->Append(ID_MENU_PLAY_RANGE, "Play the &Range (Shift+Space)", "");
    play->Append(ID_MENU_STEP_BACK, "Step &Back (J)", "");
    auto* settings = new wxMenu;
    settings->Append(ID_MENU_SETTINGS, "&Format Settings...", "");
    auto* help = new wxMenu;
    help->Append(ID_MENU_CONTENTS, "&Contents", "");
    help->Append(ID_MENU_HOME_PAGE, "&Home Page", "");
    help->AppendSeparator();
    help->Append(wxID_ABOUT, "&About...", "");
    auto* bar = new wxMenuBar;
    bar->Append(file, "&File");
    bar->Append(play, "&Play");
    bar->Append(settings, "&Settings");
    bar->Append(CreateQueueMenu(), "&Queue");
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

// A file that does not open leaves the window as it was.
bool MainFrame::TryOpenInput(const wxString& path)
{
    try {
        LoadInput(path);
    } catch (const char* reason) {
        m_InputFailure = InputFailure(reason);
        return false;
    } catch (const std::exception& error) {
        m_InputFailure = InputFailure(error.what());
        return false;
    }
    m_LastFolder = FolderOf(path);
    ProposeOutput(path);
    return true;
}

// The input's own name, unused, in the folder the user last chose for an
// output (or the input's own).
void MainFrame::ProposeOutput(const wxString& input)
{
    wxFileName name(input);
    if (!m_OutputFolder.empty())
        name.SetPath(m_OutputFolder);
    ShowPath(m_OutputFileText, ProposeOutputPath(name.GetFullPath(), GetFileExtFromCodecID(m_CodecParams.eCodec)));
    m_ReplaceAgreed.clear();
}

void MainFrame::ReportBadInput()
{
    ShowMessage(m_InputFailure, "Error");
    m_CodecParams = NormaliseForFormat(m_CodecParams);
    UpdateOutFormatCaption();
}

// Everything that may fail comes before the window takes the input.
void MainFrame::LoadInput(const wxString& path)
{
    auto grabber = std::make_unique<FrameGrabber>(path, m_CodecParams.bKeepInterlaced);
    InputStream input(path.utf8_str(), false, false);
    if (!input.IsVideoPresent())
        throw noVideo;
    double duration = input.GetDuration();
    wxBitmap picture;
    double time = duration * 0.5;
    for (int ask = 0; ask < previewAsks && !picture.IsOk(); ++ask, time *= 0.5)
        picture = grabber->GrabFrame(time);
    if (!picture.IsOk())
        throw "Video is broken";

    m_Player.reset();
    m_FrameGrabber = std::move(grabber);
    m_CropCtrl->EnableCrop();
    m_CropCtrl->EnableScaleToFit();
    tInputStreamInfo info = input.GetInfo();
    m_SourcePixels = wxSize(info.width, info.height);
    m_ShownPixels = wxSize(info.displayWidth, info.displayHeight);
    m_CropCtrl->SetImage(picture, m_SourcePixels);

    m_Source = DescribeSource(info, input.IsAudioPresent());
    bool keepFields = m_CodecParams.bKeepInterlaced;
    m_CodecParams = ProposeForSource(m_CodecParams.eCodec, m_Source);
    m_CodecParams.bKeepInterlaced = keepFields;
    ApplyChosenPreset();
    ListSoundTracks(input);
    m_AudioInfoText->SetLabel(input.IsAudioPresent() ? SoundText(info) : wxString("none"));
    m_VideoInfoText->SetLabel(PictureText(info, duration));
    ShowPath(m_InputFileText, path);
    UpdateOutFormatCaption();
    m_RangeBar->SetMediaTime(duration);
    m_RangeBar->SetFrameRate(info.frameRate);
    ShowFilmstrip(path);
    UpdateZoomSpan();
}

tSourceDescription MainFrame::ProposalSource() const
{
    wxSize crop = m_CropCtrl->GetCropRect().GetSize();
    if (crop.x > 0 && crop.y > 0)
        return CropSource(m_Source, crop.x, crop.y);
    return m_Source;
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

// The sound line describes the track chosen.
void MainFrame::OnChooseSoundTrack(wxCommandEvent&)
{
    m_CodecParams.iAudioTrack = m_SoundTrackChoice->GetSelection() + 1;
    m_Player.reset();  // it plays the track chosen
    try {
        InputStream track(m_InputFileText->GetValue().utf8_str(), false, true, m_CodecParams.iAudioTrack);
        m_AudioInfoText->SetLabel(SoundText(track.GetInfo()));
    } catch (const char*) {
        m_AudioInfoText->SetLabel("-");  // the export will say why it cannot take it
    } catch (const std::exception&) {
        m_AudioInfoText->SetLabel("-");
    }
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
    m_Player.reset();
    m_FrameGrabber.reset();
    m_SourcePixels = wxSize();
    m_ShownPixels = wxSize();
    m_RangeBar->ClearMedia();
    UpdateZoomSpan();
}

void MainFrame::OnSelectOutputFile(wxCommandEvent&)
{
    wxString ext = GetFileExtFromCodecID(m_CodecParams.eCodec);
    wxString output = m_OutputFileText->GetValue();
    wxString folder = output.empty() ? m_LastFolder : FolderOf(output);
    wxFileDialog chooser(this, "Select output video file", folder, wxFileName(output).GetFullName(),
                         ext + " files (*." + ext + ")|*." + ext + "|All files (*.*)|*.*",
                         wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (chooser.ShowModal() != wxID_OK)
        return;
    SetOutputFile(chooser.GetPath());
    // The chooser asked before it gave an existing file's name.
    if (m_OutputFileText->GetValue() == chooser.GetPath() && wxFileExists(chooser.GetPath()))
        m_ReplaceAgreed = chooser.GetPath();
}

void MainFrame::SetOutputFile(const wxString& path)
{
    if (IsExtExist(path))
        ShowPath(m_OutputFileText, path);
    else
        ShowPath(m_OutputFileText, ReplaceFileExt(path, GetFileExtFromCodecID(m_CodecParams.eCodec)));
    m_LastFolder = FolderOf(path);
    m_OutputFolder = m_LastFolder;
    m_ReplaceAgreed.clear();
}

void MainFrame::OnChangeCodecSettings(wxCommandEvent&)
{
    CodecPropsDlg dialog(m_CodecParams, true, this, 0, "Select codec parameters", wxDefaultPosition,
                         wxDefaultSize, wxDEFAULT_DIALOG_STYLE, "CodecPropsDlg");
    dialog.SetSource(ProposalSource());
    if (dialog.ShowModal() == wxID_OK)
        ApplyCodecParams(dialog.GetCodecParams());
}

void MainFrame::ApplyCodecParams(const tCodecParams& params)
{
    m_CodecParams = params;
    m_PresetChoice->SetSelection(0);
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
    m_CodecParams = ProposeForSource(CodecPropsDlg::GetCodecTypeFromIndex(index), ProposalSource());
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
void MainFrame::OnArrowMoved(wxCommandEvent& event)
{
    if (event.GetEventType() == wxBEGIN_TIME_ARROW_MOVED)
        m_PreviewTime = m_RangeBar->GetSelectionStart();
    else if (event.GetEventType() == wxEND_TIME_ARROW_MOVED)
        m_PreviewTime = m_RangeBar->GetSelectionEnd();
    else
        m_PreviewTime = m_RangeBar->GetCurrentTime();
    if (m_Player)
        m_Player->Stop();
    if (!m_FrameGrabber)
        return;
    // While dragging, a picture from the strip shows at once.
    if (m_RangeBar->IsDragging() && ShowApproximatePicture()) {
        m_RestTimer.StartOnce(restMilliseconds);
        return;
    }
    if (m_PreviewPending)
        return;
    m_PreviewPending = true;
    CallAfter(&MainFrame::ShowPreviewAtArrow);
}

void MainFrame::ShowPreviewAtArrow()
{
    m_PreviewPending = false;
    if (!m_FrameGrabber)
        return;
    m_RestTimer.Stop();
    ShowPicture(m_FrameGrabber->GrabFrame(m_PreviewTime));
}

// Any picture of the source, whatever its size, keeps the crop drawn on it.
void MainFrame::ShowPicture(const wxBitmap& picture)
{
    wxRect crop = m_CropCtrl->GetCropRect();
    m_CropCtrl->SetImage(picture, m_SourcePixels);
    if (picture.IsOk() && crop.width > 0 && crop.height > 0)
        m_CropCtrl->SetCropRect(crop);
}

void MainFrame::OnCropChanged(wxCommandEvent&)
{
    wxSize size = OutputSizeForCrop(wxSize(m_CodecParams.iWidth, m_CodecParams.iHeight), ShownCropSize());
    m_CodecParams.iWidth = size.x;
    m_CodecParams.iHeight = size.y;
    m_CodecParams = NormaliseForFormat(m_CodecParams);
    UpdateOutFormatCaption();
}

void MainFrame::OnKeepFields(wxCommandEvent& event)
{
    m_CodecParams.bKeepInterlaced = event.IsChecked();
    if (!m_FrameGrabber)
        return;
    m_FrameGrabber = std::make_unique<FrameGrabber>(m_InputFileText->GetValue(), m_CodecParams.bKeepInterlaced);
    ShowPreviewAtArrow();
}

void MainFrame::OnNewMenu(wxCommandEvent&)
{
    ShowPath(m_OutputFileText, "");
    m_ReplaceAgreed.clear();
    ResetInput();
    m_FamilyRadios[0]->SetValue(true);
    UpdateOutFormatCaption();
}

void MainFrame::OnStart(wxCommandEvent& event)
{
    tExportOrder order;
    if (!PrepareOrder(event, order))
        return;
    if (m_Player)
        m_Player->Stop();
    wxString output = wxString::FromUTF8(order.output);
    if (!ConfirmReplace(output))
        return;
    order.output = output.utf8_string();
    Exporter exporter(this, order);
    int result = exporter.Start();
    m_ReplaceAgreed.clear();  // the file is now the export, and the next one asks again
    if (!StopSignals::Caught())
        ReportExport(result, output, exporter);
}

bool MainFrame::PrepareOrder(wxCommandEvent& event, tExportOrder& order)
{
    wxString input = m_InputFileText->GetValue();
    wxString output = m_OutputFileText->GetValue();
    if (input.empty()) {
        OnSelectInputFile(event);
        return false;
    }
    if (output.empty()) {
        OnSelectOutputFile(event);
        return false;
    }
    if (auto* keepFields = wxDynamicCast(FindWindow(ID_KEEP_FIELDS), wxCheckBox))
        m_CodecParams.bKeepInterlaced = keepFields->GetValue();
    m_CodecParams = NormaliseForFormat(m_CodecParams);
    ShowCopyStart();
    order = {input.utf8_string(), output.utf8_string(), m_CodecParams, m_CropCtrl->GetCropRect(),
             m_RangeBar->GetSelectionStart(), m_RangeBar->GetSelectionEnd()};
    if ((order.end - order.start) * av_q2d(OutputFrameRate(m_CodecParams)) < 1.0) {
        ShowMessage(wxString(cantExport) + "\nThe range is shorter than one frame.", "Error");
        return false;
    }
    try {
        ExportJob::CheckOrder(order);
    } catch (const char* reason) {
        ShowMessage(cantExport + ("\n" + wxString::FromUTF8(reason)), "Error");
        return false;
    }
    return true;
}

// Copied pictures start at the key frame at or before the chosen start: the
// range's start arrow moves there, so the range shows what the file holds.
void MainFrame::ShowCopyStart()
{
    if (!m_CodecParams.bCopyVideo || !m_RangeBar->HasMedia())
        return;
    try {
        PacketSource source(m_InputFileText->GetValue().utf8_str(), 0, false);
        m_RangeBar->SetSelection(source.StartAt(m_RangeBar->GetSelectionStart()), m_RangeBar->GetSelectionEnd());
    } catch (const char*) {
        // The export itself tells why the file can't be read.
    } catch (const std::exception&) {
    }
}

// Before an export replaces a file, the user says whether it may, or takes
// the next free name instead (shown as the output from then on); false
// when the user cancels.
bool MainFrame::ConfirmReplace(wxString& output)
{
    if (!wxFileName::Exists(output, wxFILE_EXISTS_ANY | wxFILE_EXISTS_NO_FOLLOW) || output == m_ReplaceAgreed)
        return true;
    wxFileName name(output);
    wxString free = NextFreeName(output);
    wxMessageDialog ask(this, L"\u201c" + name.GetFullName() + L"\u201d already exists. Replace it?", "Replace file?",
                        wxYES_NO | wxCANCEL | wxNO_DEFAULT | wxICON_QUESTION);
    ask.SetExtendedMessage("Replacing it overwrites what it holds once the export has finished. The folder is " +
                           name.GetPath() + ".");
    ask.SetYesNoCancelLabels("&Replace", L"Use \u201c" + wxFileName(free).GetFullName() + L"\u201d", "Cancel");
    switch (ask.ShowModal()) {
    case wxID_YES:
        return true;
    case wxID_NO:
        output = free;
        ShowPath(m_OutputFileText, output);
        return true;
    default:
        return false;
    }
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
        wxMessageDialog told(this, "Export canceled.", "Export canceled", wxOK | wxCENTRE | icon);
        told.SetExtendedMessage(check.bOpened ? readBack
                                              : wxString("Nothing was written; any earlier file of that name is as it was."));
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
        DesktopOpener::Open(output, "Can't open the file: no program to open it was found.");
        break;
    case wxID_NO:
        DesktopOpener::Open(FolderOf(output), "Can't show the folder: no file manager was found.");
        break;
    }
}

void MainFrame::OnExit(wxCommandEvent&)
{
    Destroy();
}

void MainFrame::OnZoomInRangeBar(wxCommandEvent&)
{
    m_RangeBar->ZoomBy(0.5);
    UpdateZoomSpan();
}

void MainFrame::OnZoomOutRangeBar(wxCommandEvent&)
{
    m_RangeBar->ZoomBy(2.0);
    UpdateZoomSpan();
}

// The part of the media the timeline shows.
void MainFrame::UpdateZoomSpan()
{
    if (!m_RangeBar->HasMedia())
        m_ZoomSpanText->SetLabel("");
    else
        m_ZoomSpanText->SetLabel(msToString(std::llround(m_RangeBar->GetVisibleStart() * 1000)) + L" \u2013 " +
                                 msToString(std::llround(m_RangeBar->GetVisibleEnd() * 1000)));
    if (GetSizer())
        GetSizer()->Layout();
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
    text += RateCaption(p);
    text += wxString::Format("  Key frame every: %i pictures\n\n", std::max(p.iGopSize, 1));
    if (!p.bAudioEnabled)
        return text + "Audio not present\n";
    if (p.eSoundCodec == SC_COPY)
        return text + "Audio: the source's, copied\n";
    text += "Audio settings:\n";
    text += "  Samples Per Second: " + SampleRateText(p.iAudioSampleRate) + "\n";
    text += wxString::Format("  Bitrate: %iKb/s\n", p.iAudioBitrate / 1000);
    text += p.iAudioChannels >= 2 ? "  stereo\n" : "  mono\n";
    return text;
}

// The crop's size, and a warning when the output size does not keep its
// proportions, since the picture is then stretched.
// The crop is kept in the source's pixels; its shape is the one it is shown in.
wxSize MainFrame::ShownCropSize() const
{
    wxSize crop = m_CropCtrl->GetCropRect().GetSize();
    wxSize shown = m_ShownPixels;
    if (m_SourcePixels.x < 1 || m_SourcePixels.y < 1 || shown == m_SourcePixels)
        return crop;
    return wxSize(int(std::lround(double(crop.x) * shown.x / m_SourcePixels.x)),
                  int(std::lround(double(crop.y) * shown.y / m_SourcePixels.y)));
}

wxString MainFrame::CropCaption() const
{
    wxSize crop = ShownCropSize();
    if (crop.x <= 0 || crop.y <= 0)
        return wxString();
    wxString text = wxString::Format("  Crop: %ix%i", crop.x, crop.y);
    if (IsStretched(crop, wxSize(m_CodecParams.iWidth, m_CodecParams.iHeight)))
        text += " (stretched)";
    return text + "\n";
}

wxMenu* MainFrame::CreateQueueMenu() const
{
    auto* queue = new wxMenu;
    queue->Append(ID_MENU_ADD_TO_QUEUE, "&Add to Queue\tCtrl+Shift+Return", "");
    queue->Append(ID_MENU_ADD_FILES_TO_QUEUE, "Add &Files to Queue...", "");
    queue->AppendSeparator();
    queue->Append(ID_MENU_SHOW_QUEUE, "&Show Queue", "");
    return queue;
}

// Files dropped on the queue's window join the queue. A queue left from
// the last run is shown at once.
void MainFrame::CreateQueueWindow()
{
    m_QueuePanel = QueuePanel::InNewWindow(this, ExportQueue::DefaultFile());
    m_QueuePanel->GetParent()->SetDropTarget(new FileDropTarget(this, FileDropTarget::QUEUE));
    if (!m_QueuePanel->GetQueue().Items().empty())
        m_QueuePanel->ShowWindow();
}

// What Start would export, as it is now; the window is free for the next.
void MainFrame::OnAddToQueue(wxCommandEvent& event)
{
    tExportOrder order;
    if (!PrepareOrder(event, order))
        return;
    wxString output = wxString::FromUTF8(order.output);
    if (!ConfirmReplace(output))
        return;
    order.output = output.utf8_string();
    m_QueuePanel->Add(order, wxFileName::Exists(output, wxFILE_EXISTS_ANY | wxFILE_EXISTS_NO_FOLLOW));
    m_ReplaceAgreed.clear();
}

void MainFrame::OnAddFilesToQueue(wxCommandEvent&)
{
    wxFileDialog chooser(this, "Add video files to the queue", m_LastFolder, "", InputFileWildcard(),
                         wxFD_OPEN | wxFD_FILE_MUST_EXIST | wxFD_MULTIPLE);
    if (chooser.ShowModal() != wxID_OK)
        return;
    wxArrayString paths;
    chooser.GetPaths(paths);
    AddFilesToQueue(paths);
}

void MainFrame::OnShowQueue(wxCommandEvent&)
{
    m_QueuePanel->ShowWindow();
}

bool MainFrame::AddFilesToQueue(const wxArrayString& paths)
{
    for (const wxString& path : paths)
        m_QueuePanel->Add(ProposedOrder(path), false);
    return !paths.empty();
}

// Named as an opened file's output would be: the input's name with the
// output's extension, in the folder of the last chosen output or the input's.
tExportOrder MainFrame::ProposedOrder(const wxString& input) const
{
    tExportOrder order;
    order.input = input.utf8_string();
    order.params = m_CodecParams;
    try {
        InputStream stream(order.input.c_str(), false, false);
        order.params = ProposeForSource(m_CodecParams.eCodec, DescribeSource(stream.GetInfo(), stream.IsAudioPresent()));
        order.params.iAudioTrack = stream.GetSoundTrack();
        order.params.bKeepInterlaced = m_CodecParams.bKeepInterlaced;
    } catch (const char*) {
    } catch (const std::exception&) {
    }
    wxFileName name(input);
    if (!m_OutputFolder.empty())
        name.SetPath(m_OutputFolder);
    name.SetExt(GetFileExtFromCodecID(order.params.eCodec));
    order.output = name.GetFullPath().utf8_string();
    return order;
}

bool MainFrame::IsPlaying() const
{
    return m_Player && m_Player->IsPlaying();
}

// Space plays or pauses (with Shift, the range from its start); J steps
// back a frame, K pauses, L plays. Keys with Ctrl or Alt, and keys typed
// into an editable field, go their usual way.
void MainFrame::OnPlaybackKey(wxKeyEvent& event)
{
    auto* field = wxDynamicCast(FindFocus(), wxTextCtrl);
    if (!m_FrameGrabber || event.ControlDown() || event.AltDown() || (field && field->IsEditable())) {
        event.Skip();
        return;
    }
    switch (event.GetKeyCode()) {
    case WXK_SPACE:
        TogglePlay(event.ShiftDown());
        break;
    case 'J':
        StepBack();
        break;
    case 'K':
        StopPlaying();
        break;
    case 'L':
        if (!IsPlaying())
            TogglePlay(false);
        break;
    default:
        event.Skip();
    }
}

void MainFrame::OnPlayPause(wxCommandEvent&)
{
    TogglePlay(false);
}

void MainFrame::OnPlayRange(wxCommandEvent&)
{
    TogglePlay(true);
}

void MainFrame::OnStepBack(wxCommandEvent&)
{
    StepBack();
}

// The current-time arrow lives in the range, so playing ends at the
// range's end; from there it starts again at the range's start.
void MainFrame::TogglePlay(bool fromRangeStart)
{
    if (IsPlaying()) {
        StopPlaying();
        return;
    }
    double start = m_RangeBar->GetSelectionStart(), end = m_RangeBar->GetSelectionEnd();
    double frame = m_RangeBar->GetFrameRate() > 0 ? 1.0 / m_RangeBar->GetFrameRate() : 0.04;
    double from = m_RangeBar->GetCurrentTime();
    if (fromRangeStart || from >= end - frame)
        from = start;
    StartPlaying(from, end);
}

void MainFrame::StartPlaying(double from, double until)
{
    if (!m_FrameGrabber)
        return;
    if (!m_Player) {
        Player::Listener listener;
        listener.pictureReady = [this] { CallAfter(&MainFrame::ShowPlayedPicture); };
        listener.ended = [this] { CallAfter(&MainFrame::OnPlayEnded); };
        try {
            m_Player = std::make_unique<Player>(m_InputFileText->GetValue().utf8_string(), listener,
                                                m_CropCtrl->GetClientSize(), nullptr, m_CodecParams.iAudioTrack);
        } catch (const char* reason) {
            ShowMessage("Can't play this file.\n" + wxString::FromUTF8(reason), "Error");
            return;
        } catch (const std::exception& failure) {
            ShowMessage("Can't play this file.\n" + wxString::FromUTF8(failure.what()), "Error");
            return;
        }
    }
    m_RestTimer.Stop();
    m_Player->SetFit(m_CropCtrl->GetClientSize());  // the window may have grown since
    m_Player->Play(from, until);
}

void MainFrame::StopPlaying()
{
    if (!IsPlaying())
        return;
    m_Player->Stop();
    m_PreviewTime = m_RangeBar->GetCurrentTime();
    ShowPreviewAtArrow();
}

void MainFrame::ShowPlayedPicture()
{
    if (!m_Player)
        return;
    double time = 0.0;
    wxImage picture = m_Player->TakePicture(time);
    if (!picture.IsOk())
        return;
    ShowPicture(wxBitmap(picture));
    m_RangeBar->SetCurrentTime(time);
}

// The arrow stops on the last picture played, shown or dropped.
void MainFrame::OnPlayEnded()
{
    if (m_Player)
        m_RangeBar->SetCurrentTime(m_Player->LastPictureTime());
    m_PreviewTime = m_RangeBar->GetCurrentTime();
    ShowPreviewAtArrow();
}

void MainFrame::StepBack()
{
    if (m_Player)
        m_Player->Stop();
    double frame = m_RangeBar->GetFrameRate() > 0 ? 1.0 / m_RangeBar->GetFrameRate() : 0.04;
    m_RangeBar->SetCurrentTime(m_RangeBar->GetCurrentTime() - frame);
    m_PreviewTime = m_RangeBar->GetCurrentTime();
    ShowPreviewAtArrow();
}

void MainFrame::ShowFilmstrip(const wxString& path)
{
    std::shared_ptr<Filmstrip>& strip = m_Filmstrips[path];
    if (!strip) {
        Filmstrip::Listener listener;
        listener.pictureAdded = [this] { CallAfter([this] { m_RangeBar->Refresh(); }); };
        strip = std::make_shared<Filmstrip>(path.utf8_string(), listener);
    }
    m_RangeBar->SetFilmstrip(strip);
}

// The strip's picture nearest to the arrow, marked as standing in; false
// while the strip has none.
bool MainFrame::ShowApproximatePicture()
{
    auto strip = m_Filmstrips.find(m_InputFileText->GetValue());
    double at = 0.0;
    if (strip == m_Filmstrips.end() || !strip->second->Nearest(m_PreviewTime, at))
        return false;
    ShowPicture(ImageViewCtrl::MarkApproximate(strip->second->Picture(at)));
    return true;
}

void MainFrame::OnMouseRested(wxTimerEvent&)
{
    ShowPreviewAtArrow();
}
