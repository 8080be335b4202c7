#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "ui/settings/CodecParamPage.h"
#include "ui/settings/CodecPropsDlg.h"
#include "ui/settings/OutputFormatPanel.h"

using namespace settingstest;

namespace {
constexpr int FAMILY_3GP = 0, FAMILY_MP4 = 1, FAMILY_FLASH = 2, FAMILY_MPEG = 3;

// 640x480 at 25 fps, with the given sound.
tCodecParams Sound(enumOutputCodec codec, int sampleRate, int channels, int bitrate)
{
    return Rec(codec, 640, 480, 25, true, sampleRate, channels, bitrate);
}
tCodecParams Record(enumOutputCodec codec) { return Sound(codec, 44100, 2, 128000); }

class Pages : public HostedTest {
protected:
    // The record as the family's page leaves it.
    tCodecParams Built(int family, tCodecParams params)
    {
        delete CodecPropsDlg::CreateCodecParamPage(family, params, m_Host);
        return params;
    }
};
}  // namespace

TEST(CodecFamilies, MapCodecsToPagesAndValidationKeepsOrReplacesTheCodec)
{
    EXPECT_EQ(CodecPropsDlg::GetCountSupportedCodecs(), 4);
    const struct { int codec, family, validated; } codecs[] = {
        {OC_MP4, FAMILY_MP4, OC_MP4},     {OC_PSP, FAMILY_MP4, OC_PSP},   {OC_MOV, FAMILY_MP4, OC_MOV},
        {OC_MP4_PART2, FAMILY_MP4, OC_MP4_PART2},                         {OC_MOV_PART2, FAMILY_MP4, OC_MOV_PART2},
        {OC_SWF, FAMILY_FLASH, OC_SWF},   {OC_FLV, FAMILY_FLASH, OC_FLV}, {OC_3GP, FAMILY_3GP, OC_3GP},
        {OC_3G2, FAMILY_3GP, OC_3G2},     {OC_MPG, FAMILY_MPEG, OC_MPG},  {OC_M2V, FAMILY_MPEG, OC_M2V},
        {OC_VOB, FAMILY_MPEG, OC_VOB},    {12, FAMILY_3GP, OC_3GP},       {42, FAMILY_3GP, OC_3GP},
        {-1, FAMILY_3GP, OC_3GP},
    };
    for (const auto& c : codecs) {
        EXPECT_EQ(CodecPropsDlg::GetCodecIndexFromCodecType(enumOutputCodec(c.codec)), c.family) << c.codec;
        tCodecParams params = Record(enumOutputCodec(c.codec));
        CodecPropsDlg::DoParamsValidation(params);
        EXPECT_EQ(params.eCodec, c.validated) << c.codec;
        // Only the 3GP page forces AMR sound and H.263 sizes.
        EXPECT_EQ(params.iAudioSampleRate, c.family == FAMILY_3GP ? 8000 : 44100) << c.codec;
        EXPECT_EQ(params.iWidth, c.family == FAMILY_3GP ? 704 : 640) << c.codec;
    }

    const std::pair<int, enumOutputCodec> firsts[] = {{0, OC_3GP}, {1, OC_MP4}, {2, OC_SWF}, {3, OC_MPG}, {4, OC_3GP}};
    for (const auto& [family, codec] : firsts)
        EXPECT_EQ(CodecPropsDlg::GetCodecTypeFromIndex(family), codec) << family;
    EXPECT_EQ(CodecPropsDlg::GetCodecName(2), "Flash");
    EXPECT_EQ(CodecPropsDlg::GetCodecName(4), "");
    EXPECT_EQ(CodecPropsDlg::GetCodecName(-1), "");
    tCodecParams params;
    EXPECT_EQ(CodecPropsDlg::CreateCodecParamPage(4, params, nullptr), nullptr);
}

