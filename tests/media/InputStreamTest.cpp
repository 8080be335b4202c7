#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "media/InputStream.h"
#include "support/MediaProbe.h"
#include "support/TestMedia.h"

using testsupport::MediaPath;

namespace {

std::unique_ptr<InputStream> Open(const std::string& name, bool skipAudio = false,
                                  bool skipVideo = false)
{
    return std::make_unique<InputStream>(MediaPath(name).c_str(), skipAudio, skipVideo);
}

std::string OpenError(const std::string& name, bool skipAudio, bool skipVideo)
{
    try {
        Open(name, skipAudio, skipVideo);
    } catch (const char* message) {
        return message;
    }
    return "<opened>";
}

// All audio of the input, read in blocks of `block` bytes; `padding` gets
// the zero bytes that completed the last block.
std::vector<char> ReadAllAudio(InputStream& input, int block, size_t* padding = nullptr)
{
    std::vector<char> all;
    std::vector<char> buffer(block);
    while (!input.IsAudioEnded()) {
        input.DecodeNextAudioFrame(buffer.data(), block);
        all.insert(all.end(), buffer.begin(), buffer.end());
    }
    size_t zeros = 0;
    while (zeros < all.size() && all[all.size() - 1 - zeros] == 0) ++zeros;
    if (padding) *padding = zeros;
    return all;
}

// The same audio decoded by the ffmpeg tool, as interleaved 16-bit samples.
std::vector<char> ReferenceAudio(const std::string& name)
{
    std::string out = testsupport::OutputPath(name + ".s16");
    testsupport::RunCommand("ffmpeg -v error -y -i " + testsupport::Quote(MediaPath(name)) +
                            " -map 0:a:0 -f s16le " + testsupport::Quote(out));
    std::ifstream file(out, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file), {});
}

int CountPictures(InputStream& input)
{
    int count = 0;
    while (!input.IsVideoEnded()) {
        AVFrame* frame = input.DecodeNextVideoFrame();
        if (frame) ++count;
        av_frame_free(&frame);
    }
    return count;
}

}  // namespace

struct Described {
    const char* file;
    int width, height, sampleRate, channels;
    double frameRate;
};

class DescriptionTest : public testing::TestWithParam<Described> {};

