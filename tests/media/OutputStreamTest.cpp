// The output layer judged by ffprobe and by decoding what it wrote.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <string>

#include "media/ContainerProfiles.h"
#include "media/EncoderCore.h"
#include "media/MediaError.h"
#include "media/OutputFormats.h"
#include "media/OutputStream.h"
#include "support/MediaProbe.h"
#include "support/TestFrames.h"
#include "support/TestMedia.h"

using namespace testsupport;

namespace {

tCodecParams Record(enumOutputCodec codec, bool audio)
{
    tCodecParams p;
    p.eCodec = codec;
    p.iSpeed = 0;  // the fastest
    p.bAudioEnabled = audio;
    p.iVideoBitrate = 800000;
    p.iGopSize = 5;
    p.iFps = 25;
    p.iWidth = 320;
    p.iHeight = 240;
    p.iAudioBitrate = 128000;
    p.iAudioSampleRate = 44100;
    p.iAudioChannels = 2;
    if (codec == OC_3GP || codec == OC_3G2) {
        p.iWidth = 176;
        p.iHeight = 144;
        p.iAudioBitrate = 12200;
        p.iAudioSampleRate = 8000;
        p.iAudioChannels = 1;
    }
    if (SoundCodec(codec, SC_OUTPUT) == AV_CODEC_ID_OPUS)
        p.iAudioSampleRate = 48000;
    return p;
}

// Writes moving pictures and a tone. `noise`: every pixel random, the
// hardest picture there is to encode.
void WriteClip(OutputStream& out, const tCodecParams& p, double seconds, bool noise = false)
{
    int pictures = 0;
    int width = p.iWidth, height = p.iHeight;
    ffmpeg::FramePtr frame = NewPicture(width, height);
    std::mt19937 random(7);
    int samplesPerPicture = p.iAudioSampleRate / p.iFps;
    for (; pictures < int(seconds * p.iFps); ++pictures) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                frame->data[0][y * frame->linesize[0] + x] = uint8_t(noise ? random() : x + y + 4 * pictures);
        out.WriteNextVideoFrame(frame.get());
        if (!p.bAudioEnabled)
            continue;
        ffmpeg::FramePtr sound = NewSound(p.iAudioChannels, p.iAudioSampleRate, samplesPerPicture);
        for (int i = 0; i < samplesPerPicture * p.iAudioChannels; ++i) {
            long long n = pictures * samplesPerPicture + i / p.iAudioChannels;
            Samples(*sound)[i] = int16_t(8000 * std::sin(2 * M_PI * 440 * n / p.iAudioSampleRate));
        }
        EXPECT_EQ(out.WriteSound(sound.get(), INT64_MAX), samplesPerPicture);
    }
}

bool FileExists(const std::string& path)
{
    return std::ifstream(path).good();
}

}  // namespace

TEST(OutputStream, TheDefaultMp4IsH264HighInYuv420pWithAacAndItsIndexBeforeTheMedia)
{
    tCodecParams p = Record(OC_MP4, true);
    p.iSpeed = -1;  // ultrafast writes no High-profile tools
    std::string file = OutputPath("default.mp4");
    {
        OutputStream out(file.c_str(), p);
        WriteClip(out, p, 1.0);
        out.Close();
    }
    auto streams = ProbeStreams(file);
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0]["profile"], "High");
    EXPECT_EQ(streams[0]["pix_fmt"], "yuv420p");
    EXPECT_EQ(streams[0]["level"], "13");  // 320x240 at 25 fps and 800 kbit/s
    std::string bytes = ReadFile(file);
    ASSERT_NE(bytes.find("mdat"), std::string::npos);
    EXPECT_LT(bytes.find("moov"), bytes.find("mdat"));
}

TEST(OutputStream, ConstantQualitySpendsOnEachPictureWhatItNeedsWhateverTheBitRate)
{
    for (enumOutputCodec codec : {OC_MP4, OC_MKV_H265, OC_MKV_AV1, OC_WEBM_VP9}) {
        SCOPED_TRACE(codec);
        tCodecParams p = Record(codec, false);
        p.eVideoRate = VR_QUALITY;
        p.iQuality = OutputFormat(codec).encoder.defaultQuality;
        double bitrate[2];
        for (bool noise : {false, true}) {
            std::string file = OutputPath("quality." + std::to_string(noise) + "." + OutputFormat(codec).extension);
            {
                OutputStream out(file.c_str(), p);
                WriteClip(out, p, 1.0, noise);
                out.Close();
            }
            bitrate[noise] = std::stod(ProbeFormat(file)["size"]) * 8;
        }
        // Noise takes far more than the record's 800 kbit/s, the gradient far less.
        EXPECT_GT(bitrate[true], 2 * p.iVideoBitrate);
        EXPECT_LT(bitrate[false], p.iVideoBitrate / 4);
    }
}

TEST(OutputStream, CutShortTheFileEndsWherePictureAndSoundAreBothWholeWithItsIndexLast)
{
    // H.264 holds pictures back and reorders them; MPEG-4 Part 2 holds none.
    for (enumOutputCodec codec : {OC_MP4, OC_MP4_PART2}) {
        SCOPED_TRACE(codec);
        tCodecParams p = Record(codec, true);
        std::string file = OutputPath("cut.mp4");
        {
            OutputStream out(file.c_str(), p);
            WriteClip(out, p, 2.0);
            out.CloseEarly();
        }
        EXPECT_EQ(DecodeErrors(file), "");
        int pictures = CountVideoFrames(file);
        EXPECT_LE(pictures, 50);
        if (codec == OC_MP4_PART2)
            EXPECT_EQ(pictures, 50);
        double pictureEnd = pictures / 25.0;
        if (pictures > 0)
            EXPECT_NEAR(PacketSpan(file, "v:0"), pictureEnd, 1e-3);  // no picture left out
        EXPECT_NEAR(DecodedAudioSeconds(file), pictureEnd, 1024 / 44100.0);
        std::string bytes = ReadFile(file);
        EXPECT_GT(bytes.rfind("moov"), bytes.find("mdat"));
    }
}

