#pragma once
// Short names for the outputs, their video codecs and their sound codecs, as
// the command line and the presets file write them ("mkv", "h265", "opus"),
// and the words the settings window shows for the sound codecs. The names
// come from the output table: a container is its rows' file extension, a
// video codec its row's pinned codec, so an output added to the table is
// named here without a change.
#include <optional>
#include <string>
#include <vector>

#include "media/CodecParams.h"
#include "media/OutputFormats.h"

struct tSoundChoice {
    enumSoundCodec codec;
    std::string name;   // "aac", "opus", "copy"
    std::string label;  // "AAC", "Opus", "Copy the source's sound"
};

std::string ContainerName(enumOutputCodec codec);
std::string VideoName(enumOutputCodec codec);

// The output of a container and video codec, by their names; an empty video
// name gives the container's first output. None where no row has the pair.
std::optional<enumOutputCodec> OutputByNames(const std::string& container, const std::string& video);
std::vector<std::string> ContainerNames();
std::vector<std::string> VideoNames();

// The sound an output can write: its own codec first, then the others its
// container takes, then the source's sound copied.
std::vector<tSoundChoice> SoundChoices(const tOutputFormat& format);
std::vector<std::string> SoundNames();
// The sound limits of a record's sound codec: its output's own, or those of
// an output whose own sound is the codec chosen.
const tSoundLimits& SoundLimitsFor(const tOutputFormat& format, enumSoundCodec codec);
