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

// Time in seconds, by its own timestamp, of the picture the caller gets
// next; -1 when the video has ended.
double NextPictureTime(InputStream& input, const std::string& name)
{
    ffmpeg::FramePtr frame;
    while (!frame && !input.IsVideoEnded()) frame = input.DecodeNextVideoFrame();
    if (!frame) return -1.0;
    int num = 0, den = 1;
    for (const auto& stream : testsupport::ProbeStreams(MediaPath(name)))
        if (stream.at("codec_type") == "video") {
            std::sscanf(stream.at("time_base").c_str(), "%d/%d", &num, &den);
            break;
        }
    return frame->best_effort_timestamp * double(num) / den;
}

const double kFrame = 0.04;  // 25 fps

}  // namespace

TEST(SeekTest, SeeksPastTheEndBackAndToTheLastPicture)
{
    auto input = Open("video_only.mp4", true, false);
    // Past the last picture the last picture is found.
    ASSERT_TRUE(input->SeekAccurate(30.0));
    EXPECT_NEAR(NextPictureTime(*input, "video_only.mp4"), 5.0 - kFrame, 1e-6);
    EXPECT_EQ(NextPictureTime(*input, "video_only.mp4"), -1.0);
    // An ended input can be sought again, and its last picture reached.
    ASSERT_TRUE(input->SeekAccurate(1.0));
    EXPECT_NEAR(NextPictureTime(*input, "video_only.mp4"), 1.0, 1e-6);
    ASSERT_TRUE(input->SeekAccurate(5.0 - kFrame));
    EXPECT_NEAR(NextPictureTime(*input, "video_only.mp4"), 5.0 - kFrame, 1e-6);
    EXPECT_EQ(NextPictureTime(*input, "video_only.mp4"), -1.0);
    // A coarse seek sets the position, reopens the end and resumes from the
    // key frame before the time.
    ASSERT_TRUE(input->IsAllDataReaded());
    ASSERT_TRUE(input->Seek(2.5));
    EXPECT_DOUBLE_EQ(input->GetVideoPosition(), 2.5);
    EXPECT_FALSE(input->IsAllDataReaded());
    double time = NextPictureTime(*input, "video_only.mp4");
    EXPECT_GE(time, 0.0);
    EXPECT_LE(time, 2.5);
}

TEST(SeekTest, AccurateSeekStopsOnThePictureAtOrAfterAndTheSampleAtTheTime)
{
    // gop2s: key frames every 2 s, so the seek to 3.0 decodes from 2.0 and
    // discards. The TS demuxer lands after the time: the input must start
    // further back, not late. Sound is cut to the sample.
    const struct { const char* name; bool hasVideo; } files[] = {
        {"gop2s_44k.mp4", true}, {"start_1_4.ts", true}, {"av_mpeg4_mp3.avi", true},
        {"audio_only.m4a", false}};
    for (const auto& file : files) {
        auto audio = Open(file.name, false, true);
        auto video = file.hasVideo ? Open(file.name, true, false) : nullptr;
        for (double offset : {3.0, 3.02, 0.7, 4.0, 0.0, 3.3, 8.2, 9.5}) {
            double target = audio->GetStartTime() + offset;
            if (offset > 4.5 && !video) break;  // the sound is 5 s long
            if (offset > 4.5 && std::string(file.name) == "av_mpeg4_mp3.avi") break;
            SCOPED_TRACE(std::string(file.name) + " at " + std::to_string(target));
            ASSERT_TRUE(audio->SeekAccurate(target));
            EXPECT_NEAR(audio->GetNextAudioTime(), target, 1.0 / 44100);
            if (!video) continue;
            ASSERT_TRUE(video->SeekAccurate(target));
            const double position = video->GetVideoPosition();
            double time = NextPictureTime(*video, file.name);
            EXPECT_NEAR(time, position, 1e-6);  // the position is that of the next picture
            EXPECT_GE(time, target - 1e-6);
            EXPECT_LT(time, target + kFrame);
        }
        // Past the end the audio simply ends.
        ASSERT_TRUE(audio->SeekAccurate(60.0));
        EXPECT_TRUE(audio->IsAudioEnded());
    }
}

TEST(SeekTest, InputWithBothStreamsSeeksWithoutRepeatingPictures)
{
    auto input = Open("gop2s_44k.mp4", false, false);
    ASSERT_TRUE(input->SeekAccurate(5.0));
    EXPECT_NEAR(input->GetNextAudioTime(), 5.0, 1.0 / 44100);
    double previous = NextPictureTime(*input, "gop2s_44k.mp4");
    EXPECT_NEAR(previous, 5.0, 1e-6);
    for (int i = 0; i < 60; ++i) {
        double time = NextPictureTime(*input, "gop2s_44k.mp4");
        EXPECT_NEAR(time - previous, kFrame, 1e-6);
        previous = time;
    }
}
