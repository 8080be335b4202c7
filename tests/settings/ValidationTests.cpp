#include <gtest/gtest.h>

#include <random>

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

TEST(Validation, ValidatingTwiceEqualsValidatingOnce)
{
    std::mt19937 random(20240605);
    for (int i = 0; i < 300; ++i) {
        tCodecParams once = RandomRecord(random);
        CodecPropsDlg::DoParamsValidation(once);
        tCodecParams twice = once;
        CodecPropsDlg::DoParamsValidation(twice);
        ASSERT_EQ(twice, once) << "record " << i;
    }
}