TEST(OutputStream, TheSourcesExactRateIsWrittenWhileTheWholeRateIsItsRounding)
{
    const struct { enumOutputCodec codec; int fps, num, den; const char* written; } cases[] = {
        {OC_MP4, 30, 30000, 1001, "30000/1001"}, {OC_MOV, 60, 60000, 1001, "60000/1001"},
        {OC_MP4, 24, 24000, 1001, "24000/1001"}, {OC_MPG, 30, 30000, 1001, "30000/1001"},
        {OC_FLV, 25, 25, 1, "25/1"},
        {OC_MP4, 25, 30000, 1001, "25/1"},  // a rate of the user's own
        {OC_3G2, 30, 30000, 1001, "15/1"},  // 3GP caps every rate at a whole 15
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.codec) + " " + c.written);
        tCodecParams p = Record(c.codec, false);
        p.iFps = c.fps, p.iSourceFpsNum = c.num, p.iSourceFpsDen = c.den;
        std::string file = OutputPath("rate." + std::to_string(c.codec));
        {
            OutputStream out(file.c_str(), p);
            WriteClip(out, p, 0.5);
        }
        EXPECT_EQ(ProbeStreams(file)[0]["r_frame_rate"], c.written);
        if (c.codec == OC_3G2)
            EXPECT_NE(RunCommand("ffprobe -v error -show_format " + Quote(file)).output.find("3g2a"),
                      std::string::npos);
    }
}

TEST(OutputStream, BadRecordsAndPlacesFailWithTheOneMessageAndLeaveNoFile)
{
    const char* const failure = "Can't create output stream with this parameters.";
    std::string blocker = OutputPath("a-file");
    std::ofstream(blocker) << "x";
    // Where FFmpeg tells why, its reason follows the message.
    const struct { enumOutputCodec codec; bool audio; void (*change)(tCodecParams&); std::string file;
                   const char* reason; } cases[] = {
        {OC_MP4, true, [](tCodecParams& p) { p.eCodec = enumOutputCodec(OUTPUT_CODEC_COUNT); }, OutputPath("unknown.mp4"), ""},
        {OC_MP4, true, [](tCodecParams& p) { p.eCodec = enumOutputCodec(-1); }, OutputPath("negative.mp4"), ""},
        {OC_MP4, true, [](tCodecParams& p) { p.iWidth = 0; }, OutputPath("nosize.mp4"), ""},
        {OC_MOV, true, [](tCodecParams& p) { p.iAudioSampleRate = 44000; }, OutputPath("rate.mov"), ""},
        // The muxer refuses it only when writing its header.
        {OC_FLV, true, [](tCodecParams& p) { p.iAudioSampleRate = 32000; }, OutputPath("rate.flv"), ""},
        {OC_MPG, false, [](tCodecParams& p) { p.iFps = 0; }, OutputPath("nofps.mpg"), ""},
        // AMR's own bit rates, even with the sound off; one of five sizes.
        {OC_3GP, false, [](tCodecParams& p) { p.iAudioBitrate = 64000; }, OutputPath("rate.3gp"), ""},
        {OC_3GP, false, [](tCodecParams& p) { p.iWidth = 352; }, OutputPath("size.3gp"), ""},
        {OC_MP4, true, [](tCodecParams&) {}, OutputPath("missing") + "/out.mp4", "(No such file or directory)"},
        {OC_MP4, true, [](tCodecParams&) {}, blocker + "/out.mp4", "(Not a directory)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        tCodecParams p = Record(c.codec, c.audio);
        c.change(p);
        try {
            OutputStream out(c.file.c_str(), p);
            ADD_FAILURE() << "opened";
        } catch (const char* message) {
            EXPECT_STREQ(message, failure);
            EXPECT_STREQ(c.reason, "");
        } catch (const MediaError& error) {
            EXPECT_STREQ(error.Message(), failure);
            EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
        }
        EXPECT_FALSE(FileExists(c.file));
    }
}

// Below the output stream: a video-only encoder refuses sound and empty
// pictures, and an unknown muxer opens nothing.
TEST(EncoderCore, VideoOnlyOutputRefusesSoundAndNullInputsAndAnUnknownMuxerOpensNothing)
{
    const tAudioParamsMP4 stereo = {128000, 44100, 2};
    const tVideoParamsMP4 small = {500000, 160, 120, 25, 5};
    std::string file = OutputPath("core-video.mp4");
    tFFMpegEncoder* encoder = OpenOutputMP4(file.c_str(), stereo, small, true);
    ASSERT_NE(encoder, nullptr);
    EXPECT_FALSE(HasAudio(encoder));
    ffmpeg::FramePtr sound = NewSound(2, 44100, 1024);
    EXPECT_FALSE(WriteAudioFrame(encoder, sound.get()));
    EXPECT_FALSE(WriteVideoFrame(encoder, nullptr));
    CloseOutput(encoder);
    CloseOutput(nullptr);
    EXPECT_FALSE(HasAudio(nullptr));
    std::string unknown = OutputPath("core-unknown.xyz");
    EXPECT_EQ(OpenOutput(unknown.c_str(), "no-such-muxer", AV_CODEC_ID_AAC, CreateAudioStreamMP4, &stereo,
                         AV_CODEC_ID_MPEG4, CreateVideoStreamMP4, &small, false),
              nullptr);
    EXPECT_FALSE(FileExists(unknown));
}
