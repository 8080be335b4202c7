// The developer programs tellavox-export and tellavox-grab, run as a user of
// them would, their results judged with ffprobe.
#include <csignal>
#include <cstdio>
#include <map>
#include <regex>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/MediaProbe.h"
#include "support/TestMedia.h"

using namespace testsupport;

namespace {

std::string LastLine(std::string text)
{
    text.erase(text.find_last_not_of('\n') + 1);
    return text.substr(text.rfind('\n') + 1);  // npos + 1 is 0
}

CommandResult Export(const std::string& arguments)
{
    return RunCommand(Quote(ToolPath("tellavox-export")) + " " + arguments + " 2>/dev/null");
}

// The names in a folder, hidden ones included.
std::string Names(const std::string& folder)
{
    return RunCommand("ls -A " + Quote(folder)).output;
}

// A fresh folder holding a copy of a test clip as "in.mp4".
std::string FolderWithInput(const std::string& name, const char* clip)
{
    std::string folder = OutputPath(name);
    RunCommand("rm -rf " + Quote(folder) + " && mkdir -p " + Quote(folder) + " && cp " + Quote(MediaPath(clip)) +
               " " + Quote(folder + "/in.mp4"));
    return folder;
}

// Runs tellavox-export until it has reported progress, sends it `signal`,
// and returns how it ended (waitpid's status).
int StopMidway(const std::string& in, const std::string& out, int signal)
{
    int err[2];
    if (pipe(err) != 0)
        return -1;
    std::string tool = ToolPath("tellavox-export");
    pid_t pid = fork();
    if (pid == 0) {
        dup2(err[1], 2);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(err[0]);
        execl(tool.c_str(), tool.c_str(), "--in", in.c_str(), "--out", out.c_str(), "--size", "1920x1080",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(err[1]);
    FILE* progress = fdopen(err[0], "r");
    char line[256];
    bool sent = false;
    while (std::fgets(line, sizeof line, progress)) {
        int thousandths = 0;
        if (!sent && std::sscanf(line, "progress=%d", &thousandths) == 1 && thousandths > 0) {
            kill(pid, signal);
            sent = true;
        }
    }
    std::fclose(progress);
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

}  // namespace

// The read-back comes first, then the timing line (through the progress
// dialog, its result); the exit code follows the read-back's verdict.
TEST(ExportTool, PrintsTheReadBackThenTheTimeAndExitsThreeExactlyWhenAComparisonFails)
{
    const std::string stereo = "\\d+ pictures, 0:02\\.\\d, 640x480 H\\.264, sound 44\\.1 kHz stereo";
    const std::string timing = "read=\\d+ written=(\\d+) seconds=\\d+\\.\\d+";
    const struct { const char* extra; std::string report, last; } cases[] = {
        {" --no-audio --start 2 --end 6 --size 160x120 --crop 0,0,320,240",
         "\\d+ pictures, 0:04\\.0, 160x120 H\\.264, no sound \u2014 checked\n", timing},
        {" --start 1 --end 3", stereo, timing},
        {" --start 1 --end 3 --dialog", stereo, "result=2 seconds=\\d+\\.\\d+"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extra);
        std::string out = OutputPath("tool_export.mp4");
        auto r = Export("--in " + Quote(MediaPath("av_h264_aac.mp4")) + " --out " + Quote(out) + c.extra);
        std::string report = r.output.substr(0, r.output.rfind('\n', r.output.size() - 2) + 1);
        bool checked = report.find("\u2014 checked") != std::string::npos;
        EXPECT_EQ(r.exitCode, checked ? 0 : 3) << r.output;
        EXPECT_EQ(checked, report.find("\nWarning: ") == std::string::npos) << r.output;
        EXPECT_TRUE(std::regex_search(report, std::regex("^" + c.report))) << r.output;
        std::smatch m;
        std::string last = LastLine(r.output);
        ASSERT_TRUE(std::regex_match(last, m, std::regex(c.last))) << last;
        if (m.size() > 1)
            EXPECT_EQ(CountVideoFrames(out), std::stol(m[1]));
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

// A failing export prints its message and exits 1. Each refusal comes
// before any work: the thing named as the output, and the input, stay as
// they were, and no part file is left.
TEST(ExportTool, FailsWithItsMessageAndRefusesAnOutputThatIsTheInputNotAFileOrTooLongAName)
{
    std::string folder = FolderWithInput("tool_refused", "video_only.mp4"), in = folder + "/in.mp4";
    const struct { const char* what; std::string out; std::string make; const char* message; } cases[] = {
        {"no video", folder + "/sound.mp4", "", "This file has no video."},
        {"no input", folder + "/missing.mp4", "", "Can't open input file."},
        {"a pipe", folder + "/pipe.mp4", "mkfifo", "The output is not a regular file."},
        {"a device", folder + "/full.mp4", "mknod", "The output is not a regular file."},
        {"the input", in, "", "The input and output files are the same file."},
        {"a symbolic link to it", folder + "/soft.mp4", "ln -s in.mp4", "The input and output files are the same file."},
        {"a hard link to it", folder + "/hard.mp4", "ln in.mp4", "The input and output files are the same file."},
        {"a name too long", folder + "/" + std::string(300, 'n') + ".mp4", "", "The output file name is too long."},
    };
    const std::map<std::string, std::string> inputs = {{"no video", MediaPath("audio_only.m4a")},
                                                       {"no input", MediaPath("no_such_file.mp4")}};
    auto input = FileIdentity(in);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string name = c.out.substr(folder.size() + 1);
        if (c.make == "mknod")
            RunCommand("cd " + Quote(folder) + " && mknod " + name + " c 1 7");  // a copy of /dev/full
        else if (!c.make.empty())
            RunCommand("cd " + Quote(folder) + " && " + c.make + " " + name);
        struct stat before = {};
        if (lstat(c.out.c_str(), &before) != 0 && c.make == "mknod")
            continue;  // devices cannot be made here
        std::string names = Names(folder);
        auto r = Export("--in " + Quote(inputs.count(c.what) ? inputs.at(c.what) : in) + " --out " + Quote(c.out));
        EXPECT_EQ(r.exitCode, 1) << r.output;
        EXPECT_EQ(LastLine(r.output), c.message);
        struct stat after = {};
        lstat(c.out.c_str(), &after);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(Names(folder), names);
    }
    EXPECT_EQ(FileIdentity(in), input);
}

// Arguments it does not take, and a format and video no output has, are
// refused with exit code 2 before any work (the first two with the usage
// text); --list-presets names the built-in presets and the user's.
TEST(ExportTool, RefusesWhatItDoesNotTakeWithExitTwoAndListsThePresets)
{
    std::string config = OutputPath("tool_config"), out = OutputPath("tool_refused.webm");
    RunCommand("mkdir -p " + Quote(config + "/tellavox") + " && printf '[Mine]\\nformat=webm\\n' > " +
               Quote(config + "/tellavox/presets"));
    auto run = [&config](const std::string& arguments) {
        return RunCommand("XDG_CONFIG_HOME=" + Quote(config) + " " + Quote(ToolPath("tellavox-export")) + " " +
                          arguments + " 2>/dev/null");
    };
    std::string files = "--in " + Quote(MediaPath("av_h264_aac.mp4")) + " --out " + Quote(out);
    const std::string usageEnd = "Run:     --dialog  --cancel-after S";
    const std::pair<std::string, std::string> cases[] = {
        {files + " --format", usageEnd},
        {files + " --preset Mine --speed 99", "Unknown speed \"99\" for webm with vp9 video; its speeds, fastest first, are "},
        {"--in " + Quote(MediaPath("av_h264_aac.mp4")), usageEnd},
    };
    for (const auto& [arguments, last] : cases) {
        auto r = run(arguments);
        EXPECT_EQ(r.exitCode, 2) << arguments;
        EXPECT_EQ(LastLine(r.output).substr(0, last.size()), last) << r.output;
        EXPECT_NE(access(out.c_str(), F_OK), 0);
    }
    auto r = run("--list-presets");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find("\nDVD (MPEG-2)\n"), std::string::npos) << r.output;
    EXPECT_EQ(LastLine(r.output), "Mine");
}

// A stop signal in the middle of an export abandons it: the tool ends by
// the signal, the earlier file of the output's name is as it was, and no
// part file is left beside it.
TEST(ExportTool, AStopSignalLeavesTheEarlierFileAndNoPartFile)
{
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signal);
        std::string folder = FolderWithInput("tool_signal", "gop2s_44k.mp4"), out = folder + "/out.mp4";
        RunCommand("echo earlier > " + Quote(out));
        auto earlier = FileIdentity(out);
        int status = StopMidway(folder + "/in.mp4", out, signal);
        ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_EQ(FileIdentity(out), earlier);
        EXPECT_EQ(Names(folder), "in.mp4\nout.mp4\n");
    }
}

TEST(GrabTool, WritesThePictureAsAPngOfTheVideoSizeOrExitsOneWithout)
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

    std::string missing = OutputPath("grab_missing.png");
    r = RunCommand(Quote(ToolPath("tellavox-grab")) + " " + Quote(MediaPath("no_such_file.mp4")) + " 1 " +
                   Quote(missing) + " 2>/dev/null");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(access(missing.c_str(), F_OK), 0) << "no file is written";
}
