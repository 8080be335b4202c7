#include "support/MediaProbe.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <sys/wait.h>

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

static std::vector<Fields> ParseSections(const std::string& text, const std::string& section)
{
    std::vector<Fields> sections;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line == "[" + section + "]") {
            sections.emplace_back();
            continue;
        }
        auto eq = line.find('=');
        if (!sections.empty() && eq != std::string::npos)
            sections.back()[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return sections;
}

std::vector<Fields> ProbeStreams(const std::string& file)
{
    auto r = RunCommand("ffprobe -v error -show_streams " + Quote(file));
    return ParseSections(r.output, "STREAM");
}

Fields ProbeFormat(const std::string& file)
{
    auto r = RunCommand("ffprobe -v error -show_format " + Quote(file));
    auto sections = ParseSections(r.output, "FORMAT");
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
    std::string line;
    double first = 0, end = 0;
    bool any = false;
    while (std::getline(in, line)) {
        // pts,dts,duration; a packet without pts is placed by its dts.
        std::istringstream fields(line);
        std::string pts, dts, duration;
        std::getline(fields, pts, ',');
        std::getline(fields, dts, ',');
        std::getline(fields, duration, ',');
        const std::string& time = pts != "N/A" ? pts : dts;
        if (time == "N/A" || time.empty())
            continue;
        double start = std::atof(time.c_str());
        double stop = start + (duration == "N/A" ? 0.0 : std::atof(duration.c_str()));
        if (!any || start < first)
            first = start;
        if (!any || stop > end)
            end = stop;
        any = true;
    }
    return any ? end - first : 0.0;
}

double DecodedAudioSeconds(const std::string& file)
{
    for (auto& s : ProbeStreams(file)) {
        if (s["codec_type"] != "audio")
            continue;
        auto r = RunCommand("ffmpeg -nostdin -v error -i " + Quote(file) +
                            " -map 0:a:0 -ac 1 -f s16le - | wc -c");
        return std::atof(r.output.c_str()) / 2 / std::atof(s["sample_rate"].c_str());
    }
    return 0.0;
}

Picture DecodePicture(const std::string& file, double seconds)
{
    Picture picture;
    auto streams = ProbeStreams(file);
    for (auto& s : streams) {
        if (s["codec_type"] == "video") {
            picture.width = std::atoi(s["width"].c_str());
            picture.height = std::atoi(s["height"].c_str());
            break;
        }
    }
    auto r = RunCommand("ffmpeg -nostdin -v error -i " + Quote(file) + " -ss " +
                        std::to_string(seconds) +
                        " -frames:v 1 -f rawvideo -pix_fmt rgb24 -");
    picture.rgb.assign(r.output.begin(), r.output.end());
    if (picture.rgb.size() != size_t(picture.width) * picture.height * 3)
        picture = Picture();
    return picture;
}

}  // namespace testsupport
