// The output table and the rules that fit a record to its output, without
// any window; every normalised record opens an output.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>

extern "C" {
#include <libavutil/log.h>
}

#include "media/FormatRules.h"
#include "media/OutputStream.h"
#include "support/TestMedia.h"

namespace {

auto Fields(const tCodecParams& p)
{
    return std::make_tuple(p.eCodec, p.iWidth, p.iHeight, p.iFps, p.iSourceFpsNum, p.iSourceFpsDen, p.iGopSize,
                           p.iVideoBitrate, p.bAudioEnabled, p.iAudioSampleRate, p.iAudioChannels, p.iAudioBitrate,
                           p.eVideoRate, p.iQuality, p.iTargetKB, p.iSpeed, p.eSoundCodec, p.bKeepHdr);
}

std::string Describe(const tCodecParams& p)
{
    std::ostringstream text;
    std::apply([&text](auto... field) { ((text << field << ' '), ...); }, Fields(p));
    return text.str();
}

// Any field values: mostly near the ranges outputs take, sometimes anything.
tCodecParams RandomRecord(std::mt19937& random, enumOutputCodec codec)
{
    std::uniform_int_distribution<int> any(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int> coin(0, 3);
    auto pick = [&](int low, int high) {
        return coin(random) == 0 ? any(random) : std::uniform_int_distribution<int>(low, high)(random);
    };
    tCodecParams p;
    p.eCodec = codec;
    p.iAudioBitrate = pick(0, 400000);
    p.iAudioChannels = pick(-1, 8);
    p.iAudioSampleRate = pick(0, 100000);
    p.iVideoBitrate = pick(0, 20000000);
    p.iGopSize = pick(-5, 30);
    p.iFps = pick(-5, 70);
    p.iWidth = pick(-10, 5000);
    p.iHeight = pick(-10, 5000);
    p.bAudioEnabled = coin(random) != 0;
    p.iSourceFpsNum = std::uniform_int_distribution<int>(0, 2)(random) * 30000;
    p.iSourceFpsDen = 1001;
    p.eVideoRate = enumVideoRate(pick(0, 2));
    p.iQuality = pick(-5, 70);
    p.iTargetKB = pick(-10, 100000);
    p.iSpeed = pick(-2, 8);
    p.eSoundCodec = enumSoundCodec(pick(0, 2));
    p.bKeepHdr = coin(random) == 0;
    return p;
}

// True when every value of the record is one its output takes.
void ExpectWithinLimits(const tCodecParams& p)
{
    SCOPED_TRACE(Describe(p));
    ASSERT_TRUE(IsOutputCodec(p.eCodec));
    const tOutputFormat& f = OutputFormat(p.eCodec);
    if (f.fixedSizes.empty()) {
        EXPECT_TRUE(p.iWidth >= f.minPictureSide && p.iWidth <= f.maxSide && p.iWidth % f.sizeStep == 0);
        EXPECT_TRUE(p.iHeight >= f.minPictureSide && p.iHeight <= f.maxSide && p.iHeight % f.sizeStep == 0);
        EXPECT_LE(int64_t(p.iWidth) * p.iHeight, f.maxArea);
    } else {
        EXPECT_TRUE(std::any_of(f.fixedSizes.begin(), f.fixedSizes.end(),
                                [&p](tPictureSize s) { return s.width == p.iWidth && s.height == p.iHeight; }));
    }
    if (f.fixedRates.empty())
        EXPECT_TRUE(p.iFps >= minFps && p.iFps <= f.maxFps);
    else
        EXPECT_NE(std::find(f.fixedRates.begin(), f.fixedRates.end(), p.iFps), f.fixedRates.end());
    EXPECT_TRUE(p.iGopSize >= 0 && p.iGopSize <= maxGopSize);
    EXPECT_TRUE(p.iVideoBitrate >= minVideoBitrate && p.iVideoBitrate <= f.maxVideoBitrate);
    const tSoundLimits& sound = SoundLimits(p.eCodec, p.eSoundCodec);
    std::vector<int> bitrates = SoundBitrates(sound, p.iAudioSampleRate, p.iAudioChannels);
    EXPECT_NE(std::find(bitrates.begin(), bitrates.end(), p.iAudioBitrate), bitrates.end());
    EXPECT_NE(std::find(sound.sampleRates.begin(), sound.sampleRates.end(), p.iAudioSampleRate),
              sound.sampleRates.end());
    EXPECT_TRUE(p.iAudioChannels >= 1 && p.iAudioChannels <= sound.maxChannels);
    EXPECT_TRUE(TakesSound(p.eCodec, p.eSoundCodec));
    const tEncoderChoices& e = f.encoder;
    EXPECT_TRUE(p.eVideoRate == VR_BITRATE || p.eVideoRate == VR_TARGET_SIZE || (p.eVideoRate == VR_QUALITY && e.quality));
    if (e.quality)
        EXPECT_TRUE(p.iQuality >= e.minQuality && p.iQuality <= e.maxQuality);
    EXPECT_TRUE(p.iSpeed >= -1 && p.iSpeed < int(e.speeds.size()));
    EXPECT_TRUE(!p.bKeepHdr || e.tenBit);
    EXPECT_GE(p.iTargetKB, minTargetKB);
}

std::pair<int, int> SizeOf(const tCodecParams& p)
{
    return {p.iWidth, p.iHeight};
}

tSourceDescription Source(int width, int height, int fpsNum, int fpsDen, int sampleRate = 48000, int channels = 2)
{
    return {width, height, 1.0, fpsNum, fpsDen, double(fpsNum) / fpsDen, sampleRate > 0, sampleRate, channels};
}

}  // namespace

TEST(OutputTable, EveryRowSitsAtItsCodecAndItsSoundListsAgree)
{
    for (int codec = 0; codec < OUTPUT_CODEC_COUNT; ++codec) {
        const tOutputFormat& f = OutputFormat(enumOutputCodec(codec));
        EXPECT_EQ(f.codec, codec);
        EXPECT_TRUE(*f.extension && *f.label && *f.muxer) << codec;
        const tSoundLimits& s = f.sound;
        ASSERT_EQ(s.firstStereo.size(), s.sampleRates.size()) << codec;
        ASSERT_EQ(s.firstMono.size(), s.sampleRates.size()) << codec;
        for (size_t i = 0; i < s.sampleRates.size(); ++i)
            EXPECT_TRUE(s.firstStereo[i] < int(s.bitrates.size()) && s.firstMono[i] < int(s.bitrates.size()));
        EXPECT_TRUE(std::is_sorted(s.bitrates.rbegin(), s.bitrates.rend())) << codec;
        EXPECT_TRUE(f.fixedRates.empty() || f.fixedRates.back() <= f.maxFps) << codec;
    }
    EXPECT_EQ(OutputFormat(enumOutputCodec(OUTPUT_CODEC_COUNT)).codec, OC_MP4);
}

TEST(FormatRules, ProposalsFollowTheSourceWithinEachOutputsLimits)
{
    const tSourceDescription uhd = Source(3840, 2160, 30000, 1001);
    const struct {
        enumOutputCodec codec;
        tSourceDescription source;
        int width, height, fps, fpsNum, sampleRate, channels, soundBitrate, videoBitrate;
    } cases[] = {
        // H.264 takes 4K whole, in either orientation; MPEG-4 Part 2 keeps the shape at its limit.
        {OC_MP4, uhd, 3840, 2160, 30, 30000, 48000, 2, 256000, 5000000},
        {OC_MOV, Source(4096, 2160, 25, 1), 4096, 2160, 25, 25, 48000, 2, 256000, 5000000},
        {OC_MP4, Source(2160, 3840, 60, 1), 2160, 3840, 60, 60, 48000, 2, 256000, 5000000},
        {OC_MP4_PART2, uhd, 2048, 1152, 30, 30000, 48000, 2, 256000, 5000000},
        {OC_MP4, Source(641, 361, 24000, 1001, 8000, 1), 640, 360, 24, 24000, 11025, 1, 64000, 5000000},
        // MPEG keeps 29.97 and offers 48 kHz stereo MP2 at 192 kbit/s.
        {OC_MPG, Source(640, 480, 30000, 1001), 640, 480, 30, 30000, 48000, 2, 192000, 5000000},
        {OC_VOB, Source(720, 576, 50, 1, 44100, 6), 720, 576, 50, 50, 44100, 2, 192000, 5000000},
        // Flash: the source's rate up to 30; MP3 at the nearest rate not above the source's, SWF at 44.1 kHz.
        {OC_FLV, Source(640, 480, 30000, 1001), 640, 480, 30, 30000, 44100, 2, 192000, 5000000},
        {OC_SWF, Source(320, 240, 60, 1, 22050, 1), 320, 240, 30, 0, 44100, 1, 192000, 5000000},
        // The newer codecs take larger pictures; WebM's Opus codes at 48 kHz only.
        {OC_MKV_AV1, Source(7680, 4320, 60, 1), 7680, 4320, 60, 60, 48000, 2, 256000, 3000000},
        {OC_WEBM_VP9, Source(1920, 1080, 25, 1, 44100, 6), 1920, 1080, 25, 25, 48000, 2, 128000, 3000000},
        // 3GP: an H.263 size, 15 fps, AMR at 8 kHz mono, video well below 5000 kbit/s.
        {OC_3GP, Source(640, 480, 30000, 1001), 704, 576, 15, 0, 8000, 1, 12200, 384000},
        {OC_3G2, uhd, 1408, 1152, 15, 0, 8000, 1, 12200, 384000},
    };
    for (const auto& c : cases) {
        tCodecParams p = ProposeForSource(c.codec, c.source);
        SCOPED_TRACE(Describe(p));
        EXPECT_EQ(p.eCodec, c.codec);
        EXPECT_EQ(p.iWidth, c.width);
        EXPECT_EQ(p.iHeight, c.height);
        EXPECT_EQ(p.iFps, c.fps);
        EXPECT_EQ(p.iSourceFpsNum, c.fpsNum);
        EXPECT_EQ(p.iAudioSampleRate, c.sampleRate);
        EXPECT_EQ(p.iAudioChannels, c.channels);
        EXPECT_EQ(p.iAudioBitrate, c.soundBitrate);
        EXPECT_EQ(p.iVideoBitrate, c.videoBitrate);
        const tEncoderChoices& encoder = OutputFormat(c.codec).encoder;
        EXPECT_EQ(p.eVideoRate, encoder.quality ? VR_QUALITY : VR_BITRATE);
        EXPECT_EQ(p.iQuality, encoder.defaultQuality);
        EXPECT_TRUE(p.bAudioEnabled);
        ExpectWithinLimits(p);
    }
    EXPECT_FALSE(ProposeForSource(OC_MP4, Source(640, 480, 25, 1, 0, 0)).bAudioEnabled);
}

TEST(FormatRules, NormalisingMovesToTheNearestValueTakenAndTwiceChangesNothing)
{
    tCodecParams asked = ProposeForSource(OC_MP4, Source(640, 480, 25, 1));
    const struct {
        void (*change)(tCodecParams&);
        void (*expect)(const tCodecParams&);
    } cases[] = {
        {[](tCodecParams& p) { p.eCodec = enumOutputCodec(42); }, [](const tCodecParams& p) { EXPECT_EQ(p.eCodec, OC_MP4); }},
        {[](tCodecParams& p) { p.iWidth = 641, p.iHeight = 23; },
         [](const tCodecParams& p) { EXPECT_EQ(SizeOf(p), std::make_pair(640, 24)); }},
        {[](tCodecParams& p) { p.iWidth = p.iHeight = 5000; },
         [](const tCodecParams& p) { EXPECT_EQ(SizeOf(p), std::make_pair(3072, 3072)); }},
        {[](tCodecParams& p) { p.eCodec = OC_PSP, p.iWidth = 4000, p.iHeight = 1000; },
         [](const tCodecParams& p) { EXPECT_EQ(SizeOf(p), std::make_pair(2048, 512)); }},
        // Mono at 48 kHz starts at 288 kbit/s.
        {[](tCodecParams& p) { p.iAudioChannels = 1, p.iAudioBitrate = 320000; },
         [](const tCodecParams& p) { EXPECT_EQ(p.iAudioBitrate, 288000); }},
        {[](tCodecParams& p) { p.iAudioSampleRate = 8000, p.iAudioBitrate = 1; },
         [](const tCodecParams& p) { EXPECT_EQ(std::make_pair(p.iAudioSampleRate, p.iAudioBitrate), std::make_pair(11025, 16000)); }},
        {[](tCodecParams& p) { p.eCodec = OC_3GP, p.iAudioBitrate = 7000, p.iFps = 25; },
         [](const tCodecParams& p) { EXPECT_EQ(std::make_pair(p.iAudioBitrate, p.iFps), std::make_pair(6700, 15)); }},
        // MPEG takes its own rates only; a rate that is not the source's rounding drops the exact one.
        {[](tCodecParams& p) { p.eCodec = OC_M2V, p.iFps = 28, p.iSourceFpsNum = 30000, p.iSourceFpsDen = 1001; },
         [](const tCodecParams& p) { EXPECT_EQ(std::make_pair(p.iFps, p.iSourceFpsNum), std::make_pair(30, 30000)); }},
        {[](tCodecParams& p) { p.iFps = 24, p.iSourceFpsNum = 30000, p.iSourceFpsDen = 1001; },
         [](const tCodecParams& p) { EXPECT_EQ(std::make_pair(p.iFps, p.iSourceFpsNum), std::make_pair(24, 0)); }},
        {[](tCodecParams& p) { p.iGopSize = INT32_MIN, p.iVideoBitrate = 1234567; },
         [](const tCodecParams& p) { EXPECT_EQ(std::make_pair(p.iGopSize, p.iVideoBitrate), std::make_pair(0, 1234000)); }},
        // Choices the output does not offer fall back to its own.
        {[](tCodecParams& p) { p.eSoundCodec = SC_OPUS, p.bKeepHdr = true, p.iSpeed = 7, p.iQuality = 60; },
         [](const tCodecParams& p) { EXPECT_EQ(std::make_tuple(p.eSoundCodec, p.bKeepHdr, p.iSpeed, p.iQuality), std::make_tuple(SC_OUTPUT, false, -1, 51)); }},
        {[](tCodecParams& p) { p.eCodec = OC_MPG, p.eVideoRate = VR_QUALITY, p.iTargetKB = 3; },
         [](const tCodecParams& p) { EXPECT_EQ(std::make_pair(p.eVideoRate, p.iTargetKB), std::make_pair(VR_BITRATE, minTargetKB)); }},
        {[](tCodecParams& p) { p.eCodec = OC_MKV_H265, p.eSoundCodec = SC_OPUS, p.bKeepHdr = true, p.iAudioSampleRate = 44100; },
         [](const tCodecParams& p) { EXPECT_EQ(std::make_tuple(p.eSoundCodec, p.bKeepHdr, p.iAudioSampleRate), std::make_tuple(SC_OPUS, true, 48000)); }},
    };
    for (const auto& c : cases) {
        tCodecParams p = asked;
        c.change(p);
        p = NormaliseForFormat(p);
        c.expect(p);
        ExpectWithinLimits(p);
    }

    std::mt19937 random(20240605);
    for (int i = 0; i < 400 * OUTPUT_CODEC_COUNT; ++i) {
        tCodecParams once = NormaliseForFormat(RandomRecord(random, enumOutputCodec(i % OUTPUT_CODEC_COUNT)));
        ASSERT_EQ(Fields(NormaliseForFormat(once)), Fields(once)) << Describe(once);
        ExpectWithinLimits(once);
    }
}

// What the rules let through, the encoders take: the extremes of every
// output, and random records, open an output file.
TEST(FormatRules, EveryNormalisedRecordOpensAnOutput)
{
    av_log_set_level(AV_LOG_ERROR);
    std::mt19937 random(77);
    for (int i = 0; i < 6 * OUTPUT_CODEC_COUNT; ++i) {
        auto codec = enumOutputCodec(i % OUTPUT_CODEC_COUNT);
        tCodecParams p = RandomRecord(random, codec);
        // Small pictures but for the largest of each output: the newer
        // encoders take seconds to set up a large one.
        p.iWidth %= 721, p.iHeight %= 577;
        if (i < 2 * OUTPUT_CODEC_COUNT) {  // the smallest and the largest of everything
            bool large = i >= OUTPUT_CODEC_COUNT;
            p.iWidth = p.iHeight = p.iFps = p.iAudioBitrate = p.iAudioSampleRate = large ? INT32_MAX : 0;
            p.iAudioChannels = large ? 2 : 1;
            p.iGopSize = 0;
        }
        p.iSpeed = 0;  // the fastest: what opens is the same at every speed
        p = NormaliseForFormat(p);
        std::string path = testsupport::OutputPath("normalised" + std::to_string(i));
        EXPECT_NO_THROW(OutputStream(path.c_str(), p)) << Describe(p);
    }
}
