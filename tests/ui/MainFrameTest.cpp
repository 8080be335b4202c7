// The main window driven as a user drives it, through its handlers and
// keys; its export queue, found again by the next main window; the export
// progress dialog, cancelled. The other tests run exports through that
// dialog to their end and to failures.
#include <cstring>
#include <fstream>
#include <regex>
#include <tuple>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dnd.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "controls/RangeBarCtrl.h"
#include "controls/SelectCropCtrl.h"
#include "pipeline/ExportReport.h"
#include "settings/SettingsTestSupport.h"  // comparing records
#include "support/EventLoop.h"
#include "support/ExportRecord.h"
#include "support/MediaProbe.h"
#include "support/ModalAnswers.h"
#include "support/PictureCompare.h"
#include "support/TestMedia.h"
#include "ui/AboutBox.h"
#include "ui/Exporter.h"
#include "ui/MainFrame.h"
#include "ui/QueuePanel.h"

using namespace testsupport;

namespace {

class MainWindow : public ::testing::Test {
protected:
    MainWindow() { frame->Show(); }
    ~MainWindow() override
    {
        frame->Destroy();
        wxTheApp->ProcessIdle();
    }

    template <typename T>
    T* Find(const char* name) const
    {
        return dynamic_cast<T*>(wxWindow::FindWindowByName(name, frame));
    }
    wxString Text(const char* name) const
    {
        if (auto* text = Find<wxTextCtrl>(name))
            return text->GetValue();
        return Find<wxStaticText>(name)->GetLabel();
    }
    // Whether the preview shows the picture of `file` at `time`.
    bool Shows(const std::string& file, double time) const
    {
        wxImage shown = Find<SelectCropCtrl>("Preview")->GetImage().ConvertToImage();
        const unsigned char* rgb = shown.GetData();
        Picture now{shown.GetWidth(), shown.GetHeight(), {rgb, rgb + shown.GetWidth() * shown.GetHeight() * 3}};
        return MeanAbsDiff(now, DecodePicture(file, time)) < 3.0;
    }
    wxSize OutputSize() const { return {frame->GetCodecParams().iWidth, frame->GetCodecParams().iHeight}; }
    void Command(wxEventType type, int id)
    {
        wxCommandEvent event(type, id);
        event.SetEventObject(frame);
        frame->ProcessWindowEvent(event);
    }
    // Start, the answer queued for the dialog it shows; that dialog's message.
    wxString Start(int answer = wxID_OK)
    {
        answers.Queue(answer);
        Command(wxEVT_MENU, 2003);
        return answers.Dialogs().empty() ? wxString() : answers.Dialogs().back().message;
    }
    // The input side as before any file was opened.
    void ExpectNoInput()
    {
        EXPECT_EQ(Text("InputFile"), "");
        EXPECT_EQ(Text("VideoInfo"), "-");
        EXPECT_EQ(Text("AudioInfo"), "-");
        EXPECT_FALSE(Find<SelectCropCtrl>("Preview")->IsCropEnabled());
        EXPECT_FALSE(Find<RangeBarCtrl>("Timeline")->HasMedia());
        // No made-up values, but a hint to open a file.
        EXPECT_TRUE(Text("FormatCaption").StartsWith("Open a video")) << Text("FormatCaption");
        EXPECT_EQ(Text("FormatCaption").Find("Resolution"), wxNOT_FOUND);
    }

    ModalAnswers answers;
    MainFrame* frame = new MainFrame;
};

wxString Label(const Exporter& dialog, const char* name)
{
    auto* text = dynamic_cast<wxStaticText*>(wxWindow::FindWindowByName(name, const_cast<Exporter*>(&dialog)));
    return text ? text->GetLabel() : wxString("(missing)");
}

const char* const cantOpen = "Can't open this video file. File can be corrupt or its format unsupported.";
const char* const noVideo = "This file has no video.";

}  // namespace

// New returns to the state of a fresh window but keeps the parameters.
TEST_F(MainWindow, StartsAndRenewsAtItsMinimumSizeWithAHintAndReadOnlyPaths)
{
    EXPECT_EQ(frame->GetSize(), frame->GetMinSize());
    ExpectNoInput();
    EXPECT_FALSE(Find<wxTextCtrl>("InputFile")->IsEditable());  // the paths are the files opened and chosen
    EXPECT_FALSE(Find<wxTextCtrl>("OutputFile")->IsEditable());

    frame->OpenInputFile(MediaPath("av_h264_aac.mp4"));
    frame->SetOutputFile("/v/out.mp4");
    tCodecParams before = frame->GetCodecParams();
    Command(wxEVT_MENU, 2000);
    ExpectNoInput();
    EXPECT_EQ(Text("OutputFile"), "");
    EXPECT_EQ(frame->GetCodecParams(), before);
}

