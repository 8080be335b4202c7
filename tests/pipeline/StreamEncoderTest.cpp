// Whole exports through StreamEncoder, judged by ffprobe and by decoding the
// output with the ffmpeg tool.
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "media/InputStream.h"
#include "pipeline/StreamEncoder.h"
#include "support/ExportRecord.h"
#include "support/MediaProbe.h"
#include "support/PictureCompare.h"
#include "support/TestMedia.h"

using namespace testsupport;

namespace {

struct Counts {
    uint64_t read = 0;
    uint64_t written = 0;
};

// Runs one export to its end and finishes the file.
Counts Export(const std::string& in, const std::string& out, const tCodecParams& params,
              double start, double end, const wxRect& crop = wxRect())
{
    StreamEncoder encoder(in.c_str(), out.c_str(), params, crop, start, end);
    for (int steps = 0; !encoder.IsEnded(); ++steps) {
        if (steps > 200000) {
            ADD_FAILURE() << "the export does not end";
            break;
        }
        encoder.Encode();
    }
    return {encoder.GetReadFrames(), encoder.GetWrittenFrames()};
}

Fields StreamOfType(const std::string& file, const std::string& type)
{
    for (auto& s : ProbeStreams(file))
        if (s["codec_type"] == type)
            return s;
    return Fields();
}

// Index of the picture in `candidates[first, last]` that looks most like `picture`.
int NearestPicture(const Picture& picture, const std::vector<Picture>& candidates, int first, int last)
{
    int best = -1;
    double bestDiff = 1e18;
    for (int i = std::max(first, 0); i <= last && i < int(candidates.size()); ++i) {
        double d = MeanAbsDiff(picture, candidates[i]);
        if (d < bestDiff) {
            bestDiff = d;
            best = i;
        }
    }
    return best;
}

// Checks that output picture j was made from input picture floor(j * in / out)
// (counting both from 0), which is the first input picture k (counting from 1)
// with k / in > j / out.
void ExpectPicturesChosenByTheRateRule(const std::string& in, const std::string& out, int inFps, int outFps)
{
    auto written = DecodeAllPictures(out);
    ASSERT_FALSE(written.empty());
    int lastSource = int((written.size() - 1) * inFps / outFps);
    auto source = DecodeAllPictures(in, lastSource + 4);
    ASSERT_GT(int(source.size()), lastSource);
    for (int j = 0; j < int(written.size()); ++j) {
        int expected = j * inFps / outFps;
        EXPECT_EQ(NearestPicture(written[j], source, expected - 3, expected + 3), expected)
            << "output picture " << j;
    }
}

uint64_t CeilDiv(uint64_t a, uint64_t b)
{
    return (a + b - 1) / b;
}

}  // namespace

TEST(StreamEncoderRate, FromTwentyFiveToFifteenSixOfEveryTenPicturesAreWritten)
{
    std::string in = MediaPath("gop2s_44k.mp4"), out = OutputPath("rate_25_to_15.mp4");
    tCodecParams params = RecordFor(in);
    ASSERT_EQ(params.iFps, 25);
    params.iFps = 15;
    params.bAudioEnabled = false;
    Counts n = Export(in, out, params, 0, 4);
    EXPECT_GE(n.read, 99u);
    EXPECT_EQ(n.written, CeilDiv(n.read * 15, 25));
    EXPECT_EQ(uint64_t(CountVideoFrames(out)), n.written);
    EXPECT_EQ(DecodeErrors(out), "");
    ExpectPicturesChosenByTheRateRule(in, out, 25, 15);
}

TEST(StreamEncoderRate, FromTenToTwentyFiveEveryTenPicturesGiveTwentyFive)
{
    std::string in = MediaPath("fps10.mp4"), out = OutputPath("rate_10_to_25.mp4");
    tCodecParams params = RecordFor(in);
    ASSERT_EQ(params.iFps, 10);
    params.iFps = 25;
    Counts n = Export(in, out, params, 0, 0);
    EXPECT_GE(n.read, 20u);
    EXPECT_EQ(n.written, CeilDiv(n.read * 25, 10));
    EXPECT_EQ(uint64_t(CountVideoFrames(out)), n.written);
    EXPECT_EQ(StreamOfType(out, "video")["r_frame_rate"], "25/1");
    ExpectPicturesChosenByTheRateRule(in, out, 10, 25);
}

