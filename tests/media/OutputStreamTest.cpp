// The output layer judged by ffprobe and by decoding what it wrote.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

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

tCodecParams Record(enumOutputCodec codec, bool audio, enumSoundCodec sound = SC_OUTPUT)
{
    tCodecParams p;
    p.eCodec = codec;
    p.eSoundCodec = sound;
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
    if (SoundCodec(codec, sound) == AV_CODEC_ID_OPUS)
        p.iAudioSampleRate = 48000;
    return p;
}

// Writes moving pictures and a tone; returns the pictures' count.
struct Clip {
    int pictures = 0;
    long long samples = 0;  // per channel, handed to the output stream
};

// `noise`: every pixel random, the hardest picture there is to encode.
Clip WriteClip(OutputStream& out, const tCodecParams& p, double seconds, bool noise = false)
{
    Clip clip;
    int width = p.iWidth, height = p.iHeight;
    ffmpeg::FramePtr frame = NewPicture(width, height);
    std::mt19937 random(7);
    int samplesPerPicture = p.iAudioSampleRate / p.iFps;
    for (; clip.pictures < int(seconds * p.iFps); ++clip.pictures) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                frame->data[0][y * frame->linesize[0] + x] = uint8_t(noise ? random() : x + y + 4 * clip.pictures);
        out.WriteNextVideoFrame(frame.get());
        if (!p.bAudioEnabled)
            continue;
        ffmpeg::FramePtr sound = NewSound(p.iAudioChannels, p.iAudioSampleRate, samplesPerPicture);
        for (int i = 0; i < samplesPerPicture * p.iAudioChannels; ++i) {
            long long n = clip.samples + i / p.iAudioChannels;
            Samples(*sound)[i] = int16_t(8000 * std::sin(2 * M_PI * 440 * n / p.iAudioSampleRate));
        }
        EXPECT_EQ(out.WriteSound(sound.get(), INT64_MAX), samplesPerPicture);
        clip.samples += samplesPerPicture;
    }
    return clip;
}

long long DecodedSamplesPerChannel(const std::string& file)
{
    auto r = RunCommand("ffmpeg -nostdin -v error -i " + Quote(file) + " -map 0:a -ac 1 -f s16le -");
    return (long long)(r.output.size() / 2);
}

std::vector<Fields> MediaStreams(const std::string& file)
{
    std::vector<Fields> media;
    for (auto& s : ProbeStreams(file))
        if (s["codec_type"] == "video" || s["codec_type"] == "audio")
            media.push_back(s);
    return media;
}

bool FileExists(const std::string& path)
{
    return std::ifstream(path).good();
}

struct Family {
    enumOutputCodec codec;
    const char* format;  // ffprobe's format_name
    const char* video;
    const char* audio;
    int audioFrame;  // samples per encoder frame
    enumSoundCodec sound = SC_OUTPUT;
    const char* tag = nullptr;  // the video's codec_tag_string, where it matters
};

const char* const mp4 = "mov,mp4,m4a,3gp,3g2,mj2";
const char* const matroska = "matroska,webm";