TEST_F(MainWindow, ChoosingAnInputDescribesItResetsTheRecordAndShowsAnUprightPreview)
{
    frame->OpenInputFile(MediaPath("av_h264_aac.mp4"));
    EXPECT_EQ(Text("InputFile"), MediaPath("av_h264_aac.mp4"));
    EXPECT_EQ(Text("VideoInfo"), "H.264, 640x480, 25 fps, 12.88 s");
    EXPECT_EQ(Text("AudioInfo"), "AAC, 44.1 kHz, stereo");
    const tCodecParams& p = frame->GetCodecParams();
    EXPECT_EQ(std::tie(p.eCodec, p.iWidth, p.iHeight, p.iFps, p.iVideoBitrate, p.iGopSize, p.bAudioEnabled,
                       p.iAudioSampleRate, p.iAudioChannels, p.iAudioBitrate),
              std::make_tuple(OC_MP4, 640, 480, 25, 5000000, 5, true, 44100, 2, 256000));
    const wxString caption = Text("FormatCaption");
    EXPECT_TRUE(caption.StartsWith("Video settings:\n  Format: mp4, H.264 video\n")) << caption;
    EXPECT_NE(caption.Find("  Crop: 640x480\n"), wxNOT_FOUND) << caption;
    EXPECT_TRUE(caption.EndsWith("  Samples Per Second: 44.1 kHz\n  Bitrate: 256Kb/s\n  stereo\n")) << caption;
    EXPECT_DOUBLE_EQ(Find<RangeBarCtrl>("Timeline")->GetFrameRate(), 25.0);
    auto* crop = Find<SelectCropCtrl>("Preview");
    EXPECT_TRUE(crop->IsCropEnabled());
    EXPECT_TRUE(crop->IsScaleToFit());
    EXPECT_EQ(crop->GetCropRect(), wxRect(0, 0, 640, 480));

    // An exact frame rate, and a file without sound.
    frame->OpenInputFile(MediaPath("ntsc_2997.mp4"));
    EXPECT_TRUE(Text("VideoInfo").StartsWith("H.264, 320x240, 29.97 fps, "));
    EXPECT_EQ(frame->GetCodecParams().iFps, 30);
    EXPECT_NE(Text("FormatCaption").Find("  FPS: 29.97\n"), wxNOT_FOUND);
    EXPECT_EQ(Text("AudioInfo"), "none");
    EXPECT_FALSE(frame->GetCodecParams().bAudioEnabled);
    EXPECT_TRUE(Text("FormatCaption").EndsWith("Audio not present\n"));

    // Several sound tracks: listed beside the sound, the default-marked one chosen.
    frame->OpenInputFile(MediaPath("second_default.mkv"));
    auto* tracks = Find<wxChoice>("SoundTrack");
    EXPECT_TRUE(tracks->IsShown());
    ASSERT_EQ(tracks->GetCount(), 2u);
    EXPECT_EQ(tracks->GetString(0), "1, aac, 1 ch");
    EXPECT_EQ(tracks->GetSelection(), 1);
    EXPECT_EQ(frame->GetCodecParams().iAudioTrack, 2);
    settingstest::Choose(tracks, 0);
    EXPECT_EQ(frame->GetCodecParams().iAudioTrack, 1);
    EXPECT_TRUE(Text("AudioInfo").EndsWith("mono")) << Text("AudioInfo");

    // A phone clip stored sideways: described, previewed and cropped upright.
    frame->OpenInputFile(MediaPath("rot_90.mp4"));
    EXPECT_TRUE(Text("VideoInfo").StartsWith("H.264, 240x320, 25 fps, "));
    EXPECT_EQ(OutputSize(), wxSize(240, 320));
    EXPECT_EQ(crop->GetCropRect(), wxRect(0, 0, 240, 320));

    // A 4K clip stays 4K, in its shape.
    frame->OpenInputFile(MediaPath("uhd_short.mp4"));
    EXPECT_EQ(OutputSize(), wxSize(3840, 2160));
}