TEST(StreamEncoderRate, AtEqualRatesEveryPictureIsWrittenOnce)
{
    std::string in = MediaPath("av_mpeg4_mp3.avi"), out = OutputPath("rate_equal.mp4");
    tCodecParams params = RecordFor(in);
    Counts n = Export(in, out, params, 0, 2);
    EXPECT_EQ(n.written, n.read);
    EXPECT_EQ(uint64_t(CountVideoFrames(out)), n.written);
}

// A 10 s range of a 44.1 kHz stereo input: the sound and the pictures of the
// output both last 10 s, and the first picture is the one at the range start.
TEST(StreamEncoderSync, AudioAndVideoEndTogetherAndStartAtTheRangeStart)
{
    struct Case {
        const char* file;
        double start;
    };
    const Case cases[] = {
        {"av_h264_aac.mp4", 1.0},  // B-frames
        {"gop2s_44k.mp4", 3.7},    // key frames every 2 s: the start lies between two
        {"start_1_4.ts", 1.0},     // the container starts at 1.4 s
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::string in = MediaPath(c.file), out = OutputPath(std::string("sync_") + c.file + ".mp4");
        tCodecParams params = RecordFor(in);
        ASSERT_EQ(params.iAudioSampleRate, 44100);
        ASSERT_EQ(params.iAudioChannels, 2);
        Export(in, out, params, c.start, c.start + 10);
        EXPECT_EQ(DecodeErrors(out), "");

        double video = PacketSpan(out, "v:0"), audio = PacketSpan(out, "a:0");
        EXPECT_LT(std::fabs(video - audio), 0.100) << "video " << video << " s, audio " << audio << " s";
        EXPECT_NEAR(video, 10.0, 0.150);
        EXPECT_NEAR(audio, 10.0, 0.150);

        // The export begins with the first picture at or after the start.
        auto written = DecodeAllPictures(out, 1);
        ASSERT_EQ(written.size(), 1u);
        int startPicture = int(std::ceil(c.start * 25 - 1e-9));
        auto source = DecodeAllPictures(in, startPicture + 10);
        int first = NearestPicture(written[0], source, startPicture - 8, startPicture + 8);
        EXPECT_EQ(first, startPicture);
    }
}

TEST(StreamEncoderCrop, EachQuadrantCroppedAndScaledDecodesToItsColour)
{
    struct Case {
        wxRect crop;
        int r, g, b;
        const char* what;
    };
    const Case cases[] = {
        {wxRect(0, 0, 160, 120), 255, 0, 0, "top-left, red"},
        {wxRect(160, 0, 160, 120), 0, 255, 0, "top-right, lime"},
        {wxRect(0, 120, 160, 120), 0, 0, 255, "bottom-left, blue"},
        {wxRect(160, 120, 160, 120), 255, 255, 255, "bottom-right, white"},
        // Reaching outside the picture: clipped to the bottom-right quadrant.
        {wxRect(160, 120, 400, 400), 255, 255, 255, "past the corner, white"},
    };
    std::string in = MediaPath("quadrants.mp4");
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string out = OutputPath("quadrant_" + std::to_string(index++) + ".mp4");
        tCodecParams params = RecordFor(in);
        params.iWidth = 64;
        params.iHeight = 48;
        params.bAudioEnabled = false;
        Export(in, out, params, 0, 1, c.crop);
        Picture p = DecodePicture(out, 0.5);
        ASSERT_EQ(p.width, 64);
        ASSERT_EQ(p.height, 48);
        // The source's own colour borders are soft over a few pixels.
        EXPECT_LE(MaxColourError(p, 3, 3, 58, 42, c.r, c.g, c.b), 16);
    }
}