const Family families[] = {
    {OC_MP4, "mov,mp4,m4a,3gp,3g2,mj2", "h264", "aac", 1024},
    {OC_MP4_PART2, "mov,mp4,m4a,3gp,3g2,mj2", "mpeg4", "aac", 1024},
    {OC_3GP, "mov,mp4,m4a,3gp,3g2,mj2", "h263", "amr_nb", 160},
    {OC_3G2, "mov,mp4,m4a,3gp,3g2,mj2", "h263", "amr_nb", 160},
    {OC_MPG, "mpeg", "mpeg1video", "mp2", 1152},
    {OC_M2V, "mpegts", "mpeg2video", "mp2", 1152},
    {OC_VOB, "mpeg", "mpeg2video", "mp2", 1152},
    {OC_PSP, "mov,mp4,m4a,3gp,3g2,mj2", "mpeg4", "aac", 1024},
    {OC_MOV, "mov,mp4,m4a,3gp,3g2,mj2", "h264", "aac", 1024},
    {OC_MOV_PART2, "mov,mp4,m4a,3gp,3g2,mj2", "mpeg4", "aac", 1024},
    {OC_SWF, "swf", "flv1", "mp3", 1152},
    {OC_FLV, "flv", "flv1", "mp3", 1152},
    {OC_MP4_H265, mp4, "hevc", "aac", 1024, SC_OUTPUT, "hvc1"},
    {OC_MOV_H265, mp4, "hevc", "aac", 1024, SC_OUTPUT, "hvc1"},
    {OC_MP4_AV1, mp4, "av1", "opus", 960, SC_OPUS},
    {OC_MKV_H264, matroska, "h264", "opus", 960, SC_OPUS},
    {OC_MKV_H265, matroska, "hevc", "aac", 1024},
    {OC_MKV_AV1, matroska, "av1", "aac", 1024},
    {OC_MKV_VP9, matroska, "vp9", "opus", 960, SC_OPUS},
    {OC_WEBM_VP9, matroska, "vp9", "opus", 960},
    {OC_WEBM_AV1, matroska, "av1", "opus", 960},
};

class EveryFamily : public ::testing::TestWithParam<std::tuple<Family, bool>> {};

}  // namespace

TEST_P(EveryFamily, WritesAFileOfItsContainerAndCodecsThatDecodesCleanly)
{
    auto [family, withAudio] = GetParam();
    tCodecParams p = Record(family.codec, withAudio, family.sound);
    std::string file = OutputPath("family" + std::to_string(family.codec) + (withAudio ? "a" : "v"));
    Clip clip;
    {
        OutputStream out(file.c_str(), p);
        clip = WriteClip(out, p, 2.0);
    }
    EXPECT_EQ(ProbeFormat(file)["format_name"], family.format);
    auto streams = MediaStreams(file);
    ASSERT_EQ(streams.size(), withAudio ? 2u : 1u);
    // FLV and SWF have no stream table: their readers number the streams in
    // the order they meet them, and the sound comes first there (FLV: the MP3
    // priming starts before the first picture; SWF: its header declares the
    // sound). Every other container keeps video as stream 0.
    bool flash = family.codec == OC_FLV || family.codec == OC_SWF;
    if (withAudio && flash)
        std::swap(streams[0], streams[1]);
    EXPECT_EQ(streams[0]["codec_name"], family.video);
    EXPECT_EQ(streams[0]["width"], std::to_string(p.iWidth));
    EXPECT_EQ(streams[0]["height"], std::to_string(p.iHeight));
    if (family.tag)
        EXPECT_EQ(streams[0]["codec_tag_string"], family.tag);
    EXPECT_EQ(DecodeErrors(file), "");

    // 3GP pictures are counted at 15 per second at most.
    double fps = (family.codec == OC_3GP || family.codec == OC_3G2) ? 15 : p.iFps;
    EXPECT_EQ(CountVideoFrames(file), clip.pictures);
    EXPECT_NEAR(PacketSpan(file, "v:0"), clip.pictures / fps, 1.0 / fps + 1e-6);
    if (withAudio) {
        EXPECT_EQ(streams[1]["codec_name"], family.audio);
        // Only complete encoder frames are written; the decoder may add the
        // encoder's delay, less than one more frame.
        long long whole = clip.samples / family.audioFrame * family.audioFrame;
        if (family.codec == OC_3GP || family.codec == OC_3G2)
            whole = clip.samples;  // written at 8000 Hz mono already
        EXPECT_NEAR(double(DecodedSamplesPerChannel(file)), double(whole), family.audioFrame);
    }
}

