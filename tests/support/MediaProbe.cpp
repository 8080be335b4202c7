#include "support/MediaProbe.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "support/TestMedia.h"

namespace testsupport {

CommandResult RunCommand(const std::string& command)
{
    CommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 65536> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), n);
    int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string Quote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string MakeMedia(const std::string& name, const std::string& arguments)
{
    std::string path = OutputPath(name);
    CommandResult made = RunCommand("ffmpeg -nostdin -v error -y " + arguments + " " + Quote(path) + " 2>&1");
    EXPECT_EQ(made.exitCode, 0) << made.output;
    return path;
}

std::string ReadFile(const std::string& path)
{
    return RunCommand("cat " + Quote(path) + " 2>/dev/null").output;
}

std::pair<unsigned long, std::string> FileIdentity(const std::string& path)
{
    struct stat info = {};
    stat(path.c_str(), &info);
    return {info.st_ino, ReadFile(path)};
}

// What ffprobe -show_WHAT prints: each `section` as a key=value map.
static std::vector<Fields> Probe(const std::string& file, const std::string& what, const std::string& section)
{
    std::istringstream in(RunCommand("ffprobe -v error -show_" + what + " " + Quote(file)).output);
    std::vector<Fields> sections;
    for (std::string line; std::getline(in, line);) {
        auto eq = line.find('=');
        if (line == section)
            sections.emplace_back();
        else if (!sections.empty() && eq != std::string::npos)
            sections.back()[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return sections;
}

std::vector<Fields> ProbeStreams(const std::string& file)
{
    return Probe(file, "streams", "[STREAM]");
}

Fields ProbeFormat(const std::string& file)
{
    auto sections = Probe(file, "format", "[FORMAT]");
    return sections.empty() ? Fields() : sections.front();
}

std::string DecodeErrors(const std::string& file)
{
    return RunCommand("ffmpeg -nostdin -v error -i " + Quote(file) + " -f null - 2>&1").output;
}

int CountVideoFrames(const std::string& file)
{
    auto r = RunCommand("ffprobe -v error -count_frames -select_streams v:0 "
                        "-show_entries stream=nb_read_frames -of csv=p=0 " + Quote(file));
    return r.output.empty() ? -1 : std::atoi(r.output.c_str());
}

double PacketSpan(const std::string& file, const std::string& stream)
{
    auto r = RunCommand("ffprobe -v error -select_streams " + stream +
                        " -show_entries packet=pts_time,dts_time,duration_time -of csv=p=0 " + Quote(file));
    std::istringstream in(r.output);
    double first = 1e300, end = -1e300;
    for (std::string line; std::getline(in, line);) {
        // pts,dts,duration; a packet without pts is placed by its dts.
        std::istringstream fields(line);
        std::string pts, dts, duration;
        std::getline(std::getline(std::getline(fields, pts, ','), dts, ','), duration, ',');
        const std::string& time = pts != "N/A" ? pts : dts;
        if (time == "N/A" || time.empty())
            continue;
        first = std::min(first, std::atof(time.c_str()));
        end = std::max(end, std::atof(time.c_str()) + std::atof(duration.c_str()));  // "N/A" reads as 0
    }
    return end >= first ? end - first : 0.0;
}

double DecodedAudioSeconds(const std::string& file)
{
    for (auto& s : ProbeStreams(file))
        if (s["codec_type"] == "audio")
            return std::atof(RunCommand("ffmpeg -nostdin -v error -i " + Quote(file) +
                                        " -map 0:a:0 -ac 1 -f s16le - | wc -c").output.c_str()) /
                   2 / std::atof(s["sample_rate"].c_str());
    return 0.0;
}

// The pictures the ffmpeg tool writes as packed RGB24 for `arguments`, at
// the first video stream's size.
static std::vector<Picture> RawPictures(const std::string& file, const std::string& arguments)
{
    Picture shape;
    for (auto& s : ProbeStreams(file))
        if (s["codec_type"] == "video" && !shape.width) {
            shape.width = std::atoi(s["width"].c_str());
            shape.height = std::atoi(s["height"].c_str());
        }
    std::vector<Picture> pictures;
    const size_t size = size_t(shape.width) * shape.height * 3;
    std::string raw = RunCommand("ffmpeg -nostdin -v error -i " + Quote(file) + arguments +
                                 " -f rawvideo -pix_fmt rgb24 -").output;
    for (size_t at = 0; size && at + size <= raw.size(); at += size) {
        shape.rgb.assign(raw.begin() + at, raw.begin() + at + size);
        pictures.push_back(shape);
    }
    return pictures;
}

Picture DecodePicture(const std::string& file, double seconds)
{
    auto pictures = RawPictures(file, " -ss " + std::to_string(seconds) + " -frames:v 1");
    return pictures.empty() ? Picture() : pictures[0];
}

std::vector<Picture> DecodeAllPictures(const std::string& file, int maxPictures)
{
    return RawPictures(file, " -map 0:v:0 -fps_mode passthrough" +
                                 (maxPictures > 0 ? " -frames:v " + std::to_string(maxPictures) : std::string()));
}

}  // namespace testsupport