TEST(StreamEncoderCrop, WithoutACropTheQuadrantBordersStayInPlace)
{
    // Scaled to half size; an empty crop rectangle (what the crop editor
    // reports without a picture) means no crop too.
    std::string in = MediaPath("quadrants.mp4");
    for (wxRect crop : {wxRect(0, 0, 320, 240), wxRect(0, 0, 0, 0)}) {
        SCOPED_TRACE(crop.width == 0 ? "empty crop" : "whole-picture crop");
        std::string out = OutputPath(crop.width == 0 ? "quadrants_empty_crop.mp4" : "quadrants_full.mp4");
        tCodecParams params = RecordFor(in);
        params.iWidth = 160;
        params.iHeight = 120;
        params.bAudioEnabled = false;
        Export(in, out, params, 0, 1, crop);
        Picture p = DecodePicture(out, 0.5);
        ASSERT_EQ(p.width, 160);
        ASSERT_EQ(p.height, 120);
        // Each quadrant is its colour up to 3 pixels from the border at 80, 60.
        EXPECT_LE(MaxColourError(p, 0, 0, 77, 57, 255, 0, 0), 16);
        EXPECT_LE(MaxColourError(p, 83, 0, 77, 57, 0, 255, 0), 16);
        EXPECT_LE(MaxColourError(p, 0, 63, 77, 57, 0, 0, 255), 16);
        EXPECT_LE(MaxColourError(p, 83, 63, 77, 57, 255, 255, 255), 16);
    }
}

TEST(StreamEncoderAudio, SoundIsResampledToTheOutputRateAndChannels)
{
    std::string in = MediaPath("av_h264_aac.mp4"), out = OutputPath("resampled.mp4");
    tCodecParams params = RecordFor(in);
    {
        StreamEncoder same(in.c_str(), OutputPath("not_resampled.mp4").c_str(), params, wxRect(), 0, 1);
        EXPECT_FALSE(same.IsResampling()) << "the input's sound already is 44.1 kHz stereo";
    }
    params.iAudioSampleRate = 22050;
    params.iAudioChannels = 1;
    {
        StreamEncoder encoder(in.c_str(), out.c_str(), params, wxRect(), 0, 5);
        EXPECT_TRUE(encoder.IsResampling());
        while (!encoder.IsEnded())
            encoder.Encode();
    }
    Fields audio = StreamOfType(out, "audio");
    EXPECT_EQ(audio["sample_rate"], "22050");
    EXPECT_EQ(audio["channels"], "1");
    EXPECT_NEAR(PacketSpan(out, "a:0"), 5.0, 0.150);
    EXPECT_NEAR(PacketSpan(out, "a:0"), PacketSpan(out, "v:0"), 0.100);
    EXPECT_EQ(DecodeErrors(out), "");
}

TEST(StreamEncoderRange, AnEndOfZeroOrPastTheInputMeansTheEndOfTheInput)
{
    std::string in = MediaPath("fps10.mp4");
    double inputDuration = InputStream(in.c_str(), true, false).GetDuration();
    ASSERT_GT(inputDuration, 2.0);
    tCodecParams params = RecordFor(in);
    struct Case {
        double start, end;
        const char* what;
    };
    const Case cases[] = {
        {0, 0, "end 0"},
        {0, 100, "end past the input"},
        {5, 0, "start 5, end 0"},  // the start is clamped to the end first
    };
    uint64_t firstCount = 0;
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string out = OutputPath("range_end_" + std::to_string(index++) + ".mp4");
        {
            StreamEncoder encoder(in.c_str(), out.c_str(), params, wxRect(), c.start, c.end);
            EXPECT_DOUBLE_EQ(encoder.GetDuration(), inputDuration);
            while (!encoder.IsEnded())
                encoder.Encode();
        }
        EXPECT_NEAR(PacketSpan(out, "v:0"), inputDuration, 0.150);
        uint64_t count = uint64_t(CountVideoFrames(out));
        if (!firstCount)
            firstCount = count;
        EXPECT_EQ(count, firstCount);
        EXPECT_LT(MeanAbsDiff(DecodePicture(out, 0), DecodePicture(in, 0)), 4.0) << "the export begins at 0";
    }
}

TEST(StreamEncoderRange, AStartAfterTheEndGivesAnEmptyExportThatEndsAtOnce)
{
    std::string in = MediaPath("av_h264_aac.mp4"), out = OutputPath("range_empty.mp4");
    {
        StreamEncoder encoder(in.c_str(), out.c_str(), RecordFor(in), wxRect(), 6, 4);
        EXPECT_DOUBLE_EQ(encoder.GetDuration(), 0.0);
        EXPECT_TRUE(encoder.IsEnded());
        encoder.Encode();
        EXPECT_EQ(encoder.GetReadFrames(), 0u);
        EXPECT_EQ(encoder.GetWrittenFrames(), 0u);
        EXPECT_EQ(encoder.GetProgress(), 0);
    }
    EXPECT_EQ(ProbeFormat(out)["format_name"].substr(0, 3), "mov") << "the file is finished all the same";
}

