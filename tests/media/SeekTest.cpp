#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "media/InputStream.h"
#include "support/MediaProbe.h"
#include "support/TestMedia.h"

using testsupport::MediaPath;

namespace {

std::unique_ptr<InputStream> Open(const std::string& name, bool skipAudio, bool skipVideo)
{
    return std::make_unique<InputStream>(MediaPath(name).c_str(), skipAudio, skipVideo);
}

// Presentation time in seconds of a picture of the file's first video stream.
double PictureTime(const AVFrame* frame, const std::string& name)
{
    int num = 0, den = 1;
    for (const auto& stream : testsupport::ProbeStreams(MediaPath(name)))
        if (stream.at("codec_type") == "video") {
            std::sscanf(stream.at("time_base").c_str(), "%d/%d", &num, &den);
            break;
        }
    return frame->best_effort_timestamp * double(num) / den;
}

// The picture the caller gets next, or null when the video has ended.
AVFrame* NextPicture(InputStream& input)
{
    AVFrame* frame = nullptr;
    while (!frame && !input.IsVideoEnded()) frame = input.DecodeNextVideoFrame();
    return frame;
}

double NextPictureTime(InputStream& input, const std::string& name)
{
    AVFrame* frame = NextPicture(input);
    if (!frame) return -1.0;
    double time = PictureTime(frame, name);
    av_frame_free(&frame);
    return time;
}

const double kFrame = 0.04;  // 25 fps

}  // namespace

TEST(SeekTest, CoarseSeekSetsThePositionAndReopensTheEnd)
{
    auto input = Open("video_only.mp4", true, false);
    ASSERT_TRUE(input->SeekAccurate(30.0));
    ASSERT_TRUE(input->IsAllDataReaded());
    ASSERT_TRUE(input->Seek(2.5));
    EXPECT_DOUBLE_EQ(input->GetVideoPosition(), 2.5);
    EXPECT_FALSE(input->IsAllDataReaded());
    EXPECT_FALSE(input->IsVideoEnded());
    // Decoding resumes from the key frame before the time.
    double time = NextPictureTime(*input, "video_only.mp4");
    EXPECT_GE(time, 0.0);
    EXPECT_LE(time, 2.5);
}

TEST(SeekTest, AccurateVideoSeekDecodesFromTheKeyFrameUpToTheTime)
{
    // Key frames every 2 s: the seek to 3.0 starts at 2.0 and discards up
    // to the first picture at or after the time, which comes next.
    auto input = Open("gop2s_44k.mp4", true, false);
    for (double target : {3.0, 3.02, 9.5, 0.0}) {
        ASSERT_TRUE(input->SeekAccurate(target)) << target;
        EXPECT_GE(input->GetVideoPosition(), target - 1e-9) << target;
        EXPECT_LT(input->GetVideoPosition(), target + kFrame) << target;
        double time = NextPictureTime(*input, "gop2s_44k.mp4");
        EXPECT_NEAR(time, input->GetVideoPosition(), 1e-9) << target;
        EXPECT_GE(time, target - 1e-9) << target;
        EXPECT_LT(time, target + kFrame) << target;
    }
}

TEST(SeekTest, AccurateAudioSeekStopsOnThePacketAtOrAfterTheTime)
{
    const double packet = 1024.0 / 44100;
    auto input = Open("audio_only.m4a", false, true);
    for (double target : {2.5, 0.7, 4.0}) {
        ASSERT_TRUE(input->SeekAccurate(target)) << target;
        EXPECT_GE(input->GetAudioPosition(), target - 1e-9) << target;
        EXPECT_LT(input->GetAudioPosition(), target + packet) << target;
    }
    // Past the end the audio simply ends.
    ASSERT_TRUE(input->SeekAccurate(60.0));
    EXPECT_TRUE(input->IsAudioEnded());
}

TEST(SeekTest, AccurateSeekPastTheLastPictureLeavesTheVideoEnded)
{
    auto input = Open("video_only.mp4", true, false);
    ASSERT_TRUE(input->SeekAccurate(30.0));
    EXPECT_TRUE(input->IsVideoEnded());
    EXPECT_EQ(input->DecodeNextVideoFrame(), nullptr);
    // An ended input can be sought again.
    ASSERT_TRUE(input->SeekAccurate(1.0));
    EXPECT_NEAR(NextPictureTime(*input, "video_only.mp4"), 1.0, 1e-6);
    // The last picture itself can be reached.
    ASSERT_TRUE(input->SeekAccurate(5.0 - kFrame));
    EXPECT_NEAR(NextPictureTime(*input, "video_only.mp4"), 5.0 - kFrame, 1e-6);
    EXPECT_EQ(NextPicture(*input), nullptr);
}

TEST(SeekTest, TransportStreamSeekDoesNotStartLate)
{
    // The demuxer lands after the time; the input must start further back.
    const std::string name = "start_1_4.ts";
    auto video = Open(name, true, false);
    auto audio = Open(name, false, true);
    const double start = video->GetStartTime();
    for (double offset : {3.0, 5.5, 8.2}) {
        double target = start + offset;
        ASSERT_TRUE(video->SeekAccurate(target)) << offset;
        double time = NextPictureTime(*video, name);
        EXPECT_GE(time, target - 1e-6) << offset;
        EXPECT_LE(time, target + 2 * kFrame + 1e-6) << offset;

        ASSERT_TRUE(audio->SeekAccurate(target)) << offset;
        EXPECT_GE(audio->GetAudioPosition(), target - 1e-6) << offset;
        EXPECT_LT(audio->GetAudioPosition(), target + 1152.0 / 44100) << offset;
    }
}

TEST(SeekTest, SynchronisedSeekPutsTheAudioAtOrJustAfterTheVideo)
{
    for (const char* name : {"gop2s_44k.mp4", "start_1_4.ts", "av_mpeg4_mp3.avi"}) {
        auto video = Open(name, true, false);
        auto audio = Open(name, false, true);
        double target = video->GetStartTime() + 3.3;
        ASSERT_TRUE(InputStream::SeekStreamsSync(*video, *audio, target)) << name;
        EXPECT_GE(audio->GetPosition(), video->GetPosition() - 1e-9) << name;
        EXPECT_LT(audio->GetPosition() - video->GetPosition(), 0.1) << name;
        EXPECT_GE(video->GetPosition(), target - 1e-9) << name;
        EXPECT_LT(video->GetPosition(), target + 0.2) << name;
    }
}

TEST(SeekTest, InputWithBothStreamsSeeksWithoutRepeatingPictures)
{
    auto input = Open("gop2s_44k.mp4", false, false);
    ASSERT_TRUE(input->SeekAccurate(5.0));
    EXPECT_GE(input->GetAudioPosition(), input->GetVideoPosition() - 1e-9);
    double previous = NextPictureTime(*input, "gop2s_44k.mp4");
    EXPECT_NEAR(previous, 5.0, 1e-6);
    for (int i = 0; i < 60; ++i) {
        double time = NextPictureTime(*input, "gop2s_44k.mp4");
        EXPECT_NEAR(time - previous, kFrame, 1e-6);
        previous = time;
    }
}
