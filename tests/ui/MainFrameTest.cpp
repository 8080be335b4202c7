// The main window driven as a user drives it, through its handlers.
#include <regex>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include <memory>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dnd.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/uri.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "controls/RangeBarCtrl.h"
#include "controls/SelectCropCtrl.h"
#include "support/MediaProbe.h"
#include "support/PictureCompare.h"
#include "support/ModalAnswers.h"
#include "support/TestMedia.h"
#include "ui/AboutBox.h"
#include "ui/MainFrame.h"

using namespace testsupport;

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = new MainFrame;
        frame->Show();
    }
    void TearDown() override
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
    void Command(wxEventType type, int id)
    {
        wxCommandEvent event(type, id);
        event.SetEventObject(frame);
        frame->ProcessWindowEvent(event);
    }
    void Start() { Command(wxEVT_MENU, 2003); }

    MainFrame* frame = nullptr;
    ModalAnswers answers;
};

const char* const cantOpen = "Can't open this video file. File can be corrupt or its format unsupported.";

}  // namespace

TEST_F(MainWindow, StartsAtItsMinimumSizeWithAHintHiddenFamiliesReadOnlyPathsAndShortcuts)
{
    EXPECT_EQ(frame->GetMinSize(), wxSize(870, 620));
    EXPECT_EQ(frame->GetSize(), wxSize(870, 620));
    EXPECT_EQ(frame->GetCodecParams().eCodec, OC_MP4);
    // No made-up values before there is an input, but a hint to open one.
    wxString caption = Text("FormatCaption");
    EXPECT_TRUE(caption.StartsWith("Open a video")) << caption;
    EXPECT_EQ(caption.Find("Resolution"), wxNOT_FOUND);
    EXPECT_FALSE(Find<RangeBarCtrl>("Timeline")->HasMedia());

    int radios = 0;
    for (wxWindow* w : frame->GetChildren())
        for (wxWindow* child : w->GetChildren())
            if (auto* radio = dynamic_cast<wxRadioButton*>(child)) {
                ++radios;
                EXPECT_FALSE(radio->IsShown());
            }
    EXPECT_EQ(radios, 4);

    auto* input = Find<wxTextCtrl>("InputFile");
    EXPECT_FALSE(input->IsEditable());
    EXPECT_FALSE(Find<wxTextCtrl>("OutputFile")->IsEditable());
    int side = input->GetSize().GetHeight();
    EXPECT_EQ(Find<wxButton>("InputButton")->GetSize(), wxSize(side, side));
    EXPECT_EQ(Find<wxButton>("OutputButton")->GetSize(), wxSize(side, side));
    EXPECT_EQ(Text("VideoInfo"), "-");
    EXPECT_EQ(Text("AudioInfo"), "-");

    const std::pair<int, const char*> shortcuts[] = {
        {2001, "Ctrl+O"}, {2002, "Ctrl+Shift+S"}, {2003, "Ctrl+Enter"}, {2004, "Ctrl+Q"}};
    for (auto [id, text] : shortcuts) {
        std::unique_ptr<wxAcceleratorEntry> accel(frame->GetMenuBar()->FindItem(id)->GetAccel());
        ASSERT_NE(accel, nullptr) << id;
        EXPECT_EQ(accel->ToString(), text);
    }
}