TEST_P(DescriptionTest, DescribesTheChosenStreams)
{
    const Described& expected = GetParam();
    auto input = Open(expected.file);
    tInputStreamInfo info = input->GetInfo();
    EXPECT_EQ(info.width, expected.width);
    EXPECT_EQ(info.height, expected.height);
    EXPECT_EQ(info.sampleRate, expected.sampleRate);
    EXPECT_EQ(info.channels, expected.channels);
    EXPECT_NEAR(info.frameRate, expected.frameRate, 0.001);
    EXPECT_EQ(input->IsVideoPresent(), expected.width > 0);
    EXPECT_EQ(input->IsAudioPresent(), expected.sampleRate > 0);
    if (expected.width > 0) {
        EXPECT_EQ(info.pixFmt, AV_PIX_FMT_YUV420P);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, DescriptionTest, testing::Values(
    Described{"av_h264_aac.mp4", 640, 480, 44100, 2, 25.0},
    Described{"av_mpeg4_mp3.avi", 320, 240, 44100, 2, 25.0},
    Described{"av_vp8_vorbis.webm", 320, 240, 48000, 2, 25.0},
    Described{"av_vp9_opus.mkv", 320, 240, 48000, 2, 25.0},
    Described{"ntsc_2997.mp4", 320, 240, -1, -1, 30000.0 / 1001},
    Described{"surround_51.mp4", 320, 240, 48000, 6, 25.0},
    Described{"audio_only.m4a", -1, -1, 44100, 2, -1.0},
    Described{"video_only.mp4", 320, 240, -1, -1, 25.0},
    // The later of two sound tracks: 22050 Hz mono.
    Described{"two_audio.mkv", 320, 240, 22050, 1, 25.0},
    Described{"név ünïcödé.avi", 320, 240, 44100, 2, 25.0}));

TEST(InputStreamTest, SkipFlagsChooseWhatIsOpened)
{
    const std::string noStreams =
        "Input file is empty, can't find audio or video streams. Or all streams is skipped.";
    EXPECT_EQ(OpenError("av_h264_aac.mp4", true, true), noStreams);
    EXPECT_EQ(OpenError("audio_only.m4a", true, false), noStreams);
    EXPECT_EQ(OpenError("video_only.mp4", false, true), noStreams);

    auto videoOnly = Open("av_h264_aac.mp4", true, false);
    EXPECT_FALSE(videoOnly->IsAudioPresent());
    EXPECT_EQ(videoOnly->GetInfo().sampleRate, -1);
    auto audioOnly = Open("av_h264_aac.mp4", false, true);
    EXPECT_FALSE(audioOnly->IsVideoPresent());
    EXPECT_EQ(audioOnly->GetInfo().width, -1);
    EXPECT_EQ(audioOnly->GetVideoFrameBufferSize(), 0);
    EXPECT_EQ(videoOnly->GetVideoFrameBufferSize(), 640 * 480 * 3 / 2);
}

TEST(InputStreamTest, TimesLeaveRoomAtTheEndAndCountFromTheContainerStart)
{
    // 12.88 s at 25 fps: less two pictures and half a second.
    EXPECT_NEAR(Open("av_h264_aac.mp4")->GetDuration(), 12.88 - 0.08 - 0.5, 0.03);
    EXPECT_NEAR(Open("av_h264_aac.mp4")->GetStartTime(), 0.0, 1e-9);
    auto ts = Open("start_1_4.ts");
    EXPECT_NEAR(ts->GetStartTime(), 1.4, 0.02);
    EXPECT_NEAR(ts->GetDuration(), 12.0 - 0.08 - 0.5, 0.1);
}

TEST(InputStreamTest, DeliversEveryPictureIncludingThoseTheDecoderHeldBack)
{
    for (const char* name : {"av_h264_aac.mp4", "video_only.mp4", "av_vp9_opus.mkv",
                             "av_mpeg4_mp3.avi", "start_1_4.ts"}) {
        auto input = Open(name, true, false);
        EXPECT_EQ(CountPictures(*input), testsupport::CountVideoFrames(MediaPath(name))) << name;
        EXPECT_TRUE(input->IsAllMediaEnded());
    }
    // With the sound chosen too, its packets wait aside and change nothing.
    auto both = Open("av_h264_aac.mp4");
    EXPECT_EQ(CountPictures(*both), testsupport::CountVideoFrames(MediaPath("av_h264_aac.mp4")));
}

TEST(InputStreamTest, AudioIsTheDecodedSoundThenSilence)
{
    // Same bytes as the ffmpeg tool's own decoding: every frame of every
    // packet, planar float turned into interleaved 16 bits, nothing dropped.
    for (const char* name : {"audio_only.m4a", "av_mpeg4_mp3.avi", "av_vp9_opus.mkv",
                             "surround_51.mp4"}) {
        std::vector<char> reference = ReferenceAudio(name);
        ASSERT_GT(reference.size(), 100000u) << name;
        auto input = Open(name, false, true);
        size_t padding = 0;
        std::vector<char> audio = ReadAllAudio(*input, 8192, &padding);
        ASSERT_GE(audio.size(), reference.size()) << name;
        // A sound that ends on a block boundary is followed by one block of silence.
        EXPECT_LE(audio.size() - reference.size(), 8192u) << name;
        EXPECT_TRUE(std::equal(reference.begin(), reference.end(), audio.begin())) << name;
        EXPECT_GE(padding, audio.size() - reference.size()) << name;

        // After the end: silence, for every further call.
        std::vector<char> block(8192, 'x');
        for (int i = 0; i < 3; ++i) {
            input->DecodeNextAudioFrame(block.data(), 8192);
            EXPECT_EQ(std::count(block.begin(), block.end(), 0), 8192);
            EXPECT_TRUE(input->IsAudioEnded());
        }
    }
}

TEST(InputStreamTest, AudioQueuedWhileVideoWasReadHasNoGaps)
{
    // Reading all video first leaves the whole sound queued as packets.
    auto both = Open("av_h264_aac.mp4");
    CountPictures(*both);
    ASSERT_TRUE(both->IsAllDataReaded());
    EXPECT_FALSE(both->IsAudioEnded());
    std::vector<char> reference = ReferenceAudio("av_h264_aac.mp4");
    std::vector<char> audio = ReadAllAudio(*both, 8192);
    ASSERT_GE(audio.size(), reference.size());
    EXPECT_LE(audio.size() - reference.size(), 8192u);
    EXPECT_TRUE(std::equal(reference.begin(), reference.end(), audio.begin()));
    EXPECT_TRUE(both->IsAllMediaEnded());
}
