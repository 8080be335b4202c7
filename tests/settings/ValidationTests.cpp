#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "media/EncoderCore.h"
#include "media/OutputStream.h"

extern "C" {
#include <libavutil/log.h>
}
#include "support/TestMedia.h"
#include "ui/settings/CodecPropsDlg.h"

static bool operator==(const tCodecParams& a, const tCodecParams& b)
{
    return a.iAudioBitrate == b.iAudioBitrate && a.iAudioChannels == b.iAudioChannels &&
           a.iAudioSampleRate == b.iAudioSampleRate && a.iVideoBitrate == b.iVideoBitrate &&
           a.iGopSize == b.iGopSize && a.iFps == b.iFps && a.iWidth == b.iWidth &&
           a.iHeight == b.iHeight && a.bAudioEnabled == b.bAudioEnabled && a.eCodec == b.eCodec;
}

static std::ostream& operator<<(std::ostream& out, const tCodecParams& p)
{
    return out << "{codec " << p.eCodec << ", audio " << p.bAudioEnabled << " " << p.iAudioBitrate
               << " bit/s " << p.iAudioSampleRate << " Hz " << p.iAudioChannels << " ch, video "
               << p.iWidth << "x" << p.iHeight << " " << p.iVideoBitrate << " bit/s " << p.iFps
               << " fps gop " << p.iGopSize << "}";
}

namespace {
// Any field values: mostly near the ranges the pages know, sometimes anything.
tCodecParams RandomRecord(std::mt19937& random)
{
    std::uniform_int_distribution<int> any(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int> coin(0, 3);
    auto pick = [&](int low, int high) {
        return coin(random) == 0 ? any(random) : std::uniform_int_distribution<int>(low, high)(random);
    };
    tCodecParams p;
    p.iAudioBitrate = pick(0, 400000);
    p.iAudioChannels = pick(-1, 8);
    p.iAudioSampleRate = pick(0, 100000);
    p.iVideoBitrate = pick(0, 20000000);
    p.iGopSize = pick(-5, 30);
    p.iFps = pick(-5, 70);
    p.iWidth = pick(-10, 3000);
    p.iHeight = pick(-10, 3000);
    p.bAudioEnabled = coin(random) != 0;
    p.eCodec = enumOutputCodec(pick(-2, 12));
    return p;
}
}  // namespace

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

namespace {
// Opens an output file on `params` and writes two pictures and a fifth of a
// second of sound into it.
void WriteShortClip(const tCodecParams& params, int shade)
{
    OutputStream output(testsupport::OutputPath("validated.out").c_str(), params);
    AVFrame* picture = CreateFrame(params.iWidth, params.iHeight, AV_PIX_FMT_YUV420P);
    ASSERT_NE(picture, nullptr);
    const int lumaSize = params.iWidth * params.iHeight;
    std::fill_n(picture->data[0], lumaSize, uint8_t(shade));
    std::fill_n(picture->data[1], lumaSize / 2, uint8_t(128));
    for (int frame = 0; frame < 2; ++frame)
        output.WriteNextVideoFrame(picture);
    FreeFrame(picture);

    const int samples = params.iAudioSampleRate / 5 * params.iAudioChannels;
    std::vector<int16_t> sound(samples);
    for (int s = 0; s < samples; ++s)
        sound[s] = int16_t((s * 37) % 20000 - 10000);
    output.WriteNextAudioFrame(sound.data(), int(sound.size() * sizeof(int16_t)));
}

tCodecParams Edge(enumOutputCodec codec, int width, int height, bool audio, int sampleRate,
                  int channels, int audioBitrate)
{
    tCodecParams p;
    p.eCodec = codec;
    p.iWidth = width;
    p.iHeight = height;
    p.bAudioEnabled = audio;
    p.iAudioSampleRate = sampleRate;
    p.iAudioChannels = channels;
    p.iAudioBitrate = audioBitrate;
    p.iVideoBitrate = 5000;
    p.iFps = 30;
    return p;
}
}  // namespace

TEST(Validation, EveryValidatedRecordOpensAnOutputFile)
{
    av_log_set_level(AV_LOG_ERROR);
    const tCodecParams edges[] = {
        Edge(OC_PSP, 25, 25, false, 0, 0, 0),               // odd size, no sound
        Edge(OC_MOV, 2048, 2048, true, 48000, 1, 320000),   // 320 kbps kept in mono
        Edge(OC_FLV, 2047, 23, true, 22050, 1, 999999),
        Edge(OC_SWF, 24, 2048, true, 11025, 2, 1),
        Edge(OC_3G2, 1, 1, false, 44100, 2, 64000),
        Edge(OC_M2V, 5000, 5000, true, 0, 0, 0),
    };
    for (tCodecParams params : edges) {
        CodecPropsDlg::DoParamsValidation(params);
        EXPECT_NO_THROW(WriteShortClip(params, 16)) << params;
    }

    const enumOutputCodec members[] = {OC_MP4, OC_PSP, OC_MOV, OC_3GP, OC_3G2, OC_SWF, OC_FLV};
    std::mt19937 random(77);
    for (int i = 0; i < 210; ++i) {
        tCodecParams params = RandomRecord(random);
        params.eCodec = members[i % 7];
        const tCodecParams asked = params;
        CodecPropsDlg::DoParamsValidation(params);
        ASSERT_EQ(params.eCodec, asked.eCodec);
        EXPECT_NO_THROW(WriteShortClip(params, i)) << "record " << i << " asked " << asked
                                                   << " validated " << params;
    }
}
