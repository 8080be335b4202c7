#include "pipeline/OutputNames.h"

#include <algorithm>

namespace {

struct tCodecName {
    AVCodecID id;
    const char* name;
    const char* label;
};

const tCodecName videoNames[] = {
    {AV_CODEC_ID_H264, "h264", "H.264"},         {AV_CODEC_ID_HEVC, "h265", "H.265"},
    {AV_CODEC_ID_AV1, "av1", "AV1"},             {AV_CODEC_ID_VP9, "vp9", "VP9"},
    {AV_CODEC_ID_MPEG4, "mpeg4", "MPEG-4 Part 2"}, {AV_CODEC_ID_H263, "h263", "H.263"},
    {AV_CODEC_ID_MPEG1VIDEO, "mpeg1", "MPEG-1"}, {AV_CODEC_ID_MPEG2VIDEO, "mpeg2", "MPEG-2"},
    {AV_CODEC_ID_FLV1, "flv1", "Sorenson H.263"},
};

const tCodecName soundNames[] = {
    {AV_CODEC_ID_AAC, "aac", "AAC"},  {AV_CODEC_ID_OPUS, "opus", "Opus"}, {AV_CODEC_ID_MP3, "mp3", "MP3"},
    {AV_CODEC_ID_MP2, "mp2", "MP2"},  {AV_CODEC_ID_AMR_NB, "amr", "AMR-NB"},
};

// Every codec of the output table is listed (the tests go through every
// row); the last entry stands for one that is not.
const tCodecName& NameOf(const tCodecName* begin, const tCodecName* end, AVCodecID id)
{
    return *std::find_if(begin, end - 1, [id](const tCodecName& n) { return n.id == id; });
}

const tCodecName& SoundName(AVCodecID id)
{
    return NameOf(std::begin(soundNames), std::end(soundNames), id);
}

AVCodecID SoundCodecId(enumSoundCodec codec)
{
    return codec == SC_OPUS ? AV_CODEC_ID_OPUS : AV_CODEC_ID_AAC;
}

template <class Name>
std::vector<std::string> Names(const Name& table)
{
    std::vector<std::string> names;
    for (const tCodecName& n : table)
        names.push_back(n.name);
    return names;
}

}  // namespace

std::string ContainerName(enumOutputCodec codec)
{
    return OutputFormat(codec).extension;
}

std::string VideoName(enumOutputCodec codec)
{
    return NameOf(std::begin(videoNames), std::end(videoNames), OutputFormat(codec).videoCodec).name;
}

std::optional<enumOutputCodec> OutputByNames(const std::string& container, const std::string& video)
{
    for (int i = 0; i < OUTPUT_CODEC_COUNT; ++i) {
        auto codec = enumOutputCodec(i);
        if (ContainerName(codec) == container && (video.empty() || VideoName(codec) == video))
            return codec;
    }
    return std::nullopt;
}

std::vector<std::string> ContainerNames()
{
    std::vector<std::string> names;
    for (int i = 0; i < OUTPUT_CODEC_COUNT; ++i) {
        std::string name = ContainerName(enumOutputCodec(i));
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

std::vector<std::string> VideoNames() { return Names(videoNames); }
std::vector<std::string> SoundNames() { return Names(soundNames); }

std::vector<tSoundChoice> SoundChoices(const tOutputFormat& format)
{
    const tCodecName& own = SoundName(format.audioCodec);
    std::vector<tSoundChoice> choices = {{SC_OUTPUT, own.name, own.label}};
    for (enumSoundCodec other : format.otherSound) {
        const tCodecName& name = SoundName(SoundCodecId(other));
        choices.push_back({other, name.name, name.label});
    }
    choices.push_back({SC_COPY, "copy", "Copy the source's sound"});
    return choices;
}

const tSoundLimits& SoundLimitsFor(const tOutputFormat& format, enumSoundCodec codec)
{
    if (codec != SC_OPUS && codec != SC_AAC)
        return format.sound;
    for (int i = 0; i < OUTPUT_CODEC_COUNT; ++i) {
        const tOutputFormat& row = OutputFormat(enumOutputCodec(i));
        if (row.audioCodec == SoundCodecId(codec))
            return row.sound;
    }
    return format.sound;
}