TEST(StreamEncoderRange, ANegativeStartIsTakenAsZero)
{
    std::string in = MediaPath("gop2s_44k.mp4"), out = OutputPath("range_negative.mp4");
    {
        StreamEncoder encoder(in.c_str(), out.c_str(), RecordFor(in), wxRect(), -3, 1);
        EXPECT_DOUBLE_EQ(encoder.GetDuration(), 1.0);
        while (!encoder.IsEnded())
            encoder.Encode();
    }
    EXPECT_NEAR(PacketSpan(out, "v:0"), 1.0, 0.150);
    Picture first = DecodePicture(out, 0);
    EXPECT_LT(MeanAbsDiff(first, DecodePicture(in, 0)) * 2, MeanAbsDiff(first, DecodePicture(in, 0.2)));
}

TEST(StreamEncoderInput, AnInputWithoutSoundExportedWithAudioOnGivesVideoOnly)
{
    std::string in = MediaPath("video_only.mp4"), out = OutputPath("no_sound.mp4");
    tCodecParams params = RecordFor(in);
    params.bAudioEnabled = true;
    params.iAudioSampleRate = 44100;
    params.iAudioChannels = 2;
    Counts n;
    ASSERT_NO_THROW(n = Export(in, out, params, 0, 2));
    auto streams = ProbeStreams(out);
    ASSERT_EQ(streams.size(), 1u);
    EXPECT_EQ(streams[0]["codec_type"], "video");
    EXPECT_EQ(uint64_t(CountVideoFrames(out)), n.written);
    EXPECT_GT(n.written, 40u);
}

TEST(StreamEncoderInput, AnInputWithoutVideoIsRefusedBeforeAnyOutputIsMade)
{
    std::string in = MediaPath("audio_only.m4a"), out = OutputPath("no_video.mp4");
    tCodecParams params = RecordFor(MediaPath("av_h264_aac.mp4"));
    try {
        StreamEncoder encoder(in.c_str(), out.c_str(), params, wxRect(), 0, 0);
        FAIL() << "no exception";
    } catch (const char* message) {
        // Opening the input for its pictures alone already finds nothing to read.
        EXPECT_STREQ(message, "Input file is empty, can't find audio or video streams. Or all streams is skipped.");
    }
    EXPECT_NE(access(out.c_str(), F_OK), 0) << "no output file is created";
}

// Destroying the encoder before the end (a cancelled export) finishes the
// file with what was written so far.
TEST(StreamEncoderCancel, AnExportStoppedHalfWayLeavesAFileThatDecodesCleanly)
{
    std::string in = MediaPath("av_h264_aac.mp4"), out = OutputPath("cancelled.mp4");
    uint64_t written = 0;
    {
        StreamEncoder encoder(in.c_str(), out.c_str(), RecordFor(in), wxRect(), 0, 0);
        for (int i = 0; i < 200 && !encoder.IsEnded(); ++i)
            encoder.Encode();
        EXPECT_FALSE(encoder.IsEnded());
        written = encoder.GetWrittenFrames();
        EXPECT_GT(encoder.GetProgress(), 0);
        EXPECT_LT(encoder.GetProgress(), 1000);
    }
    ASSERT_GT(written, 20u);
    EXPECT_EQ(DecodeErrors(out), "");
    EXPECT_EQ(uint64_t(CountVideoFrames(out)), written);
    double video = PacketSpan(out, "v:0");
    EXPECT_NEAR(video, written / 25.0, 0.001);
    EXPECT_NEAR(PacketSpan(out, "a:0"), video, 0.100);
    // The file holds consecutive input pictures, up to the last one written.
    auto pictures = DecodeAllPictures(out);
    ASSERT_EQ(pictures.size(), written);
    auto source = DecodeAllPictures(in, int(written) + 5);
    int first = NearestPicture(pictures[0], source, 0, 3);
    for (int i = 1; i < int(written); ++i)
        ASSERT_EQ(NearestPicture(pictures[i], source, first + i - 3, first + i + 3), first + i) << "picture " << i;
}
