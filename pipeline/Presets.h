#pragma once
// Named presets: a few built in, and the user's own, kept in a plain text
// file. A preset fixes only some of a record's values; applied to a source,
// it starts from the source's proposal for its output, so the picture's
// shape and rate stay the source's.
//
// The file holds one block per preset:
//   [Name]
//   format=mkv
//   video=h265
//   rate=quality        (quality, bitrate or target-size)
//   quality=22
//   vbitrate=3000000
//   target-kb=25000
//   speed=slow
//   lines=1080          (the picture at most this many lines high)
//   keep-hdr=yes
//   copy-video=no
//   audio=aac           (the output's sound codec names, copy, or none)
//   abitrate=128000
// Lines starting with '#' and empty lines are skipped.
#include <string>
#include <vector>

#include "media/CodecParams.h"
#include "media/FormatRules.h"

struct tPreset {
    std::string name;
    enumOutputCodec codec = OC_MP4;
    enumVideoRate rate = VR_QUALITY;
    int quality = -1;       // -1: the output's default
    int videoBitrate = 0;   // bit/s; 0: the proposal's
    int targetKB = 0;       // kB of 1000 bytes
    std::string speed;      // one of the output's speeds; empty: its default
    int maxLines = 0;       // 0: the source's height, as proposed
    bool keepHdr = false;
    bool copyVideo = false;
    bool sound = true;      // false: no sound
    enumSoundCodec soundCodec = SC_OUTPUT;
    int audioBitrate = 0;   // bit/s; 0: the proposal's
};

// What a presets file held: the presets of its whole blocks, and the first
// fault found ("line 4: ..."), empty when there was none.
struct tPresetsRead {
    std::vector<tPreset> presets;
    std::string problem;
};

const std::vector<tPreset>& BuiltInPresets();
// The built-in presets, then the user's; null when no preset has the name.
const tPreset* FindPreset(const std::vector<tPreset>& user, const std::string& name);

// The source's proposal for the preset's output with the preset's values,
// normalised for the output.
tCodecParams ApplyPreset(const tPreset& preset, const tSourceDescription& source);
// A preset holding a record's choices; its height becomes the preset's most lines.
tPreset PresetFromRecord(const std::string& name, const tCodecParams& params);

std::string PresetsText(const std::vector<tPreset>& presets);
tPresetsRead ParsePresets(const std::string& text);

// $XDG_CONFIG_HOME/tellavox/presets, or ~/.config/tellavox/presets.
std::string UserPresetsPath();
// A file that does not exist holds no presets and no fault.
tPresetsRead ReadPresets(const std::string& path);
// Adds the preset, or replaces the user's preset of the same name, and
// writes the file whole under a temporary name first. A damaged file is
// kept beside it as "presets.damaged". Throws a constant message.
void SaveUserPreset(const std::string& path, const tPreset& preset);