TEST_F(MainWindow, ChoosingAnInputDescribesItResetsTheRecordAndShowsAPreview)
{
    frame->OpenInputFile(MediaPath("av_h264_aac.mp4"));
    EXPECT_EQ(Text("InputFile"), MediaPath("av_h264_aac.mp4"));
    EXPECT_EQ(Text("VideoInfo"), "640x480, 25 fps\n12.88 sec");
    EXPECT_EQ(Text("AudioInfo"), "2 channel(s)\n44100Hz");

    const tCodecParams& p = frame->GetCodecParams();
    EXPECT_EQ(p.eCodec, OC_MP4);
    EXPECT_EQ(p.iWidth, 640);
    EXPECT_EQ(p.iHeight, 480);
    EXPECT_EQ(p.iFps, 25);
    EXPECT_EQ(p.iVideoBitrate, 5000000);
    EXPECT_EQ(p.iGopSize, 5);
    EXPECT_TRUE(p.bAudioEnabled);
    EXPECT_EQ(p.iAudioSampleRate, 44100);
    EXPECT_EQ(p.iAudioChannels, 2);
    EXPECT_EQ(p.iAudioBitrate, 256000);
    EXPECT_TRUE(Text("FormatCaption").EndsWith("  Samples Per Second: 44.1 kHz\n  Bitrate: 256Kb/s\n  stereo\n"))
        << Text("FormatCaption");
    EXPECT_NE(Text("FormatCaption").Find("  Crop: 640x480\n"), wxNOT_FOUND);
    EXPECT_TRUE(Text("FormatCaption").StartsWith("Video settings:\n  Format: mp4, H.264 video\n"))
        << Text("FormatCaption");

    EXPECT_NEAR(Find<RangeBarCtrl>("Timeline")->GetMediaTime(), 12.88, 1e-6);
    EXPECT_DOUBLE_EQ(Find<RangeBarCtrl>("Timeline")->GetFrameRate(), 25.0);
    auto* crop = Find<SelectCropCtrl>("Preview");
    EXPECT_TRUE(crop->IsCropEnabled());
    EXPECT_TRUE(crop->IsScaleToFit());
    EXPECT_EQ(crop->GetCropRect(), wxRect(0, 0, 640, 480));
    EXPECT_TRUE(answers.Dialogs().empty());
}

TEST_F(MainWindow, ExactFrameRatesUprightSizesAndFilesWithoutSoundAreDescribed)
{
    frame->OpenInputFile(MediaPath("ntsc_2997.mp4"));
    EXPECT_TRUE(Text("VideoInfo").StartsWith("320x240, 29.97 fps\n"));
    EXPECT_EQ(frame->GetCodecParams().iFps, 30);
    EXPECT_NE(Text("FormatCaption").Find("  FPS: 29.97\n"), wxNOT_FOUND);
    EXPECT_EQ(Text("AudioInfo"), "Audio not present");
    EXPECT_FALSE(frame->GetCodecParams().bAudioEnabled);
    EXPECT_TRUE(Text("FormatCaption").EndsWith("Audio not present\n"));

    // A phone clip stored sideways: described, previewed and cropped upright.
    frame->OpenInputFile(MediaPath("rot_90.mp4"));
    EXPECT_TRUE(Text("VideoInfo").StartsWith("240x320, 25 fps\n"));
    EXPECT_EQ(wxSize(frame->GetCodecParams().iWidth, frame->GetCodecParams().iHeight), wxSize(240, 320));
    EXPECT_EQ(Find<SelectCropCtrl>("Preview")->GetCropRect(), wxRect(0, 0, 240, 320));
}

TEST_F(MainWindow, AFileWithoutPicturesIsRefusedAndTheInputSideReset)
{
    frame->OpenInputFile(MediaPath("av_h264_aac.mp4"));
    frame->SetOutputFile("/v/kept.mp4");
    const char* const noVideo = "This file has no video.";
    const struct { const char* file; const char* message; } cases[] = {
        {"audio_only.m4a", noVideo}, {"song_cover.mp3", noVideo}, {"text.avi", cantOpen},
        {"missing.mp4", cantOpen}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        answers.Queue(wxID_OK);
        frame->OpenInputFile(MediaPath(c.file));
        ASSERT_FALSE(answers.Dialogs().empty());
        EXPECT_EQ(answers.Dialogs().back().message, c.message);
        EXPECT_EQ(answers.Dialogs().back().title, "Error");
        EXPECT_EQ(Text("InputFile"), "");
        EXPECT_EQ(Text("VideoInfo"), "-");
        EXPECT_EQ(Text("AudioInfo"), "-");
        EXPECT_FALSE(Find<SelectCropCtrl>("Preview")->IsCropEnabled());
        EXPECT_FALSE(Find<RangeBarCtrl>("Timeline")->HasMedia());
        EXPECT_TRUE(Text("FormatCaption").StartsWith("Open a video"));
    }
    EXPECT_EQ(Text("OutputFile"), "/v/kept.mp4");
}

