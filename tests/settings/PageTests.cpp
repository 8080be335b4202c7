#include <gtest/gtest.h>

#include <wx/button.h>

#include "SettingsTestSupport.h"
#include "ui/settings/AudioSettingsPanel.h"
#include "ui/settings/CodecParamPage.h"
#include "ui/settings/CodecPropsDlg.h"
#include "ui/settings/OutputFormatPanel.h"
#include "ui/settings/VQualitySettingsPanel.h"

using namespace settingstest;

namespace {
constexpr int FAMILY_3GP = 0, FAMILY_MP4 = 1, FAMILY_FLASH = 2;

tCodecParams Record(enumOutputCodec codec)
{
    tCodecParams params;
    params.iAudioBitrate = 128000;
    params.iAudioChannels = 2;
    params.iAudioSampleRate = 44100;
    params.iVideoBitrate = 1000000;
    params.iGopSize = 10;
    params.iFps = 25;
    params.iWidth = 640;
    params.iHeight = 480;
    params.bAudioEnabled = true;
    params.eCodec = codec;
    return params;
}

class Pages : public ::testing::Test {
protected:
    void TearDown() override { delete m_Host; }

    // The record as the family's page leaves it.
    tCodecParams Built(int family, tCodecParams params)
    {
        delete CodecPropsDlg::CreateCodecParamPage(family, params, m_Host);
        return params;
    }

    EventCounter* m_Host = new EventCounter;
};
}  // namespace

TEST(CodecFamilies, MapCodecsToPagesAndBack)
{
    EXPECT_EQ(CodecPropsDlg::GetCountSupportedCodecs(), 3);
    const std::pair<int, int> codecs[] = {
        {OC_MP4, FAMILY_MP4}, {OC_PSP, FAMILY_MP4}, {OC_MOV, FAMILY_MP4},  {OC_SWF, FAMILY_FLASH},
        {OC_FLV, FAMILY_FLASH}, {OC_3GP, FAMILY_3GP}, {OC_3G2, FAMILY_3GP}, {OC_MPG, FAMILY_3GP},
        {OC_M2V, FAMILY_3GP}, {OC_VOB, FAMILY_3GP}, {10, FAMILY_3GP},      {-1, FAMILY_3GP},
    };
    for (const auto& [codec, family] : codecs)
        EXPECT_EQ(CodecPropsDlg::GetCodecIndexFromCodecType(enumOutputCodec(codec)), family) << codec;

    EXPECT_EQ(CodecPropsDlg::GetCodecTypeFromIndex(0), OC_3GP);
    EXPECT_EQ(CodecPropsDlg::GetCodecTypeFromIndex(1), OC_MP4);
    EXPECT_EQ(CodecPropsDlg::GetCodecTypeFromIndex(2), OC_SWF);
    EXPECT_EQ(CodecPropsDlg::GetCodecTypeFromIndex(3), OC_3GP);
    EXPECT_EQ(CodecPropsDlg::GetCodecName(2), "Flash");
    EXPECT_EQ(CodecPropsDlg::GetCodecName(3), "");
    EXPECT_EQ(CodecPropsDlg::GetCodecName(-1), "");
    tCodecParams params;
    EXPECT_EQ(CodecPropsDlg::CreateCodecParamPage(3, params, nullptr), nullptr);
}

TEST_F(Pages, Page3GPForcesAmrSoundAndH263Sizes)
{
    tCodecParams params = Built(FAMILY_3GP, Record(OC_MP4));
    EXPECT_EQ(params.eCodec, OC_3GP);
    EXPECT_EQ(params.iAudioSampleRate, 8000);
    EXPECT_EQ(params.iAudioChannels, 1);
    EXPECT_EQ(params.iAudioBitrate, 12200);
    EXPECT_EQ(params.iWidth, 704);
    EXPECT_EQ(params.iHeight, 576);
    EXPECT_EQ(params.iFps, 15);
    EXPECT_TRUE(params.bAudioEnabled);

    auto audio = [&](int bitrate) {
        tCodecParams record = Record(OC_3G2);
        record.iAudioBitrate = bitrate;
        return Built(FAMILY_3GP, record);
    };
    EXPECT_EQ(audio(6000).iAudioBitrate, 6700);
    EXPECT_EQ(audio(4750).iAudioBitrate, 4750);
    EXPECT_EQ(audio(4750).eCodec, OC_3G2);

    tCodecParams small = Record(OC_VOB);
    small.iWidth = 320;
    small.iHeight = 240;
    small.iFps = 0;
    small.bAudioEnabled = false;
    small = Built(FAMILY_3GP, small);
    EXPECT_EQ(small.eCodec, OC_3GP);
    EXPECT_EQ(wxSize(small.iWidth, small.iHeight), wxSize(352, 288));
    EXPECT_EQ(small.iFps, 5);
    EXPECT_FALSE(small.bAudioEnabled);
    EXPECT_EQ(m_Host->Total(), 0);
}