TEST_F(Pages, EachPageNormalisesTheRecordSilently)
{
    // Columns of Rec: codec, width, height, fps, audio, sample rate, channels, audio bit rate.
    const struct { int family; tCodecParams asked, built; } cases[] = {
        // 3GP: AMR-NB mono at 8 kHz, H.263 sizes, at most 15 fps; 3GP unless 3G2 was asked.
        {FAMILY_3GP, Record(OC_MP4), Rec(OC_3GP, 704, 576, 15, true, 8000, 1, 12200)},
        {FAMILY_3GP, Sound(OC_3G2, 44100, 2, 6000), Rec(OC_3G2, 704, 576, 15, true, 8000, 1, 6700)},
        {FAMILY_3GP, Rec(OC_VOB, 320, 240, 0, false, 44100, 2, 128000),
         Rec(OC_3GP, 352, 288, 5, false, 8000, 1, 12200)},
        // MP4: the panels' snapped values are written back (a sample rate below the
        // table's lowest goes up to it), sizes are kept inside the spins.
        {FAMILY_MP4, Sound(OC_MOV, 8000, 2, 128000), Sound(OC_MOV, 11025, 2, 128000)},
        {FAMILY_MP4, Record(OC_PSP), Record(OC_PSP)},
        {FAMILY_MP4, Rec(OC_SWF, 4000, 10, 25, true, 44100, 2, 128000),
         Rec(OC_MP4, 2048, 24, 25, true, 44100, 2, 128000)},
        // The bit rate is written back before mono is applied: 320 kbit/s stays
        // although the mono list at 48 kHz starts at 288.
        {FAMILY_MP4, Sound(OC_MP4, 48000, 1, 320000), Sound(OC_MP4, 48000, 1, 320000)},
        // Surround as the source is kept for AAC in MP4 and MOV, not for the PSP.
        {FAMILY_MP4, Sound(OC_MOV, 48000, 6, 320000), Sound(OC_MOV, 48000, 6, 320000)},
        {FAMILY_MP4, Sound(OC_PSP, 48000, 6, 320000), Sound(OC_PSP, 48000, 2, 320000)},
        // Flash: at most 44.1 kHz and 320 kbit/s, stereo for any channel count above one.
        {FAMILY_FLASH, Record(OC_FLV), Record(OC_FLV)},
        {FAMILY_FLASH, Record(OC_MP4), Record(OC_SWF)},
        {FAMILY_FLASH, Sound(OC_SWF, 48000, 7, 500000), Sound(OC_SWF, 44100, 2, 320000)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Built(c.family, c.asked), c.built) << "family " << c.family << " asked " << c.asked;
    EXPECT_EQ(m_Host->total, 0);
}

TEST_F(Pages, VideoQualityIsClampedOnEveryPage)
{
    // The extreme GOP sizes guard against overflow when quality is computed from them.
    // Frame rates after the 3GP, MP4, Flash and MPEG pages: MPEG takes only its own.
    const struct { int gop, bitrate, fps, gopAfter, bitrateAfter, fpsAfter[4]; } cases[] = {
        {25, 1234567, 60, 20, 1234000, {15, 60, 30, 60}},
        {-3, 100, 0, 0, 5000, {5, 5, 5, 24}},
        {INT32_MIN, 20000000, INT32_MAX, 0, 15000000, {15, 60, 30, 60}},
        {INT32_MAX, INT32_MIN, 12, 20, 5000, {12, 12, 12, 24}},
        {10, 1000000, 28, 10, 1000000, {15, 28, 28, 30}},
    };
    for (const auto& c : cases) {
        for (int family : {FAMILY_3GP, FAMILY_MP4, FAMILY_FLASH, FAMILY_MPEG}) {
            tCodecParams record = Record(OC_MP4);
            record.iGopSize = c.gop;
            record.iVideoBitrate = c.bitrate;
            record.iFps = c.fps;
            record = Built(family, record);
            EXPECT_EQ(record.iGopSize, c.gopAfter) << family << " gop " << c.gop;
            EXPECT_EQ(record.iVideoBitrate, c.bitrateAfter) << family;
            EXPECT_EQ(record.iFps, c.fpsAfter[family]) << family;
        }
    }
}

TEST_F(Pages, UserChangesReachTheRecord)
{
    tCodecParams record = Built(FAMILY_FLASH, Record(OC_SWF));
    CodecParamPage* page = CodecPropsDlg::CreateCodecParamPage(FAMILY_FLASH, record, m_Host);

    // Moving only the FPS slider rewrites the other two from their sliders,
    // and the rate, now the user's, is no longer the source's.
    record.iGopSize = 99;
    record.iVideoBitrate = 1;
    record.iSourceFpsNum = 30000, record.iSourceFpsDen = 1001;
    Slide(Find<wxSlider>(page)[2], 12);
    EXPECT_EQ(record.iFps, 12);
    EXPECT_EQ(record.iGopSize, 10);
    EXPECT_EQ(record.iVideoBitrate, 1000000);
    EXPECT_EQ(record.iSourceFpsNum, 0);

    Click(Find<wxRadioButton>(Find<OutputFormatPanel>(page)[0])[1]);
    EXPECT_EQ(record.eCodec, OC_FLV);
    Spin(Find<wxSpinCtrl>(page)[1], 200);
    EXPECT_EQ(record.iHeight, 200);
    Choose(Find<wxChoice>(page)[0], 2);  // 11025 Hz
    EXPECT_EQ(record.iAudioSampleRate, 11025);
    EXPECT_EQ(record.iAudioBitrate, 128000);
    Click(Find<wxCheckBox>(page)[1], false);  // mono
    EXPECT_EQ(record.iAudioChannels, 1);
    EXPECT_EQ(record.iAudioBitrate, 64000);
    Click(Find<wxCheckBox>(page)[0], false);
    EXPECT_FALSE(record.bAudioEnabled);

    // The page takes the panels' events; none of them goes further up.
    EXPECT_EQ(m_Host->total, 0);
    delete page;

    tCodecParams small = Built(FAMILY_3GP, Record(OC_3GP));
    page = CodecPropsDlg::CreateCodecParamPage(FAMILY_3GP, small, m_Host);
    auto buttons = Find<wxRadioButton>(page);  // sizes, then audio rates, then formats
    ASSERT_EQ(buttons.size(), 5u + 8u + 2u);
    Click(buttons[1]);
    EXPECT_EQ(wxSize(small.iWidth, small.iHeight), wxSize(176, 144));
    Click(buttons[5]);
    EXPECT_EQ(small.iAudioBitrate, 4750);
    Click(buttons[14]);
    EXPECT_EQ(small.eCodec, OC_3G2);
    EXPECT_EQ(small.iAudioSampleRate, 8000);
    delete page;
}

// The title names the family only when it cannot be chosen; choosing another
// family replaces the page and edits a copy of the caller's record.
TEST(SettingsDialog, TheTitleOrTheChoiceShowsTheFamilyAndChoosingOneReplacesThePage)
{
    for (auto [codec, family] : {std::pair{OC_3G2, "3GP"}, std::pair{OC_MOV, "MP4"}}) {
        CodecPropsDlg dialog(Record(codec), false, nullptr, 0, "Select codec parameters");
        EXPECT_EQ(dialog.GetTitle(), wxString("Select codec parameters (") + family + ")");
        EXPECT_EQ(dialog.GetName(), "CodecPropsDlg");
    }

    tCodecParams original = Record(OC_MP4);
    CodecPropsDlg dialog(original, true, nullptr, 0, "Select codec parameters");
    EXPECT_EQ(dialog.GetTitle(), "Select codec parameters");
    wxChoice* families = Find<wxChoice>(&dialog)[0];  // above the page
    ASSERT_EQ(families->GetParent(), &dialog);
    EXPECT_EQ(families->GetSelection(), FAMILY_MP4);
    for (auto [family, codec] : {std::pair{FAMILY_MP4, OC_MP4}, {FAMILY_FLASH, OC_SWF}, {FAMILY_3GP, OC_3GP}}) {
        if (family != FAMILY_MP4)
            Choose(families, family);
        EXPECT_EQ(dialog.GetCodecParams().eCodec, codec);
        EXPECT_EQ(Find<CodecParamPage>(&dialog).size(), 1u);
        EXPECT_TRUE(Find<OutputFormatPanel>(&dialog)[0]->IsShown());
    }
    EXPECT_EQ(dialog.GetCodecParams().iAudioSampleRate, 8000);
    EXPECT_EQ(dialog.GetCodecParams().iAudioChannels, 1);
    EXPECT_EQ(original.eCodec, OC_MP4);  // the caller's record is only read
}
