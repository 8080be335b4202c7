#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "media/EncoderCore.h"
#include "media/OutputStream.h"

extern "C" {
#include <libavutil/log.h>
}
#include "SettingsTestSupport.h"
#include "support/MediaProbe.h"
#include "support/TestFrames.h"
#include "support/TestMedia.h"
#include "ui/settings/CodecPropsDlg.h"
#include "ui/settings/OutputFormatPanel.h"

namespace {
// Any field values: mostly near the ranges the pages know, sometimes anything.
tCodecParams RandomRecord(std::mt19937& random)
{
    std::uniform_int_distribution<int> any(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int> coin(0, 3);
    auto pick = [&](int low, int high) {
        return coin(random) == 0 ? any(random) : std::uniform_int_distribution<int>(low, high)(random);
    };
    // In the record's field order, drawn in that order: audio bit rate, channels,
    // sample rate, video bit rate, GOP size, fps, width, height, sound on, codec.
    tCodecParams record = {pick(0, 400000),   pick(-1, 8),     pick(0, 100000),   pick(0, 20000000),
                           pick(-5, 30),      pick(-5, 70),    pick(-10, 3000),   pick(-10, 3000),
                           coin(random) != 0, enumOutputCodec(pick(-2, 14))};
    // The source's rate: none, 24000/1001 .. 60000/1001, or anything.
    record.iSourceFpsNum = pick(0, 2) * 30000;
    record.iSourceFpsDen = pick(1001, 1001);
    return record;
}

// Two thousand random records, in four runs that the test runner can spread.
class ValidationOfRandomRecords : public ::testing::TestWithParam<int> {};

TEST_P(ValidationOfRandomRecords, ValidatingTwiceEqualsValidatingOnce)
{
    std::mt19937 random(20240605 + GetParam());
    for (int i = 0; i < 500; ++i) {
        tCodecParams once = RandomRecord(random);
        CodecPropsDlg::DoParamsValidation(once);
        tCodecParams twice = once;
        CodecPropsDlg::DoParamsValidation(twice);
        ASSERT_EQ(twice, once) << "record " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Validation, ValidationOfRandomRecords, ::testing::Range(0, 4));

// Opens an output file on `params` and writes two pictures and a fifth of a
// second of sound into it.
void WriteShortClip(const tCodecParams& params, int shade,
                    const std::string& path = testsupport::OutputPath("validated.out"))
{
    OutputStream output(path.c_str(), params);
    ffmpeg::FramePtr picture = testsupport::NewPicture(params.iWidth, params.iHeight, uint8_t(shade));
    ASSERT_TRUE(picture);
    output.WriteNextVideoFrame(picture.get());
    output.WriteNextVideoFrame(picture.get());

    if (params.iAudioChannels < 1 || params.iAudioSampleRate < 5)
        return;
    const int samples = params.iAudioSampleRate / 5;
    ffmpeg::FramePtr sound = testsupport::NewSound(params.iAudioChannels, params.iAudioSampleRate, samples);
    ASSERT_TRUE(sound);
    for (int s = 0; s < samples * params.iAudioChannels; ++s)
        testsupport::Samples(*sound)[s] = int16_t((s * 37) % 20000 - 10000);
    output.WriteSound(sound.get(), INT64_MAX);
}
}  // namespace

TEST(Validation, EveryValidatedRecordOpensAnOutputFile)
{
    av_log_set_level(AV_LOG_ERROR);
    using settingstest::Rec;
    const tCodecParams edges[] = {
        Rec(OC_PSP, 25, 25, 30, false, 0, 0, 0),              // odd size, no sound
        Rec(OC_MOV, 2048, 2048, 30, true, 48000, 1, 320000),  // 320 kbps kept in mono
        Rec(OC_FLV, 2047, 23, 30, true, 22050, 1, 999999),
        Rec(OC_SWF, 24, 2048, 30, true, 11025, 2, 1),
        Rec(OC_3G2, 1, 1, 30, false, 44100, 2, 64000),
        Rec(OC_M2V, 5000, 5000, 30, true, 0, 0, 0),
    };
    for (tCodecParams params : edges) {
        params.iVideoBitrate = 5000;  // the lowest the pages allow
        params.iGopSize = 0;
        CodecPropsDlg::DoParamsValidation(params);
        EXPECT_NO_THROW(WriteShortClip(params, 16)) << params;
    }

    std::mt19937 random(77);
    for (int i = 0; i < 20 * OUTPUT_CODEC_COUNT; ++i) {
        tCodecParams params = RandomRecord(random);
        params.eCodec = enumOutputCodec(i % OUTPUT_CODEC_COUNT);
        const tCodecParams asked = params;
        CodecPropsDlg::DoParamsValidation(params);
        ASSERT_EQ(params.eCodec, asked.eCodec);
        EXPECT_NO_THROW(WriteShortClip(params, i)) << "record " << i << " asked " << asked
                                                   << " validated " << params;
    }
}

// The user picks each family in the dialog's choice and each container on
// its page; the confirmed record writes a file of the pinned codecs.
TEST(Validation, EveryContainerChosenInTheDialogWritesItsCodecs)
{
    av_log_set_level(AV_LOG_ERROR);
    using settingstest::Find;
    const struct { int family, format; enumOutputCodec codec; const char *video, *audio; } choices[] = {
        {0, 0, OC_3GP, "h263", "amr_nb"},          {0, 1, OC_3G2, "h263", "amr_nb"},
        {1, 0, OC_MP4, "h264", "aac"},             {1, 1, OC_MP4_PART2, "mpeg4", "aac"},
        {1, 2, OC_PSP, "mpeg4", "aac"},            {1, 3, OC_MOV, "h264", "aac"},
        {1, 4, OC_MOV_PART2, "mpeg4", "aac"},      {2, 0, OC_SWF, "flv1", "mp3"},
        {2, 1, OC_FLV, "flv1", "mp3"},             {3, 0, OC_MPG, "mpeg1video", "mp2"},
        {3, 1, OC_M2V, "mpeg2video", "mp2"},       {3, 2, OC_VOB, "mpeg2video", "mp2"},
    };
    for (const auto& c : choices) {
        SCOPED_TRACE(c.codec);
        CodecPropsDlg dialog(settingstest::Rec(OC_MP4, 640, 480, 25, true, 44100, 2, 128000), true, nullptr, 0,
                             "Select codec parameters");
        settingstest::Choose(Find<wxChoice>(&dialog)[0], c.family);
        settingstest::Click(Find<wxRadioButton>(Find<OutputFormatPanel>(&dialog)[0])[c.format]);
        const tCodecParams chosen = dialog.GetCodecParams();
        ASSERT_EQ(chosen.eCodec, c.codec);
        const std::string path = testsupport::OutputPath("chosen" + std::to_string(c.codec));
        WriteShortClip(chosen, 80, path);
        std::multiset<std::string> codecs;  // in any order: Flash containers list the sound first
        for (auto& stream : testsupport::ProbeStreams(path))
            if (stream["codec_type"] == "video" || stream["codec_type"] == "audio")  // not DVD navigation
                codecs.insert(stream["codec_name"]);
        EXPECT_EQ(codecs, (std::multiset<std::string>{c.video, c.audio}));
    }
}