// Refused files, named on the command line (relative to the working folder),
// chosen or dropped: each gets its reason and leaves the loaded clip as it
// was; of several dropped files, the first that opens is opened.
TEST_F(MainWindow, FilesFromTheChooserTheCommandLineAndDropsOpenAlikeOrAreRefusedWithTheirReason)
{
    frame->OpenInputFile(MediaPath("av_h264_aac.mp4"));
    frame->SetOutputFile("/v/kept.mp4");
    const tCodecParams loaded = frame->GetCodecParams();
    const struct { const char* file; const char* message; } refused[] = {
        {"audio_only.m4a", noVideo}, {"song_cover.mp3", noVideo}, {"text.avi", cantOpen}, {"missing.mp4", cantOpen}};
    for (const auto& c : refused) {
        SCOPED_TRACE(c.file);
        answers.Queue(wxID_OK);
        frame->OpenInputFile(MediaPath(c.file));
        ASSERT_FALSE(answers.Dialogs().empty());
        EXPECT_EQ(answers.Dialogs().back().message.BeforeFirst('\n'), c.message);
        EXPECT_EQ(Text("InputFile"), MediaPath("av_h264_aac.mp4"));
        EXPECT_EQ(Text("VideoInfo"), "H.264, 640x480, 25 fps, 12.88 s");
        EXPECT_TRUE(Find<SelectCropCtrl>("Preview")->IsCropEnabled());
        EXPECT_EQ(frame->GetCodecParams(), loaded);
    }
    EXPECT_EQ(Text("OutputFile"), "/v/kept.mp4");
    const size_t shown = answers.Dialogs().size();

    wxFileName relative(MediaPath("fps10.mp4"));
    relative.MakeRelativeTo(wxGetCwd());
    EXPECT_TRUE(frame->OpenCommandLineFile(relative.GetFullPath()));
    EXPECT_EQ(Text("InputFile"), MediaPath("fps10.mp4"));
    auto* target = dynamic_cast<wxFileDropTarget*>(frame->GetDropTarget());
    ASSERT_NE(target, nullptr);
    wxArrayString paths;
    for (const char* name : {"text.avi", "audio_only.m4a", "video_only.mp4", "fps10.mp4"})
        paths.Add(MediaPath(name));
    EXPECT_TRUE(target->OnDropFiles(5, 5, paths));
    EXPECT_EQ(Text("InputFile"), MediaPath("video_only.mp4"));  // no dialog for the files passed over

    answers.Queue(wxID_OK);
    EXPECT_FALSE(frame->OpenCommandLineFile(MediaPath("text.avi")));
    paths.RemoveAt(2, 2);
    answers.Queue(wxID_OK);
    EXPECT_FALSE(target->OnDropFiles(5, 5, paths));
    ASSERT_EQ(answers.Dialogs().size(), shown + 2);
    EXPECT_EQ(answers.Dialogs()[shown].message, wxString(cantOpen) +
                                                       "\nCan't open input file. (Invalid data found when processing input)");
    EXPECT_EQ(answers.Dialogs()[shown + 1].message, noVideo) << "the last file's reason";
    EXPECT_EQ(Text("InputFile"), MediaPath("video_only.mp4"));
}

// Moves of the current-time arrow that come together give one preview, at
// the last of their times; the user's crop stays. The range's arrows show
// their own pictures as they move. Each zoom step halves or doubles the span
// the timeline shows, around the current time, and the span is shown under
// the buttons.
TEST_F(MainWindow, MovingAnArrowShowsThePictureThereAndZoomingShowsTheSpan)
{
    frame->OpenInputFile(MediaPath("av_h264_aac.mp4"));  // 12.88 s
    EXPECT_EQ(Text("ZoomSpan"), L"0.0s \u2013 12.9s");
    auto* crop = Find<SelectCropCtrl>("Preview");
    crop->SetCropRect(wxRect(100, 100, 200, 150));
    wxImage opening = crop->GetImage().ConvertToImage();
    auto* bar = Find<RangeBarCtrl>("Timeline");
    auto moved = [this, bar](wxEventType type) { Command(type, bar->GetId()); };
    for (double time : {1.0, 2.0, 3.0}) {
        bar->SetCurrentTime(time);
        moved(wxCURRENT_TIME_ARROW_MOVED);
    }
    EXPECT_EQ(0, memcmp(crop->GetImage().ConvertToImage().GetData(), opening.GetData(), 640 * 480 * 3))
        << "no picture is made while moves are still coming";
    wxTheApp->ProcessPendingEvents();
    EXPECT_TRUE(Shows(MediaPath("av_h264_aac.mp4"), 3.0));
    EXPECT_EQ(crop->GetCropRect(), wxRect(100, 100, 200, 150));

    bar->SetSelection(6.0, 9.0);
    for (auto [type, time] : {std::pair{wxBEGIN_TIME_ARROW_MOVED, 6.0}, {wxEND_TIME_ARROW_MOVED, 9.0}}) {
        moved(type);
        wxTheApp->ProcessPendingEvents();
        EXPECT_TRUE(Shows(MediaPath("av_h264_aac.mp4"), time)) << "the picture at " << time << " s";
    }

    bar->SetCurrentTime(6.44);  // the middle
    const struct { int button; double start, end; const wchar_t* shown; } steps[] = {
        {1007, 3.22, 9.66, L"3.2s \u2013 9.7s"},
        {1007, 4.83, 8.05, L"4.8s \u2013 8.1s"},
        {1008, 3.22, 9.66, L"3.2s \u2013 9.7s"},
        {1008, 0.0, 12.88, L"0.0s \u2013 12.9s"},
        {1008, 0.0, 12.88, L"0.0s \u2013 12.9s"},
    };
    for (const auto& step : steps) {
        Command(wxEVT_BUTTON, step.button);
        EXPECT_NEAR(bar->GetVisibleStart(), step.start, 0.01);
        EXPECT_NEAR(bar->GetVisibleEnd(), step.end, 0.01);
        EXPECT_EQ(Text("ZoomSpan"), step.shown);
    }
}


