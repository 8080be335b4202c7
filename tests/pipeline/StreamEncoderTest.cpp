// Whole exports through StreamEncoder, judged by ffprobe and by decoding the
// output with the ffmpeg tool.
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "media/InputStream.h"
#include "media/MediaError.h"
#include "media/OutputFormats.h"
#include "pipeline/ExportJob.h"
#include "pipeline/ExportReport.h"
#include "pipeline/StreamEncoder.h"
#include "support/ExportRecord.h"
#include "support/MediaProbe.h"
#include "support/PictureCompare.h"
#include "support/TestMedia.h"

using namespace testsupport;

namespace {

// Runs one export to its end and finishes the file; returns the pictures written.
uint64_t Export(const std::string& in, const std::string& out, const tCodecParams& params,
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
    encoder.Finish();
    return encoder.GetWrittenFrames();
}

// The message an export fails with; empty when it succeeds.
std::string ExportFailure(const std::string& in, const std::string& out, const tCodecParams& params,
                          double start, double end)
{
    try {
        Export(in, out, params, start, end);
        return "";
    } catch (const char* message) {
        return message;
    } catch (const MediaError& error) {
        return error.Message();
    }
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

}  // namespace

// Pictures are dropped or repeated by their times to fill every slot, or
// kept at the source's exact rate; a range past both ends of the input is
// the whole input. Sound asked of an input without any gives video alone.
TEST(StreamEncoderRate, EverySlotGetsThePictureOfItsTime)
{
    const struct { const char* file; int inFps, outFps; double start, end; uint64_t written; const char* rate; } cases[] = {
        {"gop2s_44k.mp4", 25, 15, 0, 4, 60, "15/1"},
        {"fps10.mp4", 10, 25, 0, 0, 75, "25/1"},  // the whole 3 s
        {"fps10.mp4", 10, 10, -3, 100, 30, "10/1"},
        {"video_only.mp4", 25, 25, 0, 2, 50, "25/1"},
        {"ntsc_2997.mp4", 30, 30, 0, 0, 90, "30000/1001"},
        {"fps60.mp4", 60, 60, 0, 0, 120, "60/1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " at " + c.rate);
        std::string in = MediaPath(c.file), out = OutputPath("rate.mp4");
        tCodecParams params = RecordFor(in);
        ASSERT_EQ(params.iFps, c.inFps);
        bool sound = params.bAudioEnabled;
        params.iFps = c.outFps;
        params.bAudioEnabled = true, params.iAudioSampleRate = 44100, params.iAudioChannels = 2;
        EXPECT_EQ(Export(in, out, params, c.start, c.end), c.written);
        EXPECT_EQ(uint64_t(CountVideoFrames(out)), c.written);
        EXPECT_EQ(StreamOfType(out, "video")["r_frame_rate"], c.rate);
        EXPECT_EQ(ProbeStreams(out).size(), sound ? 2u : 1u);
        EXPECT_EQ(DecodeErrors(out), "");
        ExpectPicturesChosenByTheRateRule(in, out, c.inFps, c.outFps);
    }
}

// Phone clips are exported upright, as the ffmpeg tool shows them, at their
// upright size and with no display matrix left to turn them again.
TEST(StreamEncoderPictures, ClipsWithADisplayMatrixAreExportedUpright)
{
    for (const char* name : {"rot_90.mp4", "rot_180.mp4", "rot_270.mp4", "rot_90_422.mp4"}) {
        SCOPED_TRACE(name);
        std::string in = MediaPath(name), out = OutputPath(std::string("upright_") + name);
        tCodecParams params = RecordFor(in);
        Export(in, out, params, 0, 1);
        Fields video = StreamOfType(out, "video");
        EXPECT_EQ(video["width"] + "x" + video["height"],
                  std::to_string(params.iWidth) + "x" + std::to_string(params.iHeight));
        EXPECT_EQ(RunCommand("ffprobe -v error -show_streams " + Quote(out)).output.find("rotation"),
                  std::string::npos);
        auto written = DecodeAllPictures(out, 1);
        auto shown = RunCommand("ffmpeg -nostdin -v error -i " + Quote(in) +
                                " -frames:v 1 -f rawvideo -pix_fmt rgb24 -").output;
        ASSERT_EQ(written.size(), 1u);
        Picture source{params.iWidth, params.iHeight, std::vector<uint8_t>(shown.begin(), shown.end())};
        EXPECT_LT(MeanAbsDiff(written[0], source), 8.0);
    }
}

// Both streams start at the range's start and last its length: the video
// within one picture, the sound within one encoder frame, also after rate
// conversion, with key frames between, B-frames and a container start offset.
TEST(StreamEncoderSync, BothStreamsStartAtTheRangeStartAndLastItsLength)
{
    const struct { const char* file; double start, end; int fps, rate, channels; bool sound; } cases[] = {
        {"av_h264_aac.mp4", 1.0, 11.0, 25, 44100, 2, true},  // B-frames
        {"gop2s_44k.mp4", 3.7, 10.7, 25, 44100, 2, true},    // the start lies between key frames
        {"start_1_4.ts", 1.0, 11.0, 25, 44100, 2, true},     // the container starts at 1.4 s
        {"av_h264_aac.mp4", 0.3, 7.3, 15, 22050, 1, true},   // resampled, fewer pictures
        {"gop2s_44k.mp4", 2.5, 3.5, 25, 44100, 2, false},    // no sound: no coarse start
        {"av_h264_aac.mp4", 0, 0, 25, 44100, 2, true},       // whole: every picture, all sound
        {"short_1_5.mp4", 0, 0, 25, 44100, 2, true},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " from " + std::to_string(c.start));
        std::string in = MediaPath(c.file), out = OutputPath("sync_" + std::to_string(index++) + ".mp4");
        tCodecParams params = RecordFor(in);
        params.iFps = c.fps;
        params.iAudioSampleRate = c.rate;
        params.iAudioChannels = c.channels;
        params.bAudioEnabled = c.sound;
        double length = c.end - c.start;
        if (c.end == 0) {
            length = InputStream(in.c_str(), true, false).GetDuration();
            EXPECT_NEAR(length, std::stod(ProbeFormat(in)["duration"]), 1e-3);
        }
        Export(in, out, params, c.start, c.end);
        EXPECT_EQ(DecodeErrors(out), "");

        int pictures = CountVideoFrames(out);
        EXPECT_EQ(pictures, int(std::lround(length * c.fps)));
        EXPECT_NEAR(PacketSpan(out, "v:0"), length, 1.0 / c.fps);
        if (c.sound)
            EXPECT_NEAR(DecodedAudioSeconds(out), length, 1024.0 / c.rate);
        else
            EXPECT_EQ(StreamOfType(out, "audio").size(), 0u);

        // The export begins with the first picture at or after the start.
        auto written = DecodeAllPictures(out, 1);
        ASSERT_EQ(written.size(), 1u);
        int startPicture = int(std::ceil(c.start * 25 - 1e-9));
        auto source = DecodeAllPictures(in, startPicture + 10);
        EXPECT_EQ(NearestPicture(written[0], source, startPicture - 8, startPicture + 8), startPicture);
    }
}

// The crop is cut from its place and scaled over the whole output.
TEST(StreamEncoderCrop, TheBottomLeftQuadrantCroppedAndScaledDecodesToItsBlue)
{
    std::string in = MediaPath("quadrants.mp4"), out = OutputPath("quadrant.mp4");
    tCodecParams params = RecordFor(in);
    params.iWidth = 64, params.iHeight = 48, params.bAudioEnabled = false;
    Export(in, out, params, 0, 1, wxRect(0, 120, 160, 120));
    Picture p = DecodePicture(out, 0.5);
    ASSERT_EQ(p.width, 64);
    ASSERT_EQ(p.height, 48);
    // The source's own colour borders are soft over a few pixels.
    EXPECT_LE(MaxColourError(p, 3, 3, 58, 42, 0, 0, 255), 16);
}

TEST(StreamEncoderRange, ARangeShorterThanOnePictureIsRefusedBeforeAnyFileIsTouched)
{
    std::string in = MediaPath("av_h264_aac.mp4"), out = OutputPath("range_empty.mp4");
    RunCommand("echo earlier > " + Quote(out));
    const struct { double start, end; } cases[] = {{6, 4}, {2, 2}, {2, 2.03}, {5, 0.01}, {12.87, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + " to " + std::to_string(c.end));
        EXPECT_EQ(ExportFailure(in, out, RecordFor(in), c.start, c.end), "The range is shorter than one frame.");
        EXPECT_EQ(ReadFile(out), "earlier\n");
    }
}

TEST(StreamEncoderInput, AwkwardInputsExportEveryPictureAtTheirOpeningSize)
{
    // An FLV without a key-frame index is read from its start. Its pictures
    // begin 25 ms in, after the sound: the first one also covers the start.
    std::string flv = MediaPath("sorenson.flv"), out = OutputPath("from_flv.mp4");
    Export(flv, out, RecordFor(flv), 0, 0);
    EXPECT_EQ(CountVideoFrames(out), 51);
    EXPECT_NEAR(DecodedAudioSeconds(out), 2.025, 1024.0 / 44100);
    EXPECT_EQ(DecodeErrors(out), "");

    // Pictures that grow half-way are scaled to the opening size, not cut:
    // the later ones are red on the left, blue on the right.
    std::string ts = MediaPath("size_change.ts"), scaled = OutputPath("size_change.mp4");
    tCodecParams params = RecordFor(ts);
    ASSERT_EQ(params.iWidth, 640);
    Export(ts, scaled, params, 0, 0);
    EXPECT_EQ(CountVideoFrames(scaled), CountVideoFrames(ts));
    Picture late = DecodePicture(scaled, 3.5);
    ASSERT_EQ(late.width, 640);
    EXPECT_LE(MaxColourError(late, 20, 20, 280, 320, 255, 0, 0), 24);
    EXPECT_LE(MaxColourError(late, 340, 20, 280, 320, 0, 0, 255), 24);
}

// Places that cannot take the file: the export fails with the reason, no file
// appears under the output's name and an earlier one stays byte for byte.
TEST(StreamEncoderPlaces, AFullDiskOrAnUnwritableFolderFailsAndLosesNothing)
{
    std::string in = MediaPath("gop2s_44k.mp4");
    tCodecParams params = RecordFor(in);
    std::string reference = OutputPath("full_disk_reference.mp4");
    Export(in, reference, params, 0, 4);
    size_t size = ReadFile(reference).size();
    ASSERT_GT(size, 100000u);

    EXPECT_EQ(ExportFailure(in, OutputPath("missing/out.mp4"), params, 0, 4), "Can't write to the output folder.");

    std::string mount = OutputPath("small_disk");
    RunCommand("mkdir -p " + Quote(mount));
    const std::string earlier(4096, 'e');
    // Half the file fits; all but the last bytes (the index) fit; a read-only disk.
    const struct { size_t bytes; const char* options; const char* message; } cases[] = {
        {size / 2, "", "The disk is full."},
        {(size - 1) / 4096 * 4096, "", "The disk is full."},
        {1 << 20, ",ro", "Can't write to the output folder."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.bytes) + c.options);
        std::string options = "size=" + std::to_string(c.bytes + earlier.size()) + c.options;
        if (RunCommand("mount -t tmpfs -o " + options + " tmpfs " + Quote(mount) + " 2>&1").exitCode != 0)
            GTEST_SKIP() << "a small disk cannot be mounted here (the test needs root)";
        std::string out = mount + "/out.mp4";
        if (!*c.options) {
            FILE* file = std::fopen(out.c_str(), "w");
            ASSERT_TRUE(file);
            std::fputs(earlier.c_str(), file);
            std::fclose(file);
        }
        EXPECT_EQ(ExportFailure(in, out, params, 0, 4), c.message);
        EXPECT_EQ(ReadFile(out), *c.options ? "" : earlier);
        EXPECT_EQ(RunCommand("ls -A " + Quote(mount)).output, *c.options ? "" : "out.mp4\n") << "no part file is left";
        RunCommand("umount " + Quote(mount));
    }
}

