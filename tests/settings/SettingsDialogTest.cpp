// The settings dialog as the user drives it: every family's page, in either
// visiting order, shown whole, starting from its own proposal and keeping
// what the user set there.
#include <gtest/gtest.h>

#include <wx/statbox.h>
#include <wx/stattext.h>

#include "SettingsTestSupport.h"
#include "media/FormatRules.h"
#include "ui/settings/CodecPropsDlg.h"
#include "ui/settings/OutputFormatPanel.h"

using namespace settingstest;

namespace {
constexpr int FAMILY_3GP = 0, FAMILY_MP4 = 1, FAMILY_FLASH = 2, FAMILY_MPEG = 3;

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

tCodecParams SourceRecord()
{
    tCodecParams p = ProposeForSource(OC_MP4, source);
    return p;
}
}  // namespace

TEST(SettingsDialog, EveryPageInEitherVisitingOrderIsWholeStartsFromItsProposalAndKeepsTheUsersValues)
{
    const std::vector<int> orders[] = {{FAMILY_3GP, FAMILY_FLASH, FAMILY_MPEG, FAMILY_MP4},
                                       {FAMILY_MPEG, FAMILY_FLASH, FAMILY_3GP, FAMILY_MP4}};
    for (const std::vector<int>& order : orders) {
        CodecPropsDlg dialog(SourceRecord(), true, nullptr, 0, "Select codec parameters");
        dialog.SetSource(source);
        EXPECT_TRUE(dialog.HasFlag(wxRESIZE_BORDER));
        dialog.Show();
        wxChoice* families = Find<wxChoice>(&dialog)[0];
        EXPECT_TRUE(HasText(&dialog, "Format:"));
        EXPECT_TRUE(HasText(&dialog, "Key frame every:"));
        EXPECT_TRUE(HasText(&dialog, "29.97 (source)"));
        ExpectEveryControlWhole(dialog);

        // The user lowers the MP4 rate and sound before looking at the others.
        Slide(Find<wxSlider>(&dialog)[2], 15);
        Click(Find<wxCheckBox>(&dialog)[1], false);
        const tCodecParams chosen = dialog.GetCodecParams();
        EXPECT_EQ(chosen.iFps, 15);
        EXPECT_EQ(chosen.iAudioChannels, 1);

        for (int family : order) {
            SCOPED_TRACE(family);
            Choose(families, family);
            ExpectEveryControlWhole(dialog);
            enumOutputCodec codec = CodecPropsDlg::GetCodecTypeFromIndex(family);
            tCodecParams expected = family == FAMILY_MP4 ? chosen : ProposeForSource(codec, source);
            EXPECT_EQ(dialog.GetCodecParams(), expected);
        }
        dialog.Hide();
    }
}

TEST(SettingsDialog, TheUsersChangesReachTheRecordWithinTheOutputsLimits)
{
    CodecPropsDlg dialog(SourceRecord(), true, nullptr, 0, "Select codec parameters");
    dialog.SetSource(source);
    auto record = [&dialog] { return dialog.GetCodecParams(); };

    Click(Find<wxRadioButton>(Find<OutputFormatPanel>(&dialog)[0])[4]);
    EXPECT_EQ(record().eCodec, OC_MOV_PART2);
    Spin(Find<wxSpinCtrl>(&dialog)[0], 4000);  // MPEG-4 Part 2 ends at 2048
    EXPECT_EQ(record().iWidth, 2048);
    Slide(Find<wxSlider>(&dialog)[0], 12);
    EXPECT_EQ(record().iGopSize, 12);
    Slide(Find<wxSlider>(&dialog)[2], 24);
    EXPECT_EQ(record().iFps, 24);
    EXPECT_EQ(record().iSourceFpsNum, 0);  // a rate the user chose is no longer the source's
    EXPECT_TRUE(HasText(&dialog, "24"));
    Choose(Find<wxChoice>(&dialog)[2], 5);  // 11025 Hz: stereo goes up to 128 kbit/s
    EXPECT_EQ(record().iAudioSampleRate, 11025);
    EXPECT_EQ(record().iAudioBitrate, 128000);
    EXPECT_EQ(Find<wxChoice>(&dialog)[3]->GetString(0), "128");
    Click(Find<wxCheckBox>(&dialog)[0], false);
    EXPECT_FALSE(record().bAudioEnabled);

    Choose(Find<wxChoice>(&dialog)[0], FAMILY_3GP);
    std::vector<wxChoice*> choices = Find<wxChoice>(&dialog);  // family, sizes, sample rate, bit rate
    Choose(choices[1], 1);
    EXPECT_EQ(std::make_pair(record().iWidth, record().iHeight), std::make_pair(176, 144));
    EXPECT_EQ(choices[3]->GetString(7), "4.75");
    Choose(choices[3], 7);
    EXPECT_EQ(record().iAudioBitrate, 4750);
    EXPECT_FALSE(Find<wxCheckBox>(&dialog)[1]->IsEnabled());  // AMR is mono
    Click(Find<wxRadioButton>(Find<OutputFormatPanel>(&dialog)[0])[1]);
    EXPECT_EQ(record().eCodec, OC_3G2);

    Choose(Find<wxChoice>(&dialog)[0], FAMILY_FLASH);
    EXPECT_EQ(record().eCodec, OC_FLV);
}

// The title names the family only when it cannot be chosen.
TEST(SettingsDialog, TheTitleNamesAFamilyThatCannotBeChosen)
{
    for (auto [codec, family] : {std::pair{OC_3G2, "3GP"}, std::pair{OC_MOV, "MP4"}, std::pair{OC_SWF, "Flash"}}) {
        CodecPropsDlg dialog(Rec(codec, 640, 480, 25, true, 44100, 2, 128000), false, nullptr, 0,
                             "Select codec parameters");
        EXPECT_EQ(dialog.GetTitle(), wxString("Select codec parameters (") + family + ")");
        EXPECT_EQ(dialog.GetCodecParams().eCodec, codec);
        EXPECT_TRUE(Find<wxChoice>(&dialog).size() < 4u);  // no family choice
    }
}

// Given no source, the dialog proposes for the one its record describes.
TEST(SettingsDialog, WithoutASourceItProposesForTheOneItsRecordDescribes)
{
    CodecPropsDlg dialog(SourceRecord(), true, nullptr, 0, "Select codec parameters");
    dialog.Show();
    Choose(Find<wxChoice>(&dialog)[0], FAMILY_MPEG);
    EXPECT_EQ(dialog.GetCodecParams(), ProposeForSource(CodecPropsDlg::GetCodecTypeFromIndex(FAMILY_MPEG), source));
    dialog.Hide();
}