// Each input proposes its own unused name, beside it or in the folder the
// user last chose for an output; any name gets the codec's extension when it
// has none or the codec changes; the choosers open where the user was last.
TEST_F(MainWindow, OutputNamesAreProposedUnusedAndGetTheCodecsExtension)
{
    std::string folder = OutputPath("proposals");
    RunCommand("rm -rf " + Quote(folder) + " && mkdir -p " + Quote(folder) + " && cp " +
               Quote(MediaPath("fps10.mp4")) + " " + Quote(folder + "/clip.mp4") + " && touch " +
               Quote(folder + "/clip (1).mp4"));
    frame->OpenInputFile(folder + "/clip.mp4");
    EXPECT_EQ(Text("OutputFile"), folder + "/clip (2).mp4");
    frame->OpenInputFile(MediaPath("video_only.mp4"));  // a proposal follows the input
    EXPECT_EQ(Text("OutputFile"), MediaPath("video_only (1).mp4"));
    frame->SetOutputFile(folder + "/mine.mp4");  // the user's folder is kept, not the name
    frame->OpenInputFile(MediaPath("video_only.mp4"));
    EXPECT_EQ(Text("OutputFile"), folder + "/video_only.mp4");
    frame->SetOutputFile("/v/mine.mp4");
    frame->OpenInputFile(folder + "/clip.mp4");
    EXPECT_EQ(Text("OutputFile"), "/v/clip.mp4");
    answers.Queue(wxID_CANCEL);
    Command(wxEVT_MENU, 2001);
    answers.Queue(wxID_CANCEL);
    Command(wxEVT_MENU, 2002);
    ASSERT_EQ(answers.Dialogs().size(), 2u);
    EXPECT_EQ(answers.Dialogs()[0].folder, folder);
    EXPECT_EQ(answers.Dialogs()[1].folder, "/v");

    frame->SetOutputFile("movie");
    EXPECT_EQ(Text("OutputFile"), "movie.mp4");
    frame->SetOutputFile("/v/clip.avi");
    EXPECT_EQ(Text("OutputFile"), "/v/clip.avi");
    answers.Queue(wxID_CANCEL);
    Command(wxEVT_BUTTON, 1002);
    EXPECT_EQ(Text("OutputFile"), "/v/clip.avi");
    tCodecParams dvd = frame->GetCodecParams();
    dvd.eCodec = OC_VOB;
    frame->ApplyCodecParams(dvd);
    EXPECT_EQ(Text("OutputFile"), "/v/clip.vob");
    frame->SetOutputFile("/v/clip.avi");
    answers.Queue(wxID_OK);  // the settings kept as they are: still DVD
    Command(wxEVT_MENU, 2005);
    EXPECT_EQ(answers.Dialogs().back().title, "Select codec parameters");
    EXPECT_EQ(Text("OutputFile"), "/v/clip.vob");
}

// Each refusal comes before anything is written; the input is never overwritten,
// by whatever path the output names it.
TEST_F(MainWindow, StartRefusesWhatItCannotExportAndSaysWhy)
{
    EXPECT_EQ(Start(wxID_CANCEL), "Select input video file");

    std::string input = OutputPath("own.mp4"), link = OutputPath("link.mp4");
    RunCommand("cp " + Quote(MediaPath("video_only.mp4")) + " " + Quote(input));
    ASSERT_EQ(symlink(input.c_str(), link.c_str()), 0);
    std::string before = RunCommand("md5sum < " + Quote(input)).output;
    frame->OpenInputFile(input);
    for (const std::string& output : {input, link}) {
        frame->SetOutputFile(output);
        EXPECT_EQ(Start(), "Can't export to video.\nThe input and output files are the same file.") << output;
    }
    EXPECT_EQ(RunCommand("md5sum < " + Quote(input)).output, before);
    std::string pipe = OutputPath("pipe.mp4");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0666), 0);
    frame->SetOutputFile(pipe);
    EXPECT_EQ(Start(), "Can't export to video.\nThe output is not a regular file.");

    answers.RunNormally("ExportToFFMPEGDialog");
    frame->SetOutputFile(OutputPath("missing-folder") + "/out.mp4");
    EXPECT_EQ(Start(), "Can't export to video.\nCan't write to the output folder.");
    std::string out = OutputPath("empty_range.mp4");  // a range of less than a picture
    frame->SetOutputFile(out);
    Find<RangeBarCtrl>("Timeline")->SetSelection(2.0, 2.0);
    EXPECT_EQ(Start(), "Can't export to video.\nThe range is shorter than one frame.");
    EXPECT_NE(access(out.c_str(), F_OK), 0);
}

