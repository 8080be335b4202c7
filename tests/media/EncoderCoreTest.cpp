// The encoder core's own contract, below the output stream.
#include <gtest/gtest.h>

#include <fstream>

#include "media/ContainerProfiles.h"
#include "media/EncoderCore.h"
#include "support/MediaProbe.h"
#include "support/TestMedia.h"

using namespace testsupport;

namespace {
const tAudioParamsMP4 stereo = {128000, 44100, 2};
const tVideoParamsMP4 small = {500000, 160, 120, 25, 5};
}  // namespace

TEST(EncoderCore, VideoOnlyOutputHasOneStreamAndRefusesSound)
{
    std::string file = OutputPath("core-video.mp4");
    tFFMpegEncoder* encoder = OpenOutputMP4(file.c_str(), stereo, small, true);
    ASSERT_NE(encoder, nullptr);
    EXPECT_EQ(GetAudioFrameSize(encoder), -1);
    short samples[4096] = {};
    EXPECT_FALSE(WriteAudioFrame(encoder, samples));
    EXPECT_FALSE(WriteVideoFrame(encoder, nullptr));
    AVFrame* frame = CreateFrame(encoder);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->width, 160);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(WriteVideoFrame(encoder, frame));
    EXPECT_DOUBLE_EQ(CalcStreamPosition(encoder, STREAM_VIDEO), 0.2);
    EXPECT_DOUBLE_EQ(CalcStreamPosition(encoder, STREAM_AUDIO), 0.0);
    FreeFrame(frame);
    CloseOutput(encoder);
    EXPECT_EQ(ProbeStreams(file).size(), 1u);
    // All five pictures arrive, the held-back ones too.
    EXPECT_EQ(CountVideoFrames(file), 5);
}

TEST(EncoderCore, NullAndUnknownInputsAreReportedNotThrown)
{
    CloseOutput(nullptr);
    EXPECT_EQ(GetAudioFrameSize(nullptr), -1);
    EXPECT_EQ(CalcStreamPosition(nullptr, STREAM_VIDEO), -1.0);
    EXPECT_EQ(OutputFileSize(nullptr), -1);
    EXPECT_EQ(CreateFrame(nullptr), nullptr);
    FreeFrame(nullptr);
    EXPECT_EQ(CreateFrame(0, 0, AV_PIX_FMT_YUV420P), nullptr);

    std::string file = OutputPath("core-unknown.xyz");
    EXPECT_EQ(OpenOutput(file.c_str(), "no-such-muxer", AV_CODEC_ID_AAC, CreateAudioStreamMP4, &stereo,
                         AV_CODEC_ID_MPEG4, CreateVideoStreamMP4, &small, false),
              nullptr);
    EXPECT_FALSE(std::ifstream(file).good());
}

TEST(EncoderCore, SoundFramesHaveTheEncodersSizeAndAdvanceThePosition)
{
    std::string file = OutputPath("core-sound.mp4");
    tFFMpegEncoder* encoder = OpenOutputMP4(file.c_str(), stereo, small, false);
    ASSERT_NE(encoder, nullptr);
    ASSERT_EQ(GetAudioFrameSize(encoder), 2048);
    std::vector<short> samples(2048, 1000);
    for (int i = 0; i < 43; ++i)
        EXPECT_TRUE(WriteAudioFrame(encoder, samples.data()));
    EXPECT_NEAR(CalcStreamPosition(encoder, STREAM_AUDIO), 43 * 1024 / 44100.0, 1e-9);
    CloseOutput(encoder);
    EXPECT_EQ(DecodeErrors(file), "");
}

TEST(ContainerProfiles, MpegOneGetsRateDistortionDecisionsAndTransportStreamItsMuxer)
{
    std::string file = OutputPath("core.mpg");
    tFFMpegEncoder* ps = OpenOutputMPG(file.c_str(), MPEG_FORMAT_MPEG, stereo, small, true);
    ASSERT_NE(ps, nullptr);
    EXPECT_EQ(ps->pVideoCodec->mb_decision, FF_MB_DECISION_RD);
    CloseOutput(ps);

    std::string tsFile = OutputPath("core.m2v");
    tFFMpegEncoder* ts = OpenOutputMPG(tsFile.c_str(), MPEG_FORMAT_TS, stereo, small, true);
    ASSERT_NE(ts, nullptr);
    EXPECT_STREQ(ts->pFormat->name, "mpegts");
    EXPECT_EQ(ts->pVideoCodec->mb_decision, FF_MB_DECISION_SIMPLE);
    CloseOutput(ts);
}

TEST(ContainerProfiles, ThreeGppVideoTakesItsSizeFromTheIndex)
{
    std::string file = OutputPath("core.3gp");
    tVideoParams3GP video = {64000, 1, 15, 5};
    tFFMpegEncoder* encoder = OpenOutput3GP(file.c_str(), VERSION_3GP, AB3GP_7400, video, false);
    ASSERT_NE(encoder, nullptr);
    EXPECT_EQ(encoder->pVideoCodec->width, 176);
    EXPECT_EQ(encoder->pVideoCodec->height, 144);
    EXPECT_EQ(encoder->pAudioCodec->sample_rate, 8000);
    EXPECT_EQ(encoder->pAudioCodec->bit_rate, 7400);
    EXPECT_EQ(GetAudioFrameSize(encoder), 160);
    CloseOutput(encoder);
}
