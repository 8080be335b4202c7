// tellavox-export's arguments read into the record they make for a source,
// or refused with the words the user sees.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>

#include "tools/ExportOptions.h"

namespace {

// A 1920x1080 25 fps source with 48 kHz stereo sound.
const tSourceDescription source = {1920, 1080, 1.0, 25, 1, 25.0, true, 48000, 2};

auto Fields(const tCodecParams& p)
{
    return std::make_tuple(p.eCodec, p.eVideoRate, p.iQuality, p.iVideoBitrate, p.iTargetKB, p.iSpeed,
                           p.eSoundCodec, p.bCopyVideo, p.bKeepHdr, p.bAudioEnabled, p.iWidth, p.iHeight, p.iFps,
                           p.iGopSize, p.iAudioBitrate);
}

int Speed(enumOutputCodec codec, const char* name)
{
    const std::vector<const char*>& speeds = OutputFormat(codec).encoder.speeds;
    return int(std::find_if(speeds.begin(), speeds.end(), [name](const char* s) { return std::string(s) == name; }) -
               speeds.begin());
}

tCodecParams Record(std::vector<std::string> arguments, const std::vector<tPreset>& user = {})
{
    arguments.insert(arguments.begin(), {"--in", "in.mp4", "--out", "out.mkv"});
    return ExportRecord(ParseExportOptions(arguments), source, user);
}

std::string Refusal(std::vector<std::string> arguments, bool addFiles = true)
{
    if (addFiles)
        arguments.insert(arguments.begin(), {"--in", "in.mp4", "--out", "out.mkv"});
    try {
        ExportRecord(ParseExportOptions(arguments), source, {});
    } catch (const tUsageError& error) {
        return error.message;
    }
    return "accepted";
}

}  // namespace

// Each argument list gives the source's proposal for its output with the
// values given, normalised as the settings window does.
TEST(ExportOptions, TheOptionsMakeTheProposalForTheirOutputWithTheirValues)
{
    tPreset mine = {"Mine", OC_WEBM_AV1, VR_QUALITY, 40, 0, 0, "8", 480};
    const struct {
        std::vector<std::string> arguments;
        enumOutputCodec codec;
        std::function<void(tCodecParams&)> expect;
    } cases[] = {
        {{}, OC_MP4, [](tCodecParams&) {}},
        {{"--format", "webm"}, OC_WEBM_VP9, [](tCodecParams&) {}},
        {{"--format", "mkv", "--video", "h265", "--quality", "22", "--speed", "slow", "--keep-hdr"}, OC_MKV_H265,
         [](tCodecParams& p) {
             p.eVideoRate = VR_QUALITY, p.iQuality = 22, p.iSpeed = Speed(OC_MKV_H265, "slow"), p.bKeepHdr = true;
         }},
        {{"--video", "av1", "--audio", "opus"}, OC_MP4_AV1, [](tCodecParams& p) { p.eSoundCodec = SC_OPUS; }},
        {{"--codec", "7", "--vbitrate", "2000000"}, OC_MOV,
         [](tCodecParams& p) { p.eVideoRate = VR_BITRATE, p.iVideoBitrate = 2000000; }},
        {{"--format", "mov", "--video", "h265", "--target-size", "8.5"}, OC_MOV_H265,
         [](tCodecParams& p) { p.eVideoRate = VR_TARGET_SIZE, p.iTargetKB = 8500; }},
        {{"--format", "mkv", "--video", "copy", "--audio", "copy"}, OC_MKV_H264,
         [](tCodecParams& p) { p.bCopyVideo = true, p.eSoundCodec = SC_COPY; }},
        {{"--size", "640x360", "--fps", "30", "--gop", "5", "--no-audio"}, OC_MP4,
         [](tCodecParams& p) { p.iWidth = 640, p.iHeight = 360, p.iFps = 30, p.iGopSize = 5, p.bAudioEnabled = false; }},
        {{"--preset", "Small 720p (H.264)", "--format", "mkv"}, OC_MKV_H264,
         [](tCodecParams& p) {
             tPreset preset = *FindPreset({}, "Small 720p (H.264)");
             preset.codec = OC_MKV_H264;
             p = ApplyPreset(preset, source);
         }},
        {{"--preset", "Mine", "--quality", "30"}, OC_WEBM_AV1,
         [&mine](tCodecParams& p) { p = ApplyPreset(mine, source), p.iQuality = 30; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        tCodecParams expected = ProposeForSource(c.codec, source);
        c.expect(expected);
        EXPECT_EQ(Fields(Record(c.arguments, {mine})), Fields(NormaliseForFormat(expected)));
    }
}

TEST(ExportOptions, WhatTheToolOrTheOutputDoesNotTakeIsRefusedInWords)
{
    const struct { std::vector<std::string> arguments; bool addFiles; std::string refusal; } cases[] = {
        {{"--format", "webm", "--video", "h264"}, true, "No output is webm with h264 video; webm takes vp9, av1 (or copy)."},
        {{"--format", "avi"}, true,
         "Unknown format \"avi\"; the formats are mp4, 3gp, 3g2, mpg, ts, vob, psp, mov, swf, flv, mkv, webm."},
        {{"--quality", "20", "--target-size", "10"}, true, "Give only one of --quality, --vbitrate and --target-size."},
        {{"--format", "mpg", "--quality", "5"}, true,
         "mpg with mpeg1 video has no constant quality; give --vbitrate or --target-size."},
        {{"--format", "3gp", "--speed", "fast"}, true, "3gp with h263 video has no speed to choose."},
        {{"--speed", "warp"}, true,
         "Unknown speed \"warp\" for mp4 with h264 video; its speeds, fastest first, are ultrafast, "},
        {{"--audio", "opus"}, true, "mp4 with h264 video does not take opus sound; it takes aac, copy."},
        {{"--codec", "99"}, true, "Unknown output codec."},
        {{"--codec", "0", "--format", "mp4"}, true, "Give either --codec or --format and --video."},
        {{"--preset", "Nothing"}, true, "No preset is named \"Nothing\"; see --list-presets."},
        {{"--colour", "red"}, true, "Unknown argument \"--colour\"."},
        {{"--quality"}, true, "--quality needs a value."},
        {{"--quality", "high"}, true, "Bad value \"high\" for --quality."},
        {{"--vbitrate", "99999999999"}, true, "Bad value \"99999999999\" for --vbitrate."},
        {{"--size", "640x360x2"}, true, "Bad value \"640x360x2\" for --size."},
        {{"--crop", "1,2,3"}, true, "Bad value \"1,2,3\" for --crop."},
        {{"--in", "in.mp4"}, false, "Give --in FILE and --out FILE, or --out-dir FOLDER and the files."},
        {{"stray.mp4"}, true, "Give --in FILE and --out FILE, or --out-dir FOLDER and the files."},
        {{"--out-dir", "/tmp"}, false, "Give --in FILE and --out FILE, or --out-dir FOLDER and the files."},
    };
    for (const auto& c : cases)  // the speeds' list is the row's
        EXPECT_EQ(Refusal(c.arguments, c.addFiles).substr(0, c.refusal.size()), c.refusal)
            << ::testing::PrintToString(c.arguments);
}