TEST_F(Pages, FreeSizePagesSnapRatesAndKeepTheirContainer)
{
    auto mp4 = [&](int sampleRate) {
        tCodecParams record = Record(OC_MOV);
        record.iAudioSampleRate = sampleRate;
        return Built(FAMILY_MP4, record);
    };
    EXPECT_EQ(mp4(16000).iAudioSampleRate, 11025);
    EXPECT_EQ(mp4(8000).iAudioSampleRate, 11025);
    EXPECT_EQ(mp4(96000).iAudioSampleRate, 48000);
    EXPECT_EQ(mp4(44000).iAudioSampleRate, 32000);
    EXPECT_EQ(mp4(44100).eCodec, OC_MOV);
    EXPECT_EQ(Built(FAMILY_MP4, Record(OC_PSP)).eCodec, OC_PSP);
    EXPECT_EQ(Built(FAMILY_MP4, Record(OC_SWF)).eCodec, OC_MP4);

    EXPECT_EQ(Built(FAMILY_FLASH, Record(OC_FLV)).eCodec, OC_FLV);
    EXPECT_EQ(Built(FAMILY_FLASH, Record(OC_MP4)).eCodec, OC_SWF);
    tCodecParams flash = Record(OC_SWF);
    flash.iAudioSampleRate = 48000;
    flash.iAudioBitrate = 500000;
    flash.iAudioChannels = 7;
    flash = Built(FAMILY_FLASH, flash);
    EXPECT_EQ(flash.iAudioSampleRate, 44100);
    EXPECT_EQ(flash.iAudioBitrate, 320000);
    EXPECT_EQ(flash.iAudioChannels, 2);

    tCodecParams sizes = Record(OC_MP4);
    sizes.iWidth = 4000;
    sizes.iHeight = 10;
    sizes = Built(FAMILY_MP4, sizes);
    EXPECT_EQ(wxSize(sizes.iWidth, sizes.iHeight), wxSize(2048, 24));
    EXPECT_EQ(m_Host->Total(), 0);
}

TEST_F(Pages, TheAudioBitrateIsWrittenBeforeMonoIsApplied)
{
    // Loaded while the panel still offers the stereo list, the record keeps
    // 320 kbps although the mono list shown afterwards starts at 288.
    tCodecParams record = Record(OC_MP4);
    record.iAudioSampleRate = 48000;
    record.iAudioBitrate = 320000;
    record.iAudioChannels = 1;
    CodecParamPage* page = CodecPropsDlg::CreateCodecParamPage(FAMILY_MP4, record, m_Host);
    EXPECT_EQ(record.iAudioBitrate, 320000);
    EXPECT_EQ(record.iAudioChannels, 1);
    EXPECT_EQ(Find<AudioSettingsPanel>(page)[0]->GetBitrate(), 288000);
    delete page;
}

TEST_F(Pages, VideoQualityIsClampedOnEveryPage)
{
    struct Case {
        int gop, bitrate, fps;
        int gopAfter, bitrateAfter, fpsAfter3gp, fpsAfterOthers;
    };
    const Case cases[] = {
        {25, 1234567, 60, 20, 1234000, 15, 30},
        {-3, 100, 0, 0, 5000, 5, 5},
        {INT32_MIN, 20000000, INT32_MAX, 0, 15000000, 15, 30},
        {INT32_MAX, INT32_MIN, 12, 20, 5000, 12, 12},
    };
    for (const Case& c : cases) {
        for (int family : {FAMILY_3GP, FAMILY_MP4, FAMILY_FLASH}) {
            tCodecParams record = Record(OC_MP4);
            record.iGopSize = c.gop;
            record.iVideoBitrate = c.bitrate;
            record.iFps = c.fps;
            record = Built(family, record);
            EXPECT_EQ(record.iGopSize, c.gopAfter) << family << " gop " << c.gop;
            EXPECT_EQ(record.iVideoBitrate, c.bitrateAfter) << family;
            EXPECT_EQ(record.iFps, family == FAMILY_3GP ? c.fpsAfter3gp : c.fpsAfterOthers) << family;
        }
    }
}

