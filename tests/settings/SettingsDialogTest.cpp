// The settings dialog as the user drives it: every family's page, in either
// visiting order, shown whole, starting from its own proposal and keeping
// what the user set there; the encoding choices offered where the output
// has them.
#include <gtest/gtest.h>

#include <wx/statbox.h>
#include <wx/stattext.h>

#include "SettingsTestSupport.h"
#include "media/FormatRules.h"
#include "ui/settings/CodecPropsDlg.h"

using namespace settingstest;

namespace {
constexpr int FAMILY_3GP = 0, FAMILY_MP4 = 1, FAMILY_FLASH = 2, FAMILY_MPEG = 3, FAMILY_MATROSKA = 4;

// A 29.97 fps 640x480 source with 48 kHz stereo sound.
const tSourceDescription source = {640, 480, 1.0, 30000, 1001, 30000.0 / 1001, true, 48000, 2};

bool ShownIn(wxWindow* window, wxWindow* top)
{
    for (; window && window != top; window = window->GetParent()) {
        if (!window->IsShown())
            return false;
    }
    return true;
}

// Every control that is shown is at least as large as its content asks.
void ExpectEveryControlWhole(wxDialog& dialog)
{
    for (wxControl* control : Find<wxControl>(&dialog)) {
        if (!ShownIn(control, &dialog))
            continue;
        wxSize size = control->GetSize(), best = control->GetBestSize();
        // A static box's best size holds its contents, not its title.
        if (dynamic_cast<wxStaticBox*>(control))
            best.IncTo(wxSize(control->GetTextExtent(control->GetLabel()).x, 0));
        EXPECT_TRUE(size.x >= best.x && size.y >= best.y)
            << wxString(control->GetClassInfo()->GetClassName()) << " \"" << control->GetLabel() << "\" " << size.x << "x"
            << size.y << " < " << best.x << "x" << best.y;
    }
}

bool HasText(wxWindow* root, const wxString& text)
{
    for (wxStaticText* label : Find<wxStaticText>(root)) {
        if (label->GetLabel() == text && ShownIn(label, root))
            return true;
    }
    return false;
}

// The dialog on the source's MP4 proposal, with its family choice; told
// the source, or left to read it from the record.
struct Dialog : CodecPropsDlg {
    explicit Dialog(bool toldSource = true)
        : CodecPropsDlg(ProposeForSource(OC_MP4, source), true, nullptr, 0, "Select codec parameters")
    {
        if (toldSource)
            SetSource(source);
    }
    tCodecParams Record() const { return GetCodecParams(); }
    void ChooseOutput(int family, const char* label)
    {
        Choose(Find<wxChoice>(this)[0], family);
        Click(Labelled<wxRadioButton>(this, label));
    }
    template <class T>
    T* Control(const wxString& label) { return Labelled<T>(this, label); }
    bool Shown(const wxString& label) { return ShownIn(Control<wxWindow>(label), this); }
};
}  // namespace

TEST(SettingsDialog, EveryPageInEitherVisitingOrderIsWholeStartsFromItsProposalAndKeepsTheUsersValues)
{
    const std::vector<int> orders[] = {{FAMILY_3GP, FAMILY_FLASH, FAMILY_MATROSKA, FAMILY_MPEG, FAMILY_MP4},
                                       {FAMILY_MPEG, FAMILY_MATROSKA, FAMILY_FLASH, FAMILY_3GP, FAMILY_MP4}};
    for (const std::vector<int>& order : orders) {
        Dialog dialog(&order == &orders[0]);
        dialog.Show();
        EXPECT_TRUE(HasText(&dialog, "Format:"));  // the family choice
        EXPECT_TRUE(HasText(&dialog, "29.97 (source)"));
        ExpectEveryControlWhole(dialog);

        // The user lowers the MP4 rate and sound before looking at the others.
        Slide(dialog.Control<wxSlider>("Frames per second:"), 15);
        Click(dialog.Control<wxCheckBox>("Stereo"), false);
        const tCodecParams chosen = dialog.Record();
        EXPECT_EQ(chosen.iFps, 15);
        EXPECT_EQ(chosen.iAudioChannels, 1);

        for (int family : order) {
            SCOPED_TRACE(family);
            Choose(Find<wxChoice>(&dialog)[0], family);
            ExpectEveryControlWhole(dialog);
            enumOutputCodec codec = CodecPropsDlg::GetCodecTypeFromIndex(family);
            tCodecParams expected = family == FAMILY_MP4 ? chosen : ProposeForSource(codec, source);
            EXPECT_EQ(dialog.Record(), expected);
        }
        dialog.Hide();
    }
}

