// tellavox-export --out-dir: many files in turn, a JSON line for each.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/MediaProbe.h"
#include "support/TestMedia.h"

using namespace testsupport;

namespace {

// Each JSON line read by Python's parser and given back as
// "result|output's name|input's name|detail's first line", one per line.
std::vector<std::string> ParsedLines(const std::string& jsonLines)
{
    std::string file = OutputPath("batch_lines.json");
    std::ofstream(file) << jsonLines;
    const char* script =
        "import json,os,sys\n"
        "for line in open(sys.argv[1], encoding='utf-8'):\n"
        "  o = json.loads(line)\n"
        "  assert set(o) == {'input','output','result','detail','seconds'} and o['seconds'] >= 0\n"
        "  print('|'.join([o['result'], os.path.basename(o['output']), os.path.basename(o['input']),"
        " o['detail'].split('\\n')[0]]).replace('\\n', '\\\\n'))\n";
    CommandResult parsed = RunCommand("PYTHONIOENCODING=utf-8 python3 -c " + Quote(script) + " " + Quote(file) + " 2>&1");
    EXPECT_EQ(parsed.exitCode, 0) << parsed.output;
    std::vector<std::string> lines;
    std::istringstream in(parsed.output);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

CommandResult Batch(const std::string& folder, const std::vector<std::string>& inputs)
{
    std::string command = Quote(ToolPath("tellavox-export")) + " --out-dir " + Quote(folder) + " --size 160x120";
    for (const std::string& input : inputs)
        command += " " + Quote(input);
    return RunCommand(command + " 2>/dev/null");
}

}  // namespace

// Names with quotes, backslashes, a line break and non-ASCII letters come
// out as JSON that parses back to them; a name taken (by a file there or an
// earlier output) gets the next free one; a damaged file fails with its
// reason and the files after it are still converted.
TEST(Batch, ConvertsEachFileNamesOutputsFreelyAndReportsAParsableLineEach)
{
    std::string in = OutputPath("batch_in"), out = OutputPath("batch_out");
    const std::string awkward = "say \"hi\" \\ there\n\xC3\xA9t\xC3\xA9.mp4";
    RunCommand("rm -rf " + Quote(in) + " " + Quote(out) + " && mkdir -p " + Quote(in + "/other") + " " + Quote(out) + " && cp " + Quote(MediaPath("video_only.mp4")) +
               " " + Quote(in + "/" + awkward) + " && cp " + Quote(MediaPath("fps10.mp4")) + " " +
               Quote(in + "/clip.mp4") + " && cp " + Quote(MediaPath("av_vp8_vorbis.webm")) + " " +
               Quote(in + "/other/clip.webm") + " && touch " + Quote(out + "/clip.mp4"));

    CommandResult good = Batch(out, {in + "/" + awkward, in + "/clip.mp4", in + "/other/clip.webm"});
    EXPECT_EQ(good.exitCode, 0) << good.output;
    std::vector<std::string> lines = ParsedLines(good.output);
    ASSERT_EQ(lines.size(), 3u) << good.output;
    const std::string awkwardOut = "say \"hi\" \\ there\\n\xC3\xA9t\xC3\xA9";
    EXPECT_EQ(lines[0].rfind("checked|" + awkwardOut + ".mp4|" + awkwardOut + ".mp4|", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("checked|clip (1).mp4|clip.mp4|", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2].rfind("checked|clip (2).mp4|clip.webm|", 0), 0u) << lines[2];

    CommandResult damaged = Batch(out, {MediaPath("truncated.mp4"), in + "/clip.mp4"});
    EXPECT_EQ(damaged.exitCode, 1) << damaged.output;
    lines = ParsedLines(damaged.output);
    ASSERT_EQ(lines.size(), 2u) << damaged.output;
    EXPECT_EQ(lines[0].rfind("failed|", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].substr(lines[0].rfind('|') + 1), "") << "the reason";
    EXPECT_EQ(lines[1].rfind("checked|clip (3).mp4|", 0), 0u) << lines[1];
}