TEST_F(Pages, UserChangesReachTheRecord)
{
    tCodecParams record = Built(FAMILY_FLASH, Record(OC_SWF));
    CodecParamPage* page = CodecPropsDlg::CreateCodecParamPage(FAMILY_FLASH, record, m_Host);

    // Moving only the FPS slider rewrites the other two from their sliders.
    record.iGopSize = 99;
    record.iVideoBitrate = 1;
    Slide(Find<wxSlider>(page)[2], 12);
    EXPECT_EQ(record.iFps, 12);
    EXPECT_EQ(record.iGopSize, 10);
    EXPECT_EQ(record.iVideoBitrate, 1000000);

    Click(Find<wxRadioButton>(Find<OutputFormatPanel>(page)[0])[1]);
    EXPECT_EQ(record.eCodec, OC_FLV);

    auto spins = Find<wxSpinCtrl>(page);
    Spin(spins[1], 200);
    EXPECT_EQ(record.iHeight, 200);

    auto choices = Find<wxChoice>(page);
    Choose(choices[0], 2);  // 11025 Hz
    EXPECT_EQ(record.iAudioSampleRate, 11025);
    EXPECT_EQ(record.iAudioBitrate, 128000);
    Click(Find<wxCheckBox>(page)[1], false);  // mono
    EXPECT_EQ(record.iAudioChannels, 1);
    EXPECT_EQ(record.iAudioBitrate, 64000);
    Click(Find<wxCheckBox>(page)[0], false);
    EXPECT_FALSE(record.bAudioEnabled);

    // The page takes the panels' events; none of them goes further up.
    EXPECT_EQ(m_Host->Total(), 0);
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

TEST(SettingsDialog, TitleNamesTheFamilyWhenItCannotBeChosen)
{
    CodecPropsDlg fixed(Record(OC_3G2), false, nullptr, 0, "Select codec parameters");
    EXPECT_EQ(fixed.GetTitle(), "Select codec parameters (3GP)");
    CodecPropsDlg mov(Record(OC_MOV), false, nullptr, 0, "Select codec parameters");
    EXPECT_EQ(mov.GetTitle(), "Select codec parameters (MP4)");
    EXPECT_EQ(mov.GetName(), "CodecPropsDlg");
    CodecPropsDlg free(Record(OC_MOV), true, nullptr, 0, "Select codec parameters");
    EXPECT_EQ(free.GetTitle(), "Select codec parameters");
}

TEST(SettingsDialog, ChoosingAFamilyReplacesThePage)
{
    tCodecParams original = Record(OC_MP4);
    CodecPropsDlg dialog(original, true, nullptr, 0, "Select codec parameters");
    wxChoice* families = nullptr;
    for (wxChoice* choice : Find<wxChoice>(&dialog)) {
        if (choice->GetParent() == &dialog)
            families = choice;
    }
    ASSERT_NE(families, nullptr);
    EXPECT_EQ(families->GetSelection(), FAMILY_MP4);
    EXPECT_EQ(Find<CodecParamPage>(&dialog).size(), 1u);

    Choose(families, FAMILY_FLASH);
    EXPECT_EQ(dialog.GetCodecParams().eCodec, OC_SWF);
    EXPECT_EQ(Find<CodecParamPage>(&dialog).size(), 1u);
    EXPECT_EQ(Find<OutputFormatPanel>(&dialog)[0]->IsShown(), true);

    Choose(families, FAMILY_3GP);
    const tCodecParams edited = dialog.GetCodecParams();
    EXPECT_EQ(edited.eCodec, OC_3GP);
    EXPECT_EQ(edited.iAudioSampleRate, 8000);
    EXPECT_EQ(edited.iAudioChannels, 1);
    EXPECT_EQ(Find<CodecParamPage>(&dialog).size(), 1u);
    EXPECT_EQ(original.eCodec, OC_MP4);  // the caller's record is only read
}

TEST(SettingsDialog, ValidationMovesEveryRecordIntoItsFamily)
{
    for (enumOutputCodec mpeg : {OC_MPG, OC_M2V, OC_VOB, enumOutputCodec(42)}) {
        tCodecParams params = Record(mpeg);
        CodecPropsDlg::DoParamsValidation(params);
        EXPECT_EQ(params.eCodec, OC_3GP);
        EXPECT_EQ(params.iAudioSampleRate, 8000);
        EXPECT_EQ(params.iWidth, 704);
    }
    tCodecParams flv = Record(OC_FLV);
    CodecPropsDlg::DoParamsValidation(flv);
    EXPECT_EQ(flv.eCodec, OC_FLV);
}