// Moves of the current-time arrow that come together give one preview, at
// the last of their times; the user's crop stays.
TEST_F(MainWindow, MovingTheCurrentTimeShowsThePictureThereAndKeepsTheUsersCrop)
{
    frame->OpenInputFile(MediaPath("av_h264_aac.mp4"));
    auto* crop = Find<SelectCropCtrl>("Preview");
    crop->SetCropRect(wxRect(100, 100, 200, 150));
    wxImage opening = crop->GetImage().ConvertToImage();
    auto* bar = Find<RangeBarCtrl>("Timeline");
    for (double time : {1.0, 2.0, 3.0}) {
        bar->SetCurrentTime(time);
        wxCommandEvent moved(wxCURRENT_TIME_ARROW_MOVED, bar->GetId());
        moved.SetEventObject(bar);
        bar->ProcessWindowEvent(moved);
    }
    EXPECT_TRUE(crop->GetImage().ConvertToImage().IsOk());
    EXPECT_EQ(0, memcmp(crop->GetImage().ConvertToImage().GetData(), opening.GetData(), 640 * 480 * 3))
        << "no picture is made while moves are still coming";
    wxTheApp->ProcessPendingEvents();
    wxImage shown = crop->GetImage().ConvertToImage();
    Picture expected = DecodePicture(MediaPath("av_h264_aac.mp4"), 3.0);
    ASSERT_EQ(expected.rgb.size(), size_t(640 * 480 * 3));
    double difference = 0;
    for (size_t i = 0; i < expected.rgb.size(); ++i)
        difference += std::abs(int(expected.rgb[i]) - int(shown.GetData()[i]));
    EXPECT_LT(difference / expected.rgb.size(), 3.0) << "the picture at 3 s is shown";
    EXPECT_EQ(crop->GetCropRect(), wxRect(100, 100, 200, 150));
}

TEST_F(MainWindow, OutputNamesGetTheCodecsExtension)
{
    frame->SetOutputFile("movie");
    EXPECT_EQ(Text("OutputFile"), "movie.mp4");
    frame->SetOutputFile("movie.avi");
    EXPECT_EQ(Text("OutputFile"), "movie.avi");

    frame->SetOutputFile("/v/clip.avi");
    answers.Queue(wxID_CANCEL);
    Command(wxEVT_BUTTON, 1002);
    EXPECT_EQ(Text("OutputFile"), "/v/clip.avi");
    answers.Queue(wxID_OK);
    Command(wxEVT_MENU, 2005);
    EXPECT_EQ(Text("OutputFile"), "/v/clip.mp4");
    EXPECT_EQ(answers.Dialogs().back().title, "Select codec parameters");
    tCodecParams dvd = frame->GetCodecParams();
    dvd.eCodec = OC_VOB;
    frame->ApplyCodecParams(dvd);
    EXPECT_EQ(Text("OutputFile"), "/v/clip.vob");
}

TEST_F(MainWindow, StartAsksForWhatIsMissingInsteadOfExporting)
{
    answers.Queue(wxID_CANCEL);
    Start();
    ASSERT_EQ(answers.Dialogs().size(), 1u);
    EXPECT_EQ(answers.Dialogs()[0].message, "Select input video file");
}

