#include "pipeline/Presets.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "pipeline/OutputNames.h"

namespace {

const char* const rateNames[] = {"bitrate", "quality", "target-size"};

// A whole number, all of the text, within 0..max.
bool ParseNumber(const std::string& text, int max, int& value)
{
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    long long number = std::atoll(text.c_str());
    if (number > max)
        return false;
    value = int(number);
    return true;
}

bool ParseYesNo(const std::string& text, bool& value)
{
    if (text != "yes" && text != "no")
        return false;
    value = text == "yes";
    return true;
}

bool ParseRate(const std::string& text, enumVideoRate& rate)
{
    for (int i = 0; i < 3; ++i) {
        if (text == rateNames[i]) {
            rate = enumVideoRate(i);
            return true;
        }
    }
    return false;
}

// A preset's block as read, before its output is known.
struct tBlock {
    tPreset preset;
    std::string format = "mp4", video, audio;
};

// Sets one key of a block; the fault's words, or empty.
std::string SetKey(tBlock& b, const std::string& key, const std::string& value)
{
    tPreset& p = b.preset;
    const int most = 2000000000;
    bool good = true;
    if (key == "format") b.format = value;
    else if (key == "video") b.video = value;
    else if (key == "audio") b.audio = value;
    else if (key == "rate") good = ParseRate(value, p.rate);
    else if (key == "quality") good = ParseNumber(value, 1000, p.quality);
    else if (key == "vbitrate") good = ParseNumber(value, most, p.videoBitrate);
    else if (key == "target-kb") good = ParseNumber(value, most, p.targetKB);
    else if (key == "speed") p.speed = value;
    else if (key == "lines") good = ParseNumber(value, 100000, p.maxLines);
    else if (key == "keep-hdr") good = ParseYesNo(value, p.keepHdr);
    else if (key == "copy-video") good = ParseYesNo(value, p.copyVideo);
    else if (key == "abitrate") good = ParseNumber(value, most, p.audioBitrate);
    else return "unknown key \"" + key + "\"";
    return good ? "" : "bad value \"" + value + "\" for " + key;
}

// The block's output and sound from their names; the fault's words, or empty.
std::string Finish(tBlock& b)
{
    std::optional<enumOutputCodec> codec = OutputByNames(b.format, b.video);
    if (!codec)
        return "no output is " + b.format + " with " + (b.video.empty() ? "its video" : b.video);
    b.preset.codec = *codec;
    if (b.audio.empty())
        return "";
    if (b.audio == "none") {
        b.preset.sound = false;
        return "";
    }
    for (const tSoundChoice& choice : SoundChoices(OutputFormat(*codec))) {
        if (choice.name == b.audio) {
            b.preset.soundCodec = choice.codec;
            return "";
        }
    }
    return "the output does not take " + b.audio + " sound";
}

std::string SoundName(const tPreset& p)
{
    if (!p.sound)
        return "none";
    for (const tSoundChoice& choice : SoundChoices(OutputFormat(p.codec))) {
        if (choice.codec == p.soundCodec)
            return choice.name;
    }
    return SoundChoices(OutputFormat(p.codec)).front().name;
}

std::string Trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r");
    size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// The picture at most `lines` high, its shape kept; the output's rules
// then move the size to one it takes.
void LimitLines(tCodecParams& p, int lines)
{
    if (lines <= 0 || p.iHeight <= lines)
        return;
    p.iWidth = int(std::lround(double(p.iWidth) * lines / p.iHeight));
    p.iHeight = lines;
}

int SpeedIndex(const tEncoderChoices& encoder, const std::string& speed)
{
    auto found = std::find(encoder.speeds.begin(), encoder.speeds.end(), speed);
    return found == encoder.speeds.end() ? -1 : int(found - encoder.speeds.begin());
}

void WriteWhole(const std::string& path, const std::string& text)
{
    std::string folder = path.substr(0, path.rfind('/'));
    for (size_t slash = folder.find('/', 1); ; slash = folder.find('/', slash + 1)) {
        mkdir(folder.substr(0, slash).c_str(), 0700);
        if (slash == std::string::npos)
            break;
    }
    std::string temporary = path + ".XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0)
        throw "Can't save the presets.";
    bool written = write(fd, text.data(), text.size()) == ssize_t(text.size()) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        throw "Can't save the presets.";
    }
}

}  // namespace

const std::vector<tPreset>& BuiltInPresets()
{
    // name, output, rate, quality, video bit rate, target, speed, lines,
    // keep HDR, copy video, sound, sound codec, sound bit rate
    static const std::vector<tPreset> presets = {
        {"Web and phones 1080p (H.264)", OC_MP4, VR_QUALITY, 23, 0, 0, "medium", 1080, false, false, true,
         SC_OUTPUT, 128000},
        {"Small 720p (H.264)", OC_MP4, VR_QUALITY, 28, 0, 0, "faster", 720, false, false, true, SC_OUTPUT, 96000},
        {"Fits in 25 MB", OC_MP4, VR_TARGET_SIZE, -1, 0, 25000, "medium", 720, false, false, true, SC_OUTPUT,
         96000},
        {"Archive (H.265 10-bit)", OC_MKV_H265, VR_QUALITY, 20, 0, 0, "slow", 0, true, false, true, SC_OUTPUT,
         256000},
        {"Older players (MPEG-4 Part 2)", OC_MP4_PART2, VR_BITRATE, -1, 2500000, 0, "", 720, false, false, true,
         SC_OUTPUT, 128000},
        {"DVD (MPEG-2)", OC_VOB, VR_BITRATE, -1, 5000000, 0, "", 576, false, false, true, SC_OUTPUT, 192000},
        {"3GP phone", OC_3GP, VR_BITRATE, -1, 384000, 0, "", 144, false, false, true, SC_OUTPUT, 12200},
    };
    return presets;
}