TEST(SettingsDialog, TheUsersChangesReachTheRecordWithinTheOutputsLimits)
{
    Dialog dialog;
    dialog.ChooseOutput(FAMILY_MP4, "mov, MPEG-4 Part 2 video");
    EXPECT_EQ(dialog.Record().eCodec, OC_MOV_PART2);
    Spin(dialog.Control<wxSpinCtrl>("Width:"), 4000);  // MPEG-4 Part 2 ends at 2048
    EXPECT_EQ(dialog.Record().iWidth, 2048);
    Slide(dialog.Control<wxSlider>("Key frame every:"), 12);
    EXPECT_EQ(dialog.Record().iGopSize, 12);
    Slide(dialog.Control<wxSlider>("Frames per second:"), 24);
    EXPECT_EQ(dialog.Record().iFps, 24);
    EXPECT_EQ(dialog.Record().iSourceFpsNum, 0);  // a rate the user chose is no longer the source's
    EXPECT_TRUE(HasText(&dialog, "24"));
    Choose(dialog.Control<wxChoice>("Samples per second:"), 5);  // 11025 Hz: stereo goes up to 128 kbit/s
    EXPECT_EQ(dialog.Record().iAudioSampleRate, 11025);
    EXPECT_EQ(dialog.Record().iAudioBitrate, 128000);
    EXPECT_EQ(dialog.Control<wxChoice>("Bitrate (kbps):")->GetString(0), "128");
    Click(dialog.Control<wxCheckBox>("Enabled"), false);
    EXPECT_FALSE(dialog.Record().bAudioEnabled);

    dialog.ChooseOutput(FAMILY_3GP, "3g2, H.263 video");
    Choose(Find<wxChoice>(dialog.FindWindow("ResolutionPanel"))[0], 1);
    EXPECT_EQ(dialog.Record().eCodec, OC_3G2);
    EXPECT_EQ(std::make_pair(dialog.Record().iWidth, dialog.Record().iHeight), std::make_pair(176, 144));
    wxChoice* bitrates = dialog.Control<wxChoice>("Bitrate (kbps):");
    EXPECT_EQ(bitrates->GetString(7), "4.75");
    Choose(bitrates, 7);
    EXPECT_EQ(dialog.Record().iAudioBitrate, 4750);
    EXPECT_FALSE(dialog.Control<wxCheckBox>("Stereo")->IsEnabled());  // AMR is mono
}

// Quality, speed and HDR appear where the output's encoder has them, the
// sound codecs are the output's own, the others its container takes and a
// copy; each choice reaches the record.
TEST(SettingsDialog, EncodingChoicesAreOfferedWhereTheOutputHasThemAndReachTheRecord)
{
    const struct { int family; const char* output; bool quality, speed, hdr; std::vector<wxString> sound; } cases[] = {
        {FAMILY_MP4, "mp4, H.264 video", true, true, false, {"AAC", "Copy the source's sound"}},
        {FAMILY_MP4, "mp4, AV1 video", true, true, true, {"AAC", "Opus", "Copy the source's sound"}},
        {FAMILY_MPEG, "vob (DVD), MPEG-2 video", false, false, false, {"MP2", "Copy the source's sound"}},
        {FAMILY_MATROSKA, "mkv, H.265 video", true, true, true, {"AAC", "Opus", "Copy the source's sound"}},
        {FAMILY_MATROSKA, "webm, VP9 video", true, true, false, {"Opus", "Copy the source's sound"}},
    };
    Dialog dialog;
    dialog.Show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output);
        dialog.ChooseOutput(c.family, c.output);
        wxChoice* rate = dialog.Control<wxChoice>("Rate control:");
        EXPECT_EQ(rate->GetCount(), c.quality ? 3u : 2u);
        Choose(rate, rate->FindString(c.quality ? "Constant quality" : "Bit rate"));
        EXPECT_EQ(dialog.Shown("Quality (lower is better):"), c.quality);
        EXPECT_EQ(dialog.Shown("Speed:"), c.speed);
        EXPECT_EQ(dialog.Shown("Keep HDR (10-bit)"), c.hdr);
        EXPECT_FALSE(dialog.Shown("Target size (MB):"));
        wxChoice* sound = dialog.Control<wxChoice>("Codec:");
        EXPECT_EQ(sound->GetStrings(), wxArrayString(c.sound.size(), c.sound.data()));
        ExpectEveryControlWhole(dialog);
    }

    Slide(dialog.Control<wxSlider>("Quality (lower is better):"), 20);
    EXPECT_EQ(dialog.Record().eVideoRate, VR_QUALITY);
    EXPECT_EQ(dialog.Record().iQuality, 20);
    EXPECT_FALSE(dialog.Control<wxSlider>("Bitrate (kbps):")->IsEnabled());
    Choose(dialog.Control<wxChoice>("Speed:"), 1);
    EXPECT_EQ(dialog.Record().iSpeed, 1);
    Choose(dialog.Control<wxChoice>("Rate control:"), 2);
    EXPECT_TRUE(dialog.Shown("Target size (MB):"));
    EXPECT_EQ(dialog.Record().eVideoRate, VR_TARGET_SIZE);
    Spin(dialog.Control<wxSpinCtrlDouble>("Target size (MB):"), 8.5);
    EXPECT_EQ(dialog.Record().iTargetKB, 8500);

    Choose(dialog.Control<wxChoice>("Codec:"), 1);  // copied
    EXPECT_EQ(dialog.Record().eSoundCodec, SC_COPY);
    EXPECT_FALSE(dialog.Control<wxChoice>("Samples per second:")->IsEnabled());
    Click(dialog.Control<wxCheckBox>("Copy the video as it is (no re-encoding)"), true);
    EXPECT_TRUE(dialog.Record().bCopyVideo);
    EXPECT_FALSE(dialog.Control<wxSpinCtrl>("Width:")->IsEnabled());
    EXPECT_FALSE(dialog.Control<wxChoice>("Speed:")->IsEnabled());

    dialog.ChooseOutput(FAMILY_MATROSKA, "mkv, AV1 video");
    Click(dialog.Control<wxCheckBox>("Keep HDR (10-bit)"), true);
    EXPECT_TRUE(dialog.Record().bKeepHdr);
    Choose(dialog.Control<wxChoice>("Codec:"), 1);
    EXPECT_EQ(dialog.Record().eSoundCodec, SC_OPUS);
    EXPECT_EQ(dialog.Control<wxChoice>("Samples per second:")->GetStrings(), wxArrayString(1, "48000"));
}