TEST_F(MainWindow, StartNeverOverwritesItsOwnInput)
{
    std::string input = OutputPath("own.mp4");
    RunCommand("cp " + Quote(MediaPath("video_only.mp4")) + " " + Quote(input));
    std::string link = OutputPath("link.mp4");
    ASSERT_EQ(symlink(input.c_str(), link.c_str()), 0);
    std::string before = RunCommand("md5sum < " + Quote(input)).output;

    frame->OpenInputFile(input);
    std::string dir = input.substr(0, input.rfind('/'));
    for (const std::string& output : {input, link, dir + "/./own.mp4", dir + "/../" +
                                                                         dir.substr(dir.rfind('/') + 1) + "/own.mp4"}) {
        SCOPED_TRACE(output);
        frame->SetOutputFile(output);
        answers.Queue(wxID_OK);
        Start();
        EXPECT_EQ(answers.Dialogs().back().message, "The input and output files are the same file.");
    }
    EXPECT_EQ(RunCommand("md5sum < " + Quote(input)).output, before);
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
    answers.Queue(wxID_CANCEL);  // do not open the file
    Start();
    ASSERT_FALSE(answers.Dialogs().empty());
    EXPECT_EQ(answers.Dialogs().back().title, "Export finished");
    EXPECT_EQ(answers.Dialogs().back().message, "The export has finished. Open the file, or show it in its folder?");
    std::string readBack = answers.Dialogs().back().extendedMessage.utf8_string();
    EXPECT_TRUE(std::regex_search(readBack, std::regex(R"(^\d+ pictures, 0:01\.\d, 160x120 H.264, sound 44\.1 kHz stereo)")))
        << readBack;

    auto streams = ProbeStreams(output);
    ASSERT_FALSE(streams.empty());
    EXPECT_EQ(streams[0]["width"], "160");
    EXPECT_EQ(streams[0]["height"], "120");
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

// The range begun with the keys at 1.3 s of a 10 fps clip without sound is
// exported from that frame, not from the key frame before it: the first
// picture written is the input's 14th.
TEST_F(MainWindow, TheExportBeginsOnTheFrameTheTimelineShows)
{
    std::string input = MediaPath("fps10.mp4"), output = OutputPath("from_the_frame.mp4");
    frame->OpenInputFile(input);
    frame->SetOutputFile(output);
    auto* bar = Find<RangeBarCtrl>("Timeline");
    auto key = [bar](wxEventType type, int code) {
        wxKeyEvent event(type);
        event.m_keyCode = event.m_uniChar = code;
        event.SetEventObject(bar);
        bar->GetEventHandler()->ProcessEvent(event);
    };
    key(wxEVT_KEY_DOWN, WXK_HOME);
    for (int frames = 0; frames < 13; ++frames)
        key(wxEVT_KEY_DOWN, WXK_RIGHT);
    key(wxEVT_CHAR, '[');
    EXPECT_NEAR(bar->GetSelectionStart(), 1.3, 1e-9);

    answers.RunNormally("ExportToFFMPEGDialog");
    answers.Queue(wxID_CANCEL);
    Start();
    std::vector<Picture> in = DecodeAllPictures(input), out = DecodeAllPictures(output, 1);
    ASSERT_GE(in.size(), 15u);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_LT(MeanAbsDiff(out[0], in[13]), MeanAbsDiff(out[0], in[12]));
    EXPECT_LT(MeanAbsDiff(out[0], in[13]), MeanAbsDiff(out[0], in[14]));
}

TEST_F(MainWindow, AFailedExportIsReportedWithItsReason)
{
    frame->OpenInputFile(MediaPath("video_only.mp4"));
    frame->SetOutputFile(OutputPath("missing-folder") + "/out.mp4");
    answers.Queue(wxID_OK);
    Start();
    ASSERT_FALSE(answers.Dialogs().empty());
    EXPECT_EQ(answers.Dialogs().back().message, "Can't export to video.\nCan't write to the output folder.");
    EXPECT_EQ(answers.Dialogs().back().title, "Error");

    // A range of less than a picture is refused before anything is written.
    std::string out = OutputPath("empty_range.mp4");
    frame->SetOutputFile(out);
    Find<RangeBarCtrl>("Timeline")->SetSelection(2.0, 2.0);
    answers.Queue(wxID_OK);
    Start();
    EXPECT_EQ(answers.Dialogs().back().message, "Can't export to video.\nThe range is shorter than one frame.");
    EXPECT_NE(access(out.c_str(), F_OK), 0);
}

TEST_F(MainWindow, NewForgetsTheFilesButKeepsTheParameters)
{
    frame->OpenInputFile(MediaPath("av_h264_aac.mp4"));
    frame->SetOutputFile("/v/out.mp4");
    tCodecParams before = frame->GetCodecParams();
    Command(wxEVT_MENU, 2000);
    EXPECT_EQ(Text("InputFile"), "");
    EXPECT_EQ(Text("OutputFile"), "");
    EXPECT_EQ(Text("VideoInfo"), "-");
    EXPECT_EQ(frame->GetCodecParams().iWidth, before.iWidth);
    EXPECT_FALSE(Find<SelectCropCtrl>("Preview")->IsCropEnabled());
    EXPECT_FALSE(Find<RangeBarCtrl>("Timeline")->HasMedia());
    EXPECT_TRUE(Text("FormatCaption").StartsWith("Open a video"));
    // Start now asks for an input again.
    answers.Queue(wxID_CANCEL);
    Start();
    EXPECT_EQ(answers.Dialogs().back().message, "Select input video file");
}

// About is a modal box; the home page is a well-formed address, and the
// user guide of Help > Contents is found (here, the source tree's).
TEST_F(MainWindow, AboutAndHelpShowWhatTheyPromise)
{
    answers.Queue(wxID_OK);
    Command(wxEVT_MENU, wxID_ABOUT);
    ASSERT_EQ(answers.Dialogs().size(), 1u);
    EXPECT_EQ(answers.Dialogs()[0].title, "About Tellavox");
    wxURI home(MainFrame::homePage);
    EXPECT_EQ(home.GetScheme(), "https");
    EXPECT_FALSE(home.GetServer().empty());
    wxString guide = MainFrame::UserGuidePath();
    EXPECT_TRUE(guide.EndsWith("/guide/index.html")) << guide;
    EXPECT_TRUE(wxFileExists(guide));
}

// A file named on the command line (relative to the working folder) and
// the first of several dropped files that opens are opened like a chosen
// one; a bad file gets the chooser's message, a drop of bad files one message.
TEST_F(MainWindow, FilesFromTheCommandLineAndDropsOpenLikeChosenOnes)
{
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
    EXPECT_EQ(Text("InputFile"), MediaPath("video_only.mp4"));
    EXPECT_TRUE(answers.Dialogs().empty());

    answers.Queue(wxID_OK);
    EXPECT_FALSE(frame->OpenCommandLineFile(MediaPath("text.avi")));
    paths.RemoveAt(2, 2);
    answers.Queue(wxID_OK);
    EXPECT_FALSE(target->OnDropFiles(5, 5, paths));
    ASSERT_EQ(answers.Dialogs().size(), 2u);
    EXPECT_EQ(answers.Dialogs()[0].message, cantOpen);
    EXPECT_EQ(answers.Dialogs()[1].message, "This file has no video.") << "the last file's reason";
    EXPECT_EQ(Text("InputFile"), "");
}

TEST_F(MainWindow, AnInputProposesAnUnusedOutputAndTheChoosersOpenWhereTheUserWasLast)
{
    std::string folder = OutputPath("proposals");
    RunCommand("rm -rf " + Quote(folder) + " && mkdir -p " + Quote(folder) + " && cp " +
               Quote(MediaPath("fps10.mp4")) + " " + Quote(folder + "/clip.mp4") + " && touch " +
               Quote(folder + "/clip (1).mp4"));
    frame->OpenInputFile(folder + "/clip.mp4");
    EXPECT_EQ(Text("OutputFile"), folder + "/clip (2).mp4");
    frame->OpenInputFile(MediaPath("video_only.mp4"));  // a proposal follows the input
    EXPECT_EQ(Text("OutputFile"), MediaPath("video_only (1).mp4"));
    frame->SetOutputFile("/v/mine.mp4");  // the user's own choice stays
    frame->OpenInputFile(folder + "/clip.mp4");
    EXPECT_EQ(Text("OutputFile"), "/v/mine.mp4");

    answers.Queue(wxID_CANCEL);
    Command(wxEVT_MENU, 2001);
    answers.Queue(wxID_CANCEL);
    Command(wxEVT_MENU, 2002);
    ASSERT_EQ(answers.Dialogs().size(), 2u);
    EXPECT_EQ(answers.Dialogs()[0].folder, folder);
    EXPECT_EQ(answers.Dialogs()[1].folder, "/v");
}

TEST_F(MainWindow, TheOutputSizeFollowsADrawnCropAndTheCaptionShowsIt)
{
    frame->OpenInputFile(MediaPath("av_h264_aac.mp4"));  // 640 x 480
    auto* crop = Find<SelectCropCtrl>("Preview");
    auto draw = [&](const wxRect& rect) {
        crop->SetCropRect(rect);
        wxCommandEvent changed(wxCROP_RECT_CHANGED, crop->GetId());
        changed.SetEventObject(crop);
        crop->ProcessWindowEvent(changed);
    };
    draw(wxRect(0, 0, 320, 90));
    EXPECT_EQ(frame->GetCodecParams().iWidth, 640);
    EXPECT_EQ(frame->GetCodecParams().iHeight, 180);
    EXPECT_NE(Text("FormatCaption").Find("  Crop: 320x90\n"), wxNOT_FOUND);
    tCodecParams params = frame->GetCodecParams();  // a size set by hand afterwards stays
    params.iWidth = 400;
    params.iHeight = 400;
    frame->ApplyCodecParams(params);
    EXPECT_EQ(frame->GetCodecParams().iHeight, 400);
    EXPECT_NE(Text("FormatCaption").Find("  Crop: 320x90 (stretched)\n"), wxNOT_FOUND);
    draw(wxRect(10, 10, 301, 201));  // the next crop rules again; odd heights become even
    EXPECT_EQ(frame->GetCodecParams().iWidth, 400);
    EXPECT_EQ(frame->GetCodecParams().iHeight, 268);
    EXPECT_EQ(Text("FormatCaption").Find("stretched"), wxNOT_FOUND);
}

TEST_F(MainWindow, TheLeftColumnKeepsItsWidthWhateverTheFileSays)
{
    const char* const watched[] = {"InputButton", "VideoInfo", "OutputFile", "FormatCaption"};
    std::vector<wxRect> places;
    for (const char* name : watched)
        places.push_back(Find<wxWindow>(name)->GetScreenRect());
    for (const char* file : {"ntsc_2997.mp4", "av_h264_aac.mp4", "start_1_4.ts"}) {
        frame->OpenInputFile(MediaPath(file));
        wxTheApp->ProcessIdle();
        for (size_t i = 0; i < places.size(); ++i) {
            wxRect place = Find<wxWindow>(watched[i])->GetScreenRect();
            EXPECT_EQ(place.x, places[i].x) << file << ": " << watched[i];
            EXPECT_EQ(place.width, places[i].width) << file << ": " << watched[i];
        }
    }
}

TEST(AboutBox, EveryLineGetsTheRoomItNeeds)
{
    wxBitmap picture(48, 48);
    AboutBox about("Tellavox", "1.1", MainFrame::homePage, picture, nullptr, 0, "About Tellavox");
    about.Show();
    wxYield();
    int lines = 0;
    for (wxWindow* child : about.GetChildren()) {
        if (child->GetLabel() == "Tellavox" || child->GetLabel() == "1.1") {
            ++lines;
            EXPECT_GE(child->GetSize().GetHeight(), child->GetBestSize().GetHeight())
                << child->GetLabel().utf8_str();
        }
    }
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(about.FindWindow(wxID_OK)->GetLabel(), "OK");
}
