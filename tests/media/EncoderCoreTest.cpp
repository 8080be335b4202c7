// The encoder core's own contract, below the output stream.
#include <gtest/gtest.h>

#include <fstream>

#include "media/ContainerProfiles.h"
#include "media/EncoderCore.h"
#include "support/MediaProbe.h"
#include "support/TestFrames.h"
#include "support/TestMedia.h"

using namespace testsupport;

namespace {
const tAudioParamsMP4 stereo = {128000, 44100, 2};
const tVideoParamsMP4 small = {500000, 160, 120, 25, 5};
}  // namespace

TEST(EncoderCore, VideoOnlyOutputHasOneStreamAndRefusesSoundAndNullInputs)
{
    std::string file = OutputPath("core-video.mp4");
    tFFMpegEncoder* encoder = OpenOutputMP4(file.c_str(), stereo, small, true);
    ASSERT_NE(encoder, nullptr);
    EXPECT_FALSE(HasAudio(encoder));
    ffmpeg::FramePtr sound = NewSound(2, 44100, 1024);
    EXPECT_FALSE(WriteAudioFrame(encoder, sound.get()));
    EXPECT_FALSE(WriteVideoFrame(encoder, nullptr));
    ffmpeg::FramePtr frame = NewPicture(160, 120);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(WriteVideoFrame(encoder, frame.get()));
    CloseOutput(encoder);
    EXPECT_EQ(ProbeStreams(file).size(), 1u);
    // All five pictures arrive, the held-back ones too.
    EXPECT_EQ(CountVideoFrames(file), 5);

    CloseOutput(nullptr);
    EXPECT_FALSE(HasAudio(nullptr));
    std::string unknown = OutputPath("core-unknown.xyz");
    EXPECT_EQ(OpenOutput(unknown.c_str(), "no-such-muxer", AV_CODEC_ID_AAC, CreateAudioStreamMP4, &stereo,
                         AV_CODEC_ID_MPEG4, CreateVideoStreamMP4, &small, false),
              nullptr);
    EXPECT_FALSE(std::ifstream(unknown).good());
}

TEST(ContainerProfiles, MpegOneGetsRateDistortionDecisionsAndTransportStreamItsMuxer)
{
    std::string file = OutputPath("core.mpg");
    tFFMpegEncoder* ps = OpenOutputMPG(file.c_str(), MPEG_FORMAT_MPEG, stereo, small, true);
    ASSERT_NE(ps, nullptr);
    EXPECT_EQ(ps->video.pCodec->mb_decision, FF_MB_DECISION_RD);
    CloseOutput(ps);

    std::string tsFile = OutputPath("core.m2v");
    tFFMpegEncoder* ts = OpenOutputMPG(tsFile.c_str(), MPEG_FORMAT_TS, stereo, small, true);
    ASSERT_NE(ts, nullptr);
    EXPECT_STREQ(ts->pFormat->name, "mpegts");
    EXPECT_EQ(ts->video.pCodec->mb_decision, FF_MB_DECISION_SIMPLE);
    CloseOutput(ts);
}

TEST(ContainerProfiles, ThreeGppVideoTakesItsSizeFromTheIndex)
{
    std::string file = OutputPath("core.3gp");
    tVideoParams3GP video = {64000, 1, 15, 5};
    tFFMpegEncoder* encoder = OpenOutput3GP(file.c_str(), VERSION_3GP, AB3GP_7400, video, false);
    ASSERT_NE(encoder, nullptr);
    EXPECT_EQ(encoder->video.pCodec->width, 176);
    EXPECT_EQ(encoder->video.pCodec->height, 144);
    EXPECT_EQ(encoder->audio.pCodec->sample_rate, 8000);
    EXPECT_EQ(encoder->audio.pCodec->bit_rate, 7400);
    EXPECT_EQ(encoder->audio.pCodec->frame_size, 160);
    CloseOutput(encoder);
}
