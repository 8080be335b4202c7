#include "tools/ExportOptions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "pipeline/OutputNames.h"

const char* const exportUsage =
    "Usage: tellavox-export --in FILE --out FILE [options]\n"
    "       tellavox-export --out-dir FOLDER [options] FILE...\n"
    "       tellavox-export --list-presets\n"
    "Output:  --preset NAME  --format mp4|mov|mkv|webm|3gp|3g2|mpg|ts|vob|psp|swf|flv\n"
    "         --video h264|h265|av1|vp9|mpeg4|h263|mpeg1|mpeg2|flv1|copy  --codec N\n"
    "Video:   --quality Q | --vbitrate BPS | --target-size MB  --speed NAME  --keep-hdr\n"
    "         --size WxH  --fps N  --gop N  --keep-interlaced\n"
    "Sound:   --audio aac|opus|mp3|mp2|amr|copy  --abitrate BPS  --arate HZ  --channels N\n"
    "         --no-audio  --audio-track N\n"
    "Range:   --start S  --end S  --crop X,Y,W,H\n"
    "Run:     --dialog  --cancel-after S\n";

namespace {

enum enumValue { FLAG, WHOLE, NUMBER, SIZE, CROP, TEXT };

struct tOption {
    const char* name;
    enumValue value;
};

const tOption options[] = {
    {"in", TEXT},         {"out", TEXT},          {"preset", TEXT},         {"format", TEXT},
    {"video", TEXT},      {"codec", WHOLE},       {"quality", WHOLE},       {"vbitrate", WHOLE},
    {"target-size", NUMBER}, {"speed", TEXT},     {"keep-hdr", FLAG},       {"size", SIZE},
    {"fps", WHOLE},       {"gop", WHOLE},         {"keep-interlaced", FLAG}, {"audio", TEXT},
    {"abitrate", WHOLE},  {"arate", WHOLE},       {"channels", WHOLE},      {"no-audio", FLAG},
    {"audio-track", WHOLE}, {"start", NUMBER},    {"end", NUMBER},          {"crop", CROP},
    {"dialog", FLAG},     {"cancel-after", NUMBER}, {"list-presets", FLAG}, {"out-dir", TEXT},
};

[[noreturn]] void Refuse(const std::string& message, bool showUsage = false)
{
    throw tUsageError{message, showUsage};
}

// A whole number of at most nine digits, all of the text.
bool IsWhole(const std::string& text)
{
    return !text.empty() && text.size() <= 9 && text.find_first_not_of("0123456789") == std::string::npos;
}

bool Fits(const std::string& text, enumValue value)
{
    char tail = 0;
    int a, b, c, d;
    double number;
    switch (value) {
    case WHOLE: return IsWhole(text);
    case NUMBER:
        return std::sscanf(text.c_str(), "%lf%c", &number, &tail) == 1 && number >= 0 && number < 1e9;
    case SIZE: return std::sscanf(text.c_str(), "%5dx%5d%c", &a, &b, &tail) == 2;
    case CROP: return std::sscanf(text.c_str(), "%5d,%5d,%5d,%5d%c", &a, &b, &c, &d, &tail) == 4;
    default: return true;
    }
}

int Whole(const tExportOptions& o, const char* name, int fallback)
{
    return o.Has(name) ? std::atoi(o.values.at(name).c_str()) : fallback;
}

std::string Joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

std::string Describe(enumOutputCodec codec)
{
    return ContainerName(codec) + " with " + VideoName(codec) + " video";
}

// The output the options name: --codec, or --format and --video (each
// defaulting to the preset's or the default output's), or the preset's.
enumOutputCodec ChooseOutput(const tExportOptions& o, enumOutputCodec base)
{
    if (o.Has("codec")) {
        if (o.Has("format") || o.Has("video"))
            Refuse("Give either --codec or --format and --video.");
        int codec = Whole(o, "codec", OC_MP4);
        if (!IsOutputCodec(codec))
            Refuse("Unknown output codec.");
        return enumOutputCodec(codec);
    }
    if (!o.Has("format") && !o.Has("video"))
        return base;
    std::string container = o.Has("format") ? o.values.at("format") : ContainerName(base);
    std::vector<std::string> containers = ContainerNames();
    if (std::find(containers.begin(), containers.end(), container) == containers.end())
        Refuse("Unknown format \"" + container + "\"; the formats are " + Joined(containers) + ".");
    // A copied video keeps the output's (or the format's first) row.
    std::string video = o.Has("video") && o.values.at("video") != "copy" ? o.values.at("video") : "";
    if (video.empty() && ContainerName(base) == container)
        return base;
    std::optional<enumOutputCodec> codec = OutputByNames(container, video);
    if (codec)
        return *codec;
    std::vector<std::string> videos;
    for (int i = 0; i < OUTPUT_CODEC_COUNT; ++i) {
        if (ContainerName(enumOutputCodec(i)) == container)
            videos.push_back(VideoName(enumOutputCodec(i)));
    }
    Refuse("No output is " + container + " with " + video + " video; " + container + " takes " + Joined(videos) +
           " (or copy).");
}

// The one of --quality, --vbitrate and --target-size given.
void SetRate(const tExportOptions& o, tCodecParams& p)
{
    int given = o.Has("quality") + o.Has("vbitrate") + o.Has("target-size");
    if (given > 1)
        Refuse("Give only one of --quality, --vbitrate and --target-size.");
    const tOutputFormat& format = OutputFormat(p.eCodec);
    if (o.Has("quality")) {
        if (!format.encoder.quality)
            Refuse(Describe(p.eCodec) + " has no constant quality; give --vbitrate or --target-size.");
        p.eVideoRate = VR_QUALITY;
        p.iQuality = Whole(o, "quality", p.iQuality);
    } else if (o.Has("vbitrate")) {
        p.eVideoRate = VR_BITRATE;
        p.iVideoBitrate = Whole(o, "vbitrate", p.iVideoBitrate);
    } else if (o.Has("target-size")) {
        p.eVideoRate = VR_TARGET_SIZE;
        p.iTargetKB = int(std::min(std::atof(o.values.at("target-size").c_str()) * 1000, 2e9));
    }
}

void SetSpeed(const tExportOptions& o, tCodecParams& p)
{
    if (!o.Has("speed"))
        return;
    const std::vector<const char*>& speeds = OutputFormat(p.eCodec).encoder.speeds;
    const std::string& speed = o.values.at("speed");
    for (size_t i = 0; i < speeds.size(); ++i) {
        if (speed == speeds[i]) {
            p.iSpeed = int(i);
            return;
        }
    }
    if (speeds.empty())
        Refuse(Describe(p.eCodec) + " has no speed to choose.");
    Refuse("Unknown speed \"" + speed + "\" for " + Describe(p.eCodec) + "; its speeds, fastest first, are " +
           Joined(std::vector<std::string>(speeds.begin(), speeds.end())) + ".");
}

void SetSound(const tExportOptions& o, tCodecParams& p)
{
    if (o.Has("no-audio"))
        p.bAudioEnabled = false;
    p.iAudioBitrate = Whole(o, "abitrate", p.iAudioBitrate);
    p.iAudioSampleRate = Whole(o, "arate", p.iAudioSampleRate);
    p.iAudioChannels = Whole(o, "channels", p.iAudioChannels);  // 6: as the source, up to 5.1
    if (!o.Has("audio"))
        return;
    const std::string& name = o.values.at("audio");
    std::vector<std::string> names;
    for (const tSoundChoice& choice : SoundChoices(OutputFormat(p.eCodec))) {
        if (choice.name == name) {
            p.eSoundCodec = choice.codec;
            return;
        }
        names.push_back(choice.name);
    }
    Refuse(Describe(p.eCodec) + " does not take " + name + " sound; it takes " + Joined(names) + ".");
}

void SetPicture(const tExportOptions& o, tCodecParams& p)
{
    if (o.Has("size"))
        std::sscanf(o.values.at("size").c_str(), "%dx%d", &p.iWidth, &p.iHeight);
    if (o.Has("fps")) {
        p.iFps = Whole(o, "fps", p.iFps);
        p.iSourceFpsNum = p.iSourceFpsDen = 0;
    }
    p.iGopSize = Whole(o, "gop", p.iGopSize);
    p.bKeepInterlaced = o.Has("keep-interlaced");
    if (o.Has("keep-hdr"))
        p.bKeepHdr = true;
    if (o.Has("video") && o.values.at("video") == "copy")
        p.bCopyVideo = true;
}

}  // namespace