INSTANTIATE_TEST_SUITE_P(OutputStream, EveryFamily,
                         ::testing::Combine(::testing::ValuesIn(families), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).video) + "_" +
                                    std::to_string(std::get<0>(info.param).codec) +
                                    (std::get<1>(info.param) ? "_with_audio" : "_video_only");
                         });

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
    EXPECT_EQ(streams[0]["codec_name"], "h264");
    EXPECT_EQ(streams[0]["profile"], "High");
    EXPECT_EQ(streams[0]["pix_fmt"], "yuv420p");
    EXPECT_EQ(streams[0]["level"], "13");  // 320x240 at 25 fps and 800 kbit/s
    EXPECT_EQ(streams[1]["codec_name"], "aac");
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_GT(bytes.rfind("moov"), bytes.find("mdat"));
    }
}

TEST(OutputStream, TheSourcesExactRateIsWrittenWhileTheWholeRateIsItsRounding)
{
    struct Case {
        enumOutputCodec codec;
        int fps, num, den;
        const char* written;
    };
    const Case cases[] = {
        {OC_MP4, 30, 30000, 1001, "30000/1001"}, {OC_MOV, 60, 60000, 1001, "60000/1001"},
        {OC_MP4, 24, 24000, 1001, "24000/1001"}, {OC_MPG, 30, 30000, 1001, "30000/1001"},
        {OC_FLV, 25, 25, 1, "25/1"},
        {OC_MP4, 25, 30000, 1001, "25/1"},  // a rate of the user's own
        {OC_3G2, 30, 30000, 1001, "15/1"},  // 3GP caps every rate at a whole 15
    };
    for (const Case& c : cases) {
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
    std::string blocker = OutputPath("a-file");
    std::ofstream(blocker) << "x";
    struct Case {
        std::string name;
        tCodecParams params;
        std::string file;
        std::string reason = "";  // FFmpeg's, told after the message
    };
    tCodecParams unknown = Record(OC_MP4, true);
    unknown.eCodec = enumOutputCodec(OUTPUT_CODEC_COUNT);
    tCodecParams negative = unknown;
    negative.eCodec = enumOutputCodec(-1);
    tCodecParams noSize = Record(OC_MP4, true);
    noSize.iWidth = 0;
    tCodecParams aacRate = Record(OC_MOV, true);
    aacRate.iAudioSampleRate = 44000;
    tCodecParams flvRate = Record(OC_FLV, true);
    flvRate.iAudioSampleRate = 32000;  // the muxer refuses it only when writing its header
    tCodecParams noFps = Record(OC_MPG, false);
    noFps.iFps = 0;
    tCodecParams amrRate = Record(OC_3GP, false);  // AMR's own bit rates, even with the sound off
    amrRate.iAudioBitrate = 64000;
    tCodecParams h263Size = Record(OC_3GP, false);  // one of five sizes
    h263Size.iWidth = 352;
    const Case cases[] = {
        {"unknown family", unknown, OutputPath("unknown.mp4")},
        {"negative family", negative, OutputPath("negative.mp4")},
        {"no picture size", noSize, OutputPath("nosize.mp4")},
        {"AAC rate", aacRate, OutputPath("rate.mov")},
        {"FLV rate", flvRate, OutputPath("rate.flv")},
        {"no frame rate", noFps, OutputPath("nofps.mpg")},
        {"3GP sound bit rate", amrRate, OutputPath("rate.3gp")},
        {"3GP picture size", h263Size, OutputPath("size.3gp")},
        {"missing folder", Record(OC_MP4, true), OutputPath("missing") + "/out.mp4", "(No such file or directory)"},
        {"folder is a file", Record(OC_MP4, true), blocker + "/out.mp4", "(Not a directory)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            OutputStream out(c.file.c_str(), c.params);
            ADD_FAILURE() << "opened";
        } catch (const char* message) {
            EXPECT_STREQ(message, "Can't create output stream with this parameters.");
            EXPECT_EQ(c.reason, "");
        } catch (const MediaError& error) {
            EXPECT_STREQ(error.Message(), "Can't create output stream with this parameters.");
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
