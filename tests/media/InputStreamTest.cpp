#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "media/InputStream.h"
#include "media/MediaError.h"
#include "support/MediaProbe.h"
#include "support/ReadThrough.h"
#include "support/TestMedia.h"

using testsupport::MediaPath;

namespace {

std::unique_ptr<InputStream> Open(const std::string& name, bool skipAudio = false,
                                  bool skipVideo = false)
{
    return std::make_unique<InputStream>(MediaPath(name).c_str(), skipAudio, skipVideo);
}

int CountPictures(InputStream& input)
{
    int count = 0;
    while (!input.IsVideoEnded())
        count += input.DecodeNextVideoFrame() != nullptr;
    return count;
}

// One sample of a decoded frame as a float, whatever the decoder's format.
float SampleAt(const AVFrame& frame, int index, int channel)
{
    auto format = static_cast<AVSampleFormat>(frame.format);
    bool planar = av_sample_fmt_is_planar(format);
    const uint8_t* data = frame.extended_data[planar ? channel : 0];
    int at = planar ? index : index * frame.ch_layout.nb_channels + channel;
    switch (av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_FLT: return reinterpret_cast<const float*>(data)[at];
    case AV_SAMPLE_FMT_S16: return reinterpret_cast<const int16_t*>(data)[at] / 32768.0f;
    default: ADD_FAILURE() << "sample format " << format; return 0.0f;
    }
}

// Reads all sound of the input and compares it with the ffmpeg tool's own
// decoding of the file: every sample of every frame, nothing dropped.
void ExpectAudioAsDecodedByFFmpeg(InputStream& input, const std::string& name)
{
    std::string raw = testsupport::RunCommand("ffmpeg -v error -i " + testsupport::Quote(MediaPath(name)) +
                                              " -map 0:a:0 -f f32le -").output;
    std::vector<float> reference(raw.size() / sizeof(float));
    std::memcpy(reference.data(), raw.data(), reference.size() * sizeof(float));
    ASSERT_GT(reference.size(), 50000u) << name;

    std::vector<float> audio;
    while (ffmpeg::FramePtr frame = input.DecodeNextAudioFrame()) {
        ASSERT_EQ(frame->ch_layout.nb_channels, input.GetInfo().channels) << name;
        for (int i = 0; i < frame->nb_samples; ++i)
            for (int c = 0; c < frame->ch_layout.nb_channels; ++c)
                audio.push_back(SampleAt(*frame, i, c));
    }
    EXPECT_TRUE(input.IsAudioEnded()) << name;
    ASSERT_EQ(audio.size(), reference.size()) << name;
    for (size_t i = 0; i < audio.size(); ++i)
        ASSERT_NEAR(audio[i], reference[i], 1e-6) << name << " sample " << i;
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

TEST(InputStreamTest, DescribesTheChosenStreams)
{
    const struct {
        const char* file;
        bool skipAudio, skipVideo;
        int width, height, sampleRate, channels;
        double frameRate;
    } cases[] = {
        {"av_h264_aac.mp4", false, false, 640, 480, 44100, 2, 25.0},
        {"av_h264_aac.mp4", true, false, 640, 480, -1, -1, 25.0},
        {"av_h264_aac.mp4", false, true, -1, -1, 44100, 2, -1.0},
        {"av_mpeg4_mp3.avi", false, false, 320, 240, 44100, 2, 25.0},
        {"av_vp8_vorbis.webm", false, false, 320, 240, 48000, 2, 25.0},
        {"av_vp9_opus.mkv", false, false, 320, 240, 48000, 2, 25.0},
        {"ntsc_2997.mp4", false, false, 320, 240, -1, -1, 30000.0 / 1001},
        {"fps60.mp4", false, false, 320, 240, -1, -1, 60.0},
        // Stored 320x240, shown turned.
        {"rot_90.mp4", false, false, 240, 320, 44100, 2, 25.0},
        {"rot_180.mp4", false, false, 320, 240, 44100, 2, 25.0},
        {"rot_270.mp4", false, false, 240, 320, 44100, 2, 25.0},
        {"rot_90_422.mp4", false, false, 240, 320, -1, -1, 25.0},
        {"surround_51.mp4", false, false, 320, 240, 48000, 6, 25.0},
        {"audio_only.m4a", false, false, -1, -1, 44100, 2, -1.0},
        {"video_only.mp4", false, false, 320, 240, -1, -1, 25.0},
        // Of two sound tracks, the one marked default: the first, 44100 Hz stereo.
        {"two_audio.mkv", false, false, 320, 240, 44100, 2, 25.0},
        {"név ünïcödé.avi", false, false, 320, 240, 44100, 2, 25.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        auto input = Open(c.file, c.skipAudio, c.skipVideo);
        tInputStreamInfo info = input->GetInfo();
        EXPECT_EQ(info.width, c.width);
        EXPECT_EQ(info.height, c.height);
        EXPECT_EQ(info.sampleRate, c.sampleRate);
        EXPECT_EQ(info.channels, c.channels);
        EXPECT_NEAR(info.frameRate, c.frameRate, 0.001);
        if (c.frameRate > 0)
            EXPECT_DOUBLE_EQ(double(info.frameRateNum) / info.frameRateDen, info.frameRate);
        EXPECT_EQ(input->IsVideoPresent(), c.width > 0);
        EXPECT_EQ(input->IsAudioPresent(), c.sampleRate > 0);
        // Every video here decodes to YUV 4:2:0.
        EXPECT_EQ(info.pixFmt, c.width > 0 ? AV_PIX_FMT_YUV420P : -1);
    }
}

// Files without a stream to read, and places that are no files, are
// refused with the reason.
TEST(InputStreamTest, WhatHasNothingToReadIsRefusedAtOnce)
{
    const char* const empty = "Input file is empty, can't find audio or video streams. Or all streams is skipped.";
    const char* const noVideo = "This file has no video.";
    const char* const cannotOpen = "Can't open input file.";
    std::string fifo = testsupport::OutputPath("pipe.mp4");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A cover picture is no video; nor is a stream whose pictures cannot be
    // told (the first 600 bytes of a Matroska file).
    const struct { std::string path; bool skipAudio, skipVideo; const char* message; } cases[] = {
        {MediaPath("av_h264_aac.mp4"), true, true, empty}, {MediaPath("audio_only.m4a"), true, false, noVideo},
        {MediaPath("song_cover.mp3"), true, false, noVideo}, {MediaPath("head600.mkv"), true, false, noVideo},
        {MediaPath("video_only.mp4"), false, true, empty}, {fifo, false, false, cannotOpen},
        {testsupport::OutputPath(""), false, false, cannotOpen}, {"/dev/zero", false, false, cannotOpen}};
    for (const auto& c : cases) {
        try {
            InputStream input(c.path.c_str(), c.skipAudio, c.skipVideo);
            ADD_FAILURE() << c.path << " opened";
        } catch (const char* message) {
            EXPECT_STREQ(message, c.message) << c.path;
        }
    }
    auto song = Open("song_cover.mp3");
    EXPECT_TRUE(song->IsAudioPresent());
    EXPECT_FALSE(song->IsVideoPresent());
}

TEST(InputStreamTest, DeliversEveryPictureAndEverySample)
{
    // Pictures the decoder held back (B-frames, frame threads) included.
    for (const char* name : {"av_h264_aac.mp4", "video_only.mp4", "av_vp9_opus.mkv",
                             "av_mpeg4_mp3.avi", "start_1_4.ts"}) {
        auto input = Open(name, true, false);
        EXPECT_EQ(CountPictures(*input), testsupport::CountVideoFrames(MediaPath(name))) << name;
        EXPECT_TRUE(input->IsAllMediaEnded()) << name;
    }
    // Planar float and the other decoder formats, 5.1 included.
    for (const char* name : {"audio_only.m4a", "av_mpeg4_mp3.avi", "av_vp9_opus.mkv",
                             "surround_51.mp4"}) {
        ExpectAudioAsDecodedByFFmpeg(*Open(name, false, true), name);
    }
    // With both streams chosen, reading all video first leaves the whole
    // sound queued as packets; it changes no picture and leaves no gap.
    auto both = Open("av_h264_aac.mp4");
    EXPECT_EQ(CountPictures(*both), testsupport::CountVideoFrames(MediaPath("av_h264_aac.mp4")));
    ASSERT_TRUE(both->IsAllDataReaded());
    EXPECT_FALSE(both->IsAudioEnded());
    ExpectAudioAsDecodedByFFmpeg(*both, "av_h264_aac.mp4");
    EXPECT_TRUE(both->IsAllMediaEnded());
}

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

// Files that are not good media: each one gives an opening message or is
// read, decoded and sought to a clean end, whichever streams are chosen.
TEST(BadInput, EachFileGivesAnOpeningMessageOrACleanEnd)
{
    const std::set<std::string> openingMessages = {
        "Can't open input file.", "Can't read information about stream.",
        "Input file is empty, can't find audio or video streams. Or all streams is skipped.",
        "Input file is empty, can't find supported audio or video streams. Or all streams is skipped.",
        "This file has no video.", "Can't decode the sound of this file."};
    for (const char* name : {"no such file.mp4", "empty.mp4", "random.mp4", "text.avi", "truncated.mp4",
                             "truncated.avi", "truncated.ts"}) {
        for (int choice = 0; choice < 3; ++choice) {
            SCOPED_TRACE(std::string(name) + " choice " + std::to_string(choice));
            try {
                InputStream input(testsupport::MediaPath(name).c_str(), choice == 1, choice == 2);
                EXPECT_TRUE(testsupport::DecodeAll(input));
                EXPECT_TRUE(input.IsAllMediaEnded());
                // Seeking an ended damaged file must not hang either.
                input.SeekAccurate(input.GetStartTime() + 1.0);
                EXPECT_TRUE(testsupport::DecodeAll(input));
            } catch (const char* message) {
                EXPECT_EQ(openingMessages.count(message), 1u) << message;
            } catch (const MediaError& error) {
                EXPECT_EQ(openingMessages.count(error.Message()), 1u) << error.what();
                EXPECT_LT(error.Code(), 0);
            }
        }
    }
}