tExportOptions ParseExportOptions(const std::vector<std::string>& arguments)
{
    tExportOptions o;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.rfind("--", 0) != 0) {
            o.files.push_back(argument);
            continue;
        }
        auto option = std::find_if(std::begin(options), std::end(options), [&argument](const tOption& known) {
            return argument == std::string("--") + known.name;
        });
        if (option == std::end(options))
            Refuse("Unknown argument \"" + argument + "\".", true);
        std::string value = "yes";
        if (option->value != FLAG) {
            if (i + 1 == arguments.size())
                Refuse(argument + " needs a value.", true);
            value = arguments[++i];
            if (!Fits(value, option->value))
                Refuse("Bad value \"" + value + "\" for " + argument + ".", true);
        }
        o.values[option->name] = value;
    }
    o.listPresets = o.Has("list-presets");
    o.dialog = o.Has("dialog");
    bool batch = o.Has("out-dir");
    if (!o.listPresets && (batch ? o.files.empty() || o.Has("in") || o.Has("out")
                                 : !o.Has("in") || !o.Has("out") || !o.files.empty()))
        Refuse("Give --in FILE and --out FILE, or --out-dir FOLDER and the files.", true);
    o.outDir = batch ? o.values.at("out-dir") : "";
    o.input = o.Has("in") ? o.values.at("in") : "";
    o.output = o.Has("out") ? o.values.at("out") : "";
    o.start = o.Has("start") ? std::atof(o.values.at("start").c_str()) : 0;
    o.end = o.Has("end") ? std::atof(o.values.at("end").c_str()) : 0;
    o.cancelAfter = o.Has("cancel-after") ? std::atof(o.values.at("cancel-after").c_str()) : -1;
    if (o.Has("crop"))
        std::sscanf(o.values.at("crop").c_str(), "%d,%d,%d,%d", &o.crop[0], &o.crop[1], &o.crop[2], &o.crop[3]);
    o.audioTrack = Whole(o, "audio-track", 0);
    return o;
}

tCodecParams ExportRecord(const tExportOptions& o, const tSourceDescription& source,
                          const std::vector<tPreset>& userPresets)
{
    const tPreset* preset = nullptr;
    if (o.Has("preset") && !(preset = FindPreset(userPresets, o.values.at("preset"))))
        Refuse("No preset is named \"" + o.values.at("preset") + "\"; see --list-presets.");
    enumOutputCodec codec = ChooseOutput(o, preset ? preset->codec : OC_MP4);
    tPreset chosen = preset ? *preset : tPreset();
    chosen.codec = codec;
    tCodecParams p = preset ? ApplyPreset(chosen, source) : ProposeForSource(codec, source);
    SetPicture(o, p);
    SetRate(o, p);
    SetSpeed(o, p);
    SetSound(o, p);
    return NormaliseForFormat(p);
}