const tPreset* FindPreset(const std::vector<tPreset>& user, const std::string& name)
{
    for (const std::vector<tPreset>* list : {&BuiltInPresets(), &user}) {
        for (const tPreset& preset : *list) {
            if (preset.name == name)
                return &preset;
        }
    }
    return nullptr;
}

tCodecParams ApplyPreset(const tPreset& preset, const tSourceDescription& source)
{
    tCodecParams p = ProposeForSource(preset.codec, source);
    const tEncoderChoices& encoder = OutputFormat(preset.codec).encoder;
    p.eVideoRate = preset.rate;
    p.iQuality = preset.quality >= 0 ? preset.quality : encoder.defaultQuality;
    if (preset.videoBitrate > 0)
        p.iVideoBitrate = preset.videoBitrate;
    p.iTargetKB = preset.targetKB;
    p.iSpeed = SpeedIndex(encoder, preset.speed);
    LimitLines(p, preset.maxLines);
    p.bKeepHdr = preset.keepHdr;
    p.bCopyVideo = preset.copyVideo;
    p.bAudioEnabled = p.bAudioEnabled && preset.sound;
    p.eSoundCodec = preset.soundCodec;
    if (preset.audioBitrate > 0)
        p.iAudioBitrate = preset.audioBitrate;
    return NormaliseForFormat(p);
}

tPreset PresetFromRecord(const std::string& name, const tCodecParams& p)
{
    const tEncoderChoices& encoder = OutputFormat(p.eCodec).encoder;
    bool speed = p.iSpeed >= 0 && p.iSpeed < int(encoder.speeds.size());
    return {name,          p.eCodec,    p.eVideoRate, p.iQuality,      p.iVideoBitrate, p.iTargetKB,
            speed ? encoder.speeds[p.iSpeed] : "", p.iHeight, p.bKeepHdr, p.bCopyVideo, p.bAudioEnabled,
            p.eSoundCodec, p.iAudioBitrate};
}

std::string PresetsText(const std::vector<tPreset>& presets)
{
    std::ostringstream out;
    for (const tPreset& p : presets) {
        out << "[" << p.name << "]\nformat=" << ContainerName(p.codec) << "\nvideo=" << VideoName(p.codec)
            << "\nrate=" << rateNames[p.rate] << "\n";
        if (p.quality >= 0)
            out << "quality=" << p.quality << "\n";
        out << "vbitrate=" << p.videoBitrate << "\ntarget-kb=" << p.targetKB << "\n";
        if (!p.speed.empty())
            out << "speed=" << p.speed << "\n";
        out << "lines=" << p.maxLines << "\nkeep-hdr=" << (p.keepHdr ? "yes" : "no")
            << "\ncopy-video=" << (p.copyVideo ? "yes" : "no") << "\naudio=" << SoundName(p)
            << "\nabitrate=" << p.audioBitrate << "\n\n";
    }
    return out.str();
}

tPresetsRead ParsePresets(const std::string& text)
{
    tPresetsRead read;
    std::istringstream in(text);
    std::string line;
    std::vector<tBlock> blocks;
    int number = 0, faultLine = 0, blockLine = 0;
    std::string fault;  // of the open block
    auto report = [&read](int at, const std::string& words) {
        if (read.problem.empty())
            read.problem = "line " + std::to_string(at) + ": " + words;
    };
    auto close = [&] {
        if (blocks.empty())
            return;
        std::string words = fault.empty() ? Finish(blocks.back()) : fault;
        if (words.empty())
            read.presets.push_back(blocks.back().preset);
        else
            report(fault.empty() ? blockLine : faultLine, words);
        fault.clear();
    };
    while (std::getline(in, line)) {
        ++number;
        line = Trimmed(line);
        if (line.empty() || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']' && line.size() > 2) {
            close();
            blocks.emplace_back();
            blocks.back().preset.name = line.substr(1, line.size() - 2);
            blockLine = number;
            continue;
        }
        size_t equals = line.find('=');
        if (blocks.empty() || equals == std::string::npos) {
            report(number, "\"" + line + "\" is neither [a name] nor key=value");
            continue;
        }
        std::string words = SetKey(blocks.back(), Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1)));
        if (fault.empty() && !words.empty()) {
            fault = words;
            faultLine = number;
        }
    }
    close();
    return read;
}

std::string UserPresetsPath()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::string folder = config && config[0] == '/' ? config : std::string(home ? home : "") + "/.config";
    return folder + "/tellavox/presets";
}

tPresetsRead ReadPresets(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream text;
    text << in.rdbuf();
    return ParsePresets(text.str());
}

void SaveUserPreset(const std::string& path, const tPreset& preset)
{
    if (preset.name.empty() || preset.name.find_first_of("\r\n") != std::string::npos)
        throw "A preset needs a name of one line.";
    tPresetsRead read = ReadPresets(path);
    if (!read.problem.empty() && std::rename(path.c_str(), (path + ".damaged").c_str()) != 0)
        throw "Can't save the presets.";
    std::vector<tPreset>& presets = read.presets;
    auto same = [&preset](const tPreset& p) { return p.name == preset.name; };
    auto found = std::find_if(presets.begin(), presets.end(), same);
    if (found != presets.end())
        *found = preset;
    else
        presets.push_back(preset);
    WriteWhole(path, PresetsText(presets));
}
