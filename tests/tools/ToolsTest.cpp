// The developer programs tellavox-export and tellavox-grab, run as a user of
// them would, their results judged with ffprobe.
#include <cstdio>
#include <regex>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/MediaProbe.h"
#include "support/TestMedia.h"

using namespace testsupport;

namespace {

std::string LastLine(const std::string& text)
{
    std::string trimmed = text;
    while (!trimmed.empty() && trimmed.back() == '\n')
        trimmed.pop_back();
    size_t newline = trimmed.rfind('\n');
    return newline == std::string::npos ? trimmed : trimmed.substr(newline + 1);
}

CommandResult Export(const std::string& arguments)
{
    return RunCommand(Quote(ToolPath("tellavox-export")) + " " + arguments + " 2>/dev/null");
}

}  // namespace

TEST(ExportTool, PrintsTheReadBackThenThePictureCountsAndTheTime)
{
    std::string out = OutputPath("tool_export.mp4");
    auto r = Export("--in " + Quote(MediaPath("av_h264_aac.mp4")) + " --out " + Quote(out) +
                    " --no-audio --start 2 --end 6 --size 160x120 --crop 0,0,320,240");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    std::smatch m;
    std::string last = LastLine(r.output);
    ASSERT_TRUE(std::regex_match(last, m, std::regex(R"(read=(\d+) written=(\d+) seconds=(\d+\.\d+))"))) << last;
    long written = std::stol(m[2]);
    EXPECT_EQ(CountVideoFrames(out), written);
    EXPECT_EQ(r.output.substr(0, r.output.find('\n')),
              std::to_string(written) + " pictures, 0:04.0, 160x120 H.264, no sound \u2014 checked");
}

// Directly and through the progress dialog: the read-back comes before the
// timing line, and the exit code follows its verdict.
TEST(ExportTool, ExitsThreeExactlyWhenAComparisonFails)
{
    for (const char* extra : {"", " --dialog"}) {
        SCOPED_TRACE(extra);
        std::string out = OutputPath("tool_sound.mp4");
        auto r = Export("--in " + Quote(MediaPath("av_h264_aac.mp4")) + " --out " + Quote(out) +
                        " --start 1 --end 3" + extra);
        std::string report = r.output.substr(0, r.output.rfind('\n', r.output.size() - 2));
        bool checked = report.find("\u2014 checked") != std::string::npos;
        EXPECT_EQ(r.exitCode, checked ? 0 : 3) << r.output;
        EXPECT_EQ(checked, report.find("\nWarning: ") == std::string::npos) << r.output;
        EXPECT_TRUE(std::regex_search(report, std::regex(R"(^\d+ pictures, 0:02\.\d, 640x480 H.264, sound 44\.1 kHz stereo)")))
            << r.output;
        if (*extra) {
            EXPECT_TRUE(std::regex_match(LastLine(r.output), std::regex(R"(result=2 seconds=\d+\.\d+)"))) << r.output;
        }
        EXPECT_EQ(DecodeErrors(out), "");
    }
}

// Of two sound tracks (mono, then the default-marked stereo one), the
// default one, or the one asked for by its number.
TEST(ExportTool, TheDefaultSoundTrackIsTakenUnlessAnotherIsAskedFor)
{
    std::string out = OutputPath("tool_track.mp4");
    const struct { const char* extra; const char* sound; } cases[] = {
        {"", "sound 44.1 kHz stereo"}, {" --audio-track 1", "sound 44.1 kHz mono"}};
    for (const auto& c : cases) {
        auto r = Export("--in " + Quote(MediaPath("second_default.mkv")) + " --out " + Quote(out) + c.extra);
        EXPECT_EQ(r.exitCode, 0) << r.output;
        EXPECT_NE(r.output.find(c.sound), std::string::npos) << r.output;
    }
    auto r = Export("--in " + Quote(MediaPath("second_default.mkv")) + " --out " + Quote(out) + " --audio-track 3");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(LastLine(r.output), "This file has no such sound track.");
}

TEST(ExportTool, AFailingExportPrintsItsMessageAndExitsOne)
{
    std::string out = OutputPath("tool_failed.mp4");
    auto r = Export("--in " + Quote(MediaPath("audio_only.m4a")) + " --out " + Quote(out));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(LastLine(r.output), "This file has no video.");

    r = Export("--in " + Quote(MediaPath("no_such_file.mp4")) + " --out " + Quote(out));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(LastLine(r.output), "Can't open input file.");

    r = Export("--in " + Quote(MediaPath("fps10.mp4")));
    EXPECT_EQ(r.exitCode, 1);
}

TEST(GrabTool, WritesThePictureAsAPngOfTheVideoSize)
{
    std::string png = OutputPath("grab.png");
    auto r = RunCommand(Quote(ToolPath("tellavox-grab")) + " " + Quote(MediaPath("av_h264_aac.mp4")) + " 3.5 " +
                        Quote(png) + " 2>/dev/null");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    auto streams = ProbeStreams(png);
    ASSERT_EQ(streams.size(), 1u);
    EXPECT_EQ(streams[0]["codec_name"], "png");
    EXPECT_EQ(streams[0]["width"], "640");
    EXPECT_EQ(streams[0]["height"], "480");
}

TEST(GrabTool, ExitsOneWithoutAPicture)
{
    std::string png = OutputPath("grab_missing.png");
    auto r = RunCommand(Quote(ToolPath("tellavox-grab")) + " " + Quote(MediaPath("no_such_file.mp4")) + " 1 " +
                        Quote(png) + " 2>/dev/null");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(access(png.c_str(), F_OK), 0) << "no file is written";
}