// A 10-bit PQ source kept is written at 10 bits with its BT.2020 and PQ
// tags and its pixels; tone-mapped, or from an 8-bit source, at 8 bits as BT.709.
TEST(StreamEncoderPictures, AnHdrSourceKeptIsWrittenAt10BitsWithItsTags)
{
    const std::string pattern = "-f lavfi -i testsrc2=size=320x240:rate=25:duration=1 ";
    std::string pq = OutputPath("pq.mkv"), sdr = OutputPath("sdr.mkv");
    RunCommand("ffmpeg -nostdin -v error -y " + pattern +
               "-vf zscale=rin=full:tin=709:min=709:pin=709:t=smpte2084:m=2020_ncl:p=2020:r=limited:npl=100,"
               "format=yuv420p10le -c:v libx265 -x265-params log-level=error:lossless=1 -color_primaries bt2020 "
               "-color_trc smpte2084 -colorspace bt2020nc " + Quote(pq));
    RunCommand("ffmpeg -nostdin -v error -y " + pattern + "-c:v libx264 -qp 0 -pix_fmt yuv420p " + Quote(sdr));
    // `tags`: primaries/transfer/matrix.
    const struct { std::string source; enumOutputCodec codec; bool keep; const char* pixels, *tags; } cases[] = {
        {pq, OC_MKV_H265, true, "yuv420p10le", "bt2020/smpte2084/bt2020nc"},
        {pq, OC_WEBM_AV1, true, "yuv420p10le", "bt2020/smpte2084/bt2020nc"},
        {pq, OC_MKV_H265, false, "yuv420p", "bt709/bt709/bt709"},
        {sdr, OC_MKV_H265, true, "yuv420p", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pixels) + " " + std::to_string(c.codec));
        tCodecParams params = RecordFor(c.source);
        params.eCodec = c.codec;
        params.bKeepHdr = c.keep;
        params.eVideoRate = VR_QUALITY;
        params.iQuality = 10;
        params.iSpeed = 0;
        std::string out = OutputPath(std::string("hdr.") + OutputFormat(c.codec).extension);
        Export(c.source, out, params, 0, 0);
        Fields video = ProbeStreams(out)[0];
        EXPECT_EQ(video["pix_fmt"], c.pixels);
        if (c.tags)
            EXPECT_EQ(video["color_primaries"] + "/" + video["color_transfer"] + "/" + video["color_space"], c.tags);
        // Kept, the pixels are the source's own (the tone-mapped ones differ),
        // and the read-back compares them with the source as it is.
        if (c.keep && c.source == pq) {
            EXPECT_LT(MeanAbsDiff(DecodePicture(out, 0.5), DecodePicture(pq, 0.5)), 3.0);
            ExportJob job({pq, out, params, wxRect(), 0, 0});
            job.Wait();
            EXPECT_TRUE(job.GetSnapshot().check.Passed()) << ExportReportText(job.GetSnapshot().check);
        }
    }
}