// The range begun at 1.3 s of a 10 fps clip without sound is exported from
// that frame, not from the key frame before it: the first picture written is
// the input's 14th. Open and Show in Folder go through the desktop's opener;
// when there is none, or it finds no program, a message says so.
TEST_F(MainWindow, TheExportBeginsOnTheFrameShownAndOpenAndShowInFolderSayWhenTheyFail)
{
    std::string folder = OutputPath("openers"), output = folder + "/shown.mp4";
    RunCommand("rm -rf " + Quote(folder) + " && mkdir -p " + Quote(folder) + "/bin && touch " + Quote(output));
    // An opener that finds no program for what it is given.
    std::ofstream(folder + "/bin/xdg-open") << "#!/bin/sh\necho \"$1\" > '" << folder << "/asked'\nexit 4\n";
    chmod((folder + "/bin/xdg-open").c_str(), 0755);
    frame->OpenInputFile(MediaPath("fps10.mp4"));
    frame->SetOutputFile(output);
    Find<RangeBarCtrl>("Timeline")->SetSelection(1.3, 3.0);
    answers.RunNormally("ExportToFFMPEGDialog");
    wxString path;
    wxGetEnv("PATH", &path);
    const struct { const char* bin; int answer; const char* message; } cases[] = {
        {"/nowhere", wxID_YES, "Can't open the file: no program to open it was found."},
        {"/bin", wxID_NO, "Can't show the folder: no file manager was found."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        wxSetEnv("PATH", folder + c.bin);
        answers.Queue(wxID_YES);  // replace the earlier export
        answers.Queue(c.answer);  // Open or Show in Folder
        answers.Queue(wxID_OK);   // the failure's message
        Command(wxEVT_MENU, 2003);
        EXPECT_TRUE(HandleEventsUntil([&] { return answers.Dialogs().back().title == "Error"; }));
        EXPECT_EQ(answers.Dialogs().back().message, c.message);
    }
    wxSetEnv("PATH", path);
    EXPECT_EQ(RunCommand("cat " + Quote(folder + "/asked")).output, folder + "\n") << "the folder is shown";
    std::vector<Picture> in = DecodeAllPictures(MediaPath("fps10.mp4")), out = DecodeAllPictures(output, 1);
    ASSERT_GE(in.size(), 15u);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_LT(MeanAbsDiff(out[0], in[13]), MeanAbsDiff(out[0], in[12]));
    EXPECT_LT(MeanAbsDiff(out[0], in[13]), MeanAbsDiff(out[0], in[14]));
}

TEST_F(MainWindow, StartExportsTheRangeAndCropAndOffersToOpenTheFile)
{
    frame->OpenInputFile(MediaPath("quadrants.mp4"));
    std::string output = OutputPath("started.mp4");
    frame->SetOutputFile(output);
    tCodecParams params = frame->GetCodecParams();
    params.iFps = 15;
    params.iWidth = 160;
    params.iHeight = 120;
    frame->ApplyCodecParams(params);
    Find<RangeBarCtrl>("Timeline")->SetSelection(0.5, 1.5);
    Find<SelectCropCtrl>("Preview")->SetCropRect(wxRect(160, 0, 160, 120));  // the green quadrant

    answers.RunNormally("ExportToFFMPEGDialog");
    EXPECT_EQ(Start(wxID_CANCEL), "The export has finished. Open the file, or show it in its folder?");
    std::string readBack = answers.Dialogs().back().extendedMessage.utf8_string();
    EXPECT_TRUE(std::regex_search(readBack, std::regex(R"(^\d+ pictures, 0:01\.\d, 160x120 H.264, sound 44\.1 kHz stereo)")))
        << readBack;

    auto streams = ProbeStreams(output);
    ASSERT_FALSE(streams.empty());
    EXPECT_EQ(streams[0]["r_frame_rate"], "15/1");
    EXPECT_NEAR(PacketSpan(output, "v:0"), 1.0, 0.15);
    Picture picture = DecodePicture(output, 0.5);
    ASSERT_EQ(picture.width, 160);
    for (auto [x, y] : {std::pair{5, 5}, {80, 60}, {150, 110}}) {
        const uint8_t* rgb = picture.At(x, y);
        EXPECT_LT(rgb[0], 40);
        EXPECT_GT(rgb[1], 200);
        EXPECT_LT(rgb[2], 40);
    }
    // The window keeps its state.
    EXPECT_EQ(Text("OutputFile"), output);
    EXPECT_EQ(Find<SelectCropCtrl>("Preview")->GetCropRect(), wxRect(160, 0, 160, 120));
}

TEST_F(MainWindow, TheOutputSizeFollowsADrawnCropAndTheCaptionShowsIt)
{
    frame->OpenInputFile(MediaPath("av_h264_aac.mp4"));  // 640 x 480
    auto* crop = Find<SelectCropCtrl>("Preview");
    auto draw = [&](const wxRect& rect) {
        crop->SetCropRect(rect);
        Command(wxCROP_RECT_CHANGED, crop->GetId());
    };
    draw(wxRect(0, 0, 320, 90));
    EXPECT_EQ(OutputSize(), wxSize(640, 180));
    EXPECT_NE(Text("FormatCaption").Find("  Crop: 320x90\n"), wxNOT_FOUND);
    tCodecParams params = frame->GetCodecParams();  // a size set by hand afterwards stays
    params.iWidth = 400;
    params.iHeight = 400;
    frame->ApplyCodecParams(params);
    EXPECT_EQ(OutputSize(), wxSize(400, 400));
    EXPECT_NE(Text("FormatCaption").Find("  Crop: 320x90 (stretched)\n"), wxNOT_FOUND);
    draw(wxRect(10, 10, 301, 201));  // the next crop rules again; odd heights become even
    EXPECT_EQ(OutputSize(), wxSize(400, 268));
    EXPECT_EQ(Text("FormatCaption").Find("stretched"), wxNOT_FOUND);
}

// About is a modal box whose every line gets the room it needs, and the user
// guide of Help > Contents is found (here, the source tree's).
TEST_F(MainWindow, AboutAndHelpShowWhatTheyPromise)
{
    answers.Queue(wxID_OK);
    Command(wxEVT_MENU, wxID_ABOUT);
    ASSERT_EQ(answers.Dialogs().size(), 1u);
    EXPECT_EQ(answers.Dialogs()[0].title, "About Tellavox");
    wxString guide = MainFrame::UserGuidePath();
    EXPECT_TRUE(wxFileExists(guide)) << guide;

    AboutBox about("Tellavox", "1.1", MainFrame::homePage, wxBitmap(48, 48), nullptr, 0, "About Tellavox");
    about.Show();
    wxYield();
    int lines = 0;
    for (wxWindow* child : about.GetChildren()) {
        if (child->GetLabel() == "Tellavox" || child->GetLabel() == "1.1") {
            ++lines;
            EXPECT_GE(child->GetSize().GetHeight(), child->GetBestSize().GetHeight()) << child->GetLabel().utf8_str();
        }
    }
    EXPECT_EQ(lines, 2);
    wxString credits = about.FindWindow("Credits")->GetLabel();
    for (const char* named : {"FFmpeg", "x264", "wxWidgets", "GNU General Public License, version 2 or later"})
        EXPECT_NE(credits.Find(named), wxNOT_FOUND) << named;
}

// A preset sets the output in one step, extension included, and holds for
// the next input; the settings saved under a name are listed and come back;
// a damaged presets file is named in the status bar.
TEST_F(MainWindow, APresetSetsTheOutputInOneStepAndTheSettingsSaveAsOne)
{
    std::string config = OutputPath("main_presets");
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    RunCommand("mkdir -p " + Quote(config + "/tellavox") + " && printf '[Broken]\\nrate=fast\\n' > " +
               Quote(config + "/tellavox/presets"));
    frame->Destroy();
    frame = new MainFrame;
    EXPECT_TRUE(frame->GetStatusBar()->GetStatusText().Contains("is damaged, line 2: bad value \"fast\" for rate"))
        << frame->GetStatusBar()->GetStatusText();
    frame->OpenInputFile(MediaPath("av_h264_aac.mp4"));
    auto* presets = Find<wxChoice>("Preset");
    ASSERT_NE(presets, nullptr);
    settingstest::Choose(presets, presets->FindString("DVD (MPEG-2)"));
    EXPECT_EQ(frame->GetCodecParams().eCodec, OC_VOB);
    EXPECT_TRUE(Text("OutputFile").EndsWith(".vob"));
    const tCodecParams dvd = frame->GetCodecParams();

    answers.Queue(wxID_OK);  // the name proposed
    Command(wxEVT_BUTTON, 1021);
    EXPECT_EQ(presets->GetStringSelection(), "vob (DVD), MPEG-2 video, 480 lines");
    settingstest::Choose(presets, presets->FindString("Small 720p (H.264)"));
    EXPECT_EQ(frame->GetCodecParams().eCodec, OC_MP4);
    EXPECT_TRUE(Text("FormatCaption").Contains("  Quality: 28 (constant)\n")) << Text("FormatCaption");
    settingstest::Choose(presets, presets->FindString("vob (DVD), MPEG-2 video, 480 lines"));
    EXPECT_EQ(frame->GetCodecParams(), dvd);
    frame->OpenInputFile(MediaPath("video_only.mp4"));  // the preset chosen holds for the next input
    EXPECT_EQ(frame->GetCodecParams().eCodec, OC_VOB);
    EXPECT_EQ(presets->GetStringSelection(), "vob (DVD), MPEG-2 video, 480 lines");
    unsetenv("XDG_CONFIG_HOME");
}

// Space plays and the arrow follows; Space again pauses with the exact
// picture at the arrow; J steps back a frame; Shift+Space plays the range
// from its start and stops at its end; the keys do nothing without a video.
TEST_F(MainWindow, KeysPlayPauseStepBackAndPlayTheRange)
{
    auto* bar = Find<RangeBarCtrl>("Timeline");
    auto key = [this](int code, bool shift = false) {
        wxKeyEvent event(wxEVT_CHAR_HOOK);
        event.m_keyCode = code;
        event.m_shiftDown = shift;
        event.SetEventObject(frame);
        frame->ProcessWindowEvent(event);
    };
    const std::string file = MediaPath("gop2s_44k.mp4");

    key(WXK_SPACE);
    EXPECT_FALSE(frame->IsPlaying());
    ASSERT_TRUE(frame->OpenInputFile(file));
    bar->SetSelection(2.0, 3.0);
    bar->SetCurrentTime(2.0);
    key(WXK_SPACE);
    EXPECT_TRUE(frame->IsPlaying());
    EXPECT_TRUE(HandleEventsUntil([&] { return bar->GetCurrentTime() > 2.1; }));
    key(WXK_SPACE);
    EXPECT_FALSE(frame->IsPlaying());
    double paused = bar->GetCurrentTime();
    EXPECT_TRUE(Shows(file, paused)) << paused;
    key('J');
    EXPECT_NEAR(bar->GetCurrentTime(), paused - 0.04, 1e-6);
    EXPECT_TRUE(Shows(file, paused - 0.04));

    key(WXK_SPACE, true);
    EXPECT_TRUE(HandleEventsUntil([&] { return !frame->IsPlaying(); }));
    wxTheApp->ProcessPendingEvents();
    EXPECT_NEAR(bar->GetCurrentTime(), 2.96, 1e-6) << "the last picture before the range's end";
    EXPECT_TRUE(Shows(file, 2.96));

    // A file damaged since it was opened is not played, and FFmpeg's reason is told.
    std::string damaged = OutputPath("damaged_since_opened.mp4");
    std::ofstream(damaged, std::ios::binary) << std::ifstream(file, std::ios::binary).rdbuf();
    ASSERT_TRUE(frame->OpenInputFile(damaged));
    std::ofstream(damaged, std::ios::binary | std::ios::trunc) << std::string(4096, '\0');
    answers.Queue(wxID_OK);
    key(WXK_SPACE);
    EXPECT_FALSE(frame->IsPlaying());
    EXPECT_TRUE(answers.Dialogs().back().message.StartsWith("Can't play this file.\nCan't open input file. ("))
        << answers.Dialogs().back().message;
}

// The open clip is queued twice (the second takes the next free name, the
// first is asked about a file already there); two files are dropped on
// the queue, one of them damaged. All run in turn: the damaged one fails
// with its reason and the others are written and checked. The next main
// window shows the queue as it ended.
TEST_F(MainWindow, TheQueueRunsWhatTheWindowAddsInTurnAndTheNextWindowFindsItAsItEnded)
{
    std::string folder = OutputPath("queued");
    RunCommand("mkdir -p " + Quote(folder) + " && touch " + Quote(folder + "/clip.mp4"));
    auto click = [](wxWindow* root, const char* name) {
        auto* button = dynamic_cast<wxButton*>(wxWindow::FindWindowByName(name, root));
        ASSERT_NE(button, nullptr) << name;
        wxCommandEvent event(wxEVT_BUTTON, button->GetId());
        event.SetEventObject(button);
        button->ProcessWindowEvent(event);
    };
    // Each row as "input > output: state", and its details.
    auto rows = [this] {
        auto* list = Find<wxListCtrl>("QueueList");
        std::vector<std::string> found;
        for (int row = 0; list && row < list->GetItemCount(); ++row)
            found.push_back((list->GetItemText(row, 0) + " > " + list->GetItemText(row, 1) + ": " +
                             list->GetItemText(row, 2)).utf8_string());
        return found;
    };
    ASSERT_TRUE(frame->OpenInputFile(MediaPath("fps10.mp4")));
    frame->SetOutputFile(folder + "/clip.mp4");
    answers.Queue(wxID_NO);  // the next free name, not the file there
    click(frame, "AddToQueue");
    click(frame, "AddToQueue");
    auto* panel = Find<QueuePanel>("QueuePanel");
    ASSERT_NE(panel, nullptr);
    auto* target = dynamic_cast<wxFileDropTarget*>(panel->GetParent()->GetDropTarget());
    ASSERT_NE(target, nullptr);
    wxArrayString dropped;
    dropped.Add(MediaPath("truncated.mp4"));
    dropped.Add(MediaPath("video_only.mp4"));
    EXPECT_TRUE(target->OnDropFiles(5, 5, dropped));
    EXPECT_TRUE(panel->GetParent()->IsShown());
    ASSERT_EQ(answers.Dialogs().size(), 1u);
    EXPECT_EQ(answers.Dialogs()[0].title, "Replace file?");

    click(panel->GetParent(), "QueueGo");
    ExportQueue& queue = panel->GetQueue();
    while (queue.IsGoing() || queue.IsBusy()) {
        queue.WaitForCurrent();
        panel->Update();
    }
    const std::vector<std::string> ended = {
        "fps10.mp4 > clip (1).mp4: checked", "fps10.mp4 > clip (2).mp4: checked",
        "truncated.mp4 > truncated.mp4: failed", "video_only.mp4 > video_only.mp4: checked"};
    ASSERT_EQ(rows(), ended);
    auto* list = Find<wxListCtrl>("QueueList");  // the details: what was read back, or the reason
    EXPECT_TRUE(list->GetItemText(0, 3).Contains("30 pictures")) << list->GetItemText(0, 3);
    EXPECT_NE(list->GetItemText(2, 3), "");
    for (const char* name : {"clip (1).mp4", "clip (2).mp4", "video_only.mp4"})
        EXPECT_EQ(DecodeErrors(folder + "/" + name), "") << name;
    EXPECT_EQ(RunCommand("cat " + Quote(folder + "/clip.mp4")).output, "") << "the file there is kept";

    frame->Destroy();
    wxTheApp->ProcessIdle();
    frame = new MainFrame;
    EXPECT_EQ(rows(), ended);
    EXPECT_TRUE(Find<QueuePanel>("QueuePanel")->GetParent()->IsShown());
}

// "Cancel" at the first tick that shows progress only asks: the dialog
// stays until the worker has finished the file, and then ends. Meanwhile it
// names the file and shows the percentage.
TEST(Exporter, CancelAsksTheWorkerToStopAndTheFileKeepsWhatWasWritten)
{
    std::string in = MediaPath("av_h264_aac.mp4"), out = OutputPath("exporter_cancelled.mp4");
    bool cancelled = false, modalAfterCancel = false;
    tExportCheck check;
    {
        Exporter dialog(nullptr, {in, out, RecordFor(in), wxRect(), 0, 0});
        dialog.Bind(wxEVT_TIMER, [&](wxTimerEvent& e) {
            e.Skip();
            auto* gauge = dynamic_cast<wxGauge*>(wxWindow::FindWindowByName("ExportGauge", &dialog));
            if (cancelled || !gauge || gauge->GetValue() == 0)
                return;
            cancelled = true;
            dialog.CallAfter([&] {
                EXPECT_EQ(Label(dialog, "ExportFile"), L"Writing \u201cexporter_cancelled.mp4\u201d");
                EXPECT_TRUE(std::regex_match(Label(dialog, "ExportPercent").ToStdString(), std::regex(R"(\d+ %)")));
                wxCommandEvent cancel(wxEVT_BUTTON, wxID_CANCEL);
                cancel.SetEventObject(&dialog);
                dialog.GetEventHandler()->ProcessEvent(cancel);
                modalAfterCancel = dialog.IsModal();
            });
        });
        EXPECT_EQ(dialog.Start(), EXPORT_CANCELED);
        check = dialog.GetCheck();
    }
    EXPECT_TRUE(modalAfterCancel) << "Cancel waited for the worker on the window's thread";
    EXPECT_EQ(DecodeErrors(out), "");
    int pictures = CountVideoFrames(out);
    EXPECT_GE(pictures, 1);
    EXPECT_LT(pictures, 300) << "the whole input would give about 300";
    EXPECT_NEAR(PacketSpan(out, "a:0"), PacketSpan(out, "v:0"), 0.1);
    // The part written is read back and judged by itself, not by the range.
    EXPECT_TRUE(check.asked.bCancelled);
    EXPECT_EQ(check.video.iPackets, pictures);
    for (const tExportFault& fault : check.faults)
        EXPECT_TRUE(fault.eKind == EF_AUDIO_END) << ExportReportText(check);
}

TEST(Exporter, TheRemainingTimeIsEstimatedFromTheSpeedSoFarAndShownWithItsLabel)
{
    // 10 s for 2.5 s of a 10 s range: 40 s in all, 30 s left.
    EXPECT_EQ(Exporter::EstimateRemaining(10000, 2.5, 10.0), 30000);
    EXPECT_EQ(Exporter::EstimateRemaining(10000, 12.0, 10.0), 0) << "past the end nothing is left";
    EXPECT_EQ(Exporter::EstimateRemaining(10000, 0.0, 10.0), 0) << "no position yet: nothing to tell";
    EXPECT_EQ(Exporter::EstimateRemaining(0, 0.0, 0.0), 0);
    EXPECT_EQ(Exporter::RemainedTimeText(65000), "Time left: 1m 05s");
}
