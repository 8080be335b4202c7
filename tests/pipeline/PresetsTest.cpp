// Output names, built-in presets applied to a source, and the user's
// presets file: written whole, read back the same, and a damaged one
// reported with the presets it still holds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "pipeline/OutputNames.h"
#include "pipeline/Presets.h"
#include "support/MediaProbe.h"
#include "support/TestMedia.h"

using namespace testsupport;

namespace {

// A 1920x1080 25 fps source with 48 kHz stereo sound.
const tSourceDescription source = {1920, 1080, 1.0, 25, 1, 25.0, true, 48000, 2};

}  // namespace

// Every output is found again by its two names, and offers its own sound
// first and a copy of the source's last.
TEST(OutputNames, EveryOutputIsFoundByItsNamesAndOffersItsOwnSoundFirst)
{
    for (int i = 0; i < OUTPUT_CODEC_COUNT; ++i) {
        auto codec = enumOutputCodec(i);
        SCOPED_TRACE(OutputFormat(codec).label);
        EXPECT_EQ(OutputByNames(ContainerName(codec), VideoName(codec)), codec);
        std::vector<tSoundChoice> sound = SoundChoices(OutputFormat(codec));
        EXPECT_EQ(sound.front().codec, SC_OUTPUT);
        EXPECT_EQ(sound.back().codec, SC_COPY);
    }
    EXPECT_EQ(OutputByNames("webm", ""), OC_WEBM_VP9);
    EXPECT_EQ(OutputByNames("webm", "h264"), std::nullopt);
    EXPECT_EQ(&SoundLimitsFor(OutputFormat(OC_MKV_H264), SC_OPUS), &OutputFormat(OC_WEBM_VP9).sound);
}

// Each built-in preset gives its output at most its lines high, in the
// source's shape, and its choices; a record's own choices become a preset
// that gives the record again.
TEST(Presets, BuiltInPresetsFitTheSourceToTheirOutputAndARecordRoundTrips)
{
    for (const tPreset& preset : BuiltInPresets()) {
        SCOPED_TRACE(preset.name);
        EXPECT_EQ(FindPreset({}, preset.name), &preset);
        tCodecParams p = ApplyPreset(preset, source);
        EXPECT_EQ(std::make_tuple(p.eCodec, p.eVideoRate, p.bAudioEnabled), std::make_tuple(preset.codec, preset.rate, true));
        EXPECT_LE(p.iHeight, preset.maxLines ? preset.maxLines : 1080);
        if (preset.codec != OC_3GP) {  // 3GP's sizes are fixed
            EXPECT_NEAR(double(p.iWidth) / p.iHeight, 16.0 / 9, 0.02) << p.iWidth << "x" << p.iHeight;
        }
        if (!preset.speed.empty()) {
            ASSERT_GE(p.iSpeed, 0);
            EXPECT_EQ(OutputFormat(p.eCodec).encoder.speeds[p.iSpeed], preset.speed);
        }
        tCodecParams again = ApplyPreset(PresetFromRecord("mine", p), source);
        EXPECT_EQ(std::make_tuple(again.eCodec, again.eVideoRate, again.iQuality, again.iVideoBitrate, again.iTargetKB,
                                  again.iSpeed, again.iWidth, again.iHeight, again.eSoundCodec, again.iAudioBitrate),
                  std::make_tuple(p.eCodec, p.eVideoRate, p.iQuality, p.iVideoBitrate, p.iTargetKB, p.iSpeed,
                                  p.iWidth, p.iHeight, p.eSoundCodec, p.iAudioBitrate));
    }
    EXPECT_EQ(FindPreset({}, "No such preset"), nullptr);
}

// A damaged block is left out and its first fault named by its line; the
// whole blocks around it still serve.
TEST(Presets, ADamagedFileIsReportedWithTheLineAndItsWholePresetsKept)
{
    const std::string good = "[Good]\nformat=mkv\nvideo=vp9\naudio=opus\n";
    const struct { std::string text; const char* problem; size_t kept; } cases[] = {
        {good + "[Bad]\nquality=fine\n", "line 6: bad value \"fine\" for quality", 1},
        {good + "[Bad]\ncolour=blue\n", "line 6: unknown key \"colour\"", 1},
        {"[Bad]\nformat=webm\nvideo=h264\n" + good, "line 1: no output is webm with h264", 1},
        {"[Bad]\nformat=mp4\naudio=opus\n" + good, "line 1: the output does not take opus sound", 1},
        {"format=mp4\n" + good, "line 1: \"format=mp4\" is neither [a name] nor key=value", 1},
        {good + "\n# a note\n\n[Also]\nlines=720\n", "", 2},
        {std::string("\0\xff[\n", 4), "line 1: \"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        tPresetsRead read = ParsePresets(c.text);
        EXPECT_EQ(read.problem.substr(0, std::string(c.problem).size()), c.problem);
        EXPECT_EQ(read.problem.empty(), std::string(c.problem).empty());
        ASSERT_EQ(read.presets.size(), c.kept);
        if (c.kept) {
            EXPECT_EQ(read.presets[0].codec, OC_MKV_VP9);
            EXPECT_EQ(read.presets[0].soundCodec, SC_OPUS);
        }
    }
}

// Saving adds a preset or replaces the one of its name, the file is read
// back the same, and a damaged file is kept aside rather than lost.
TEST(Presets, SavingWritesTheWholeFileAndKeepsADamagedOneAside)
{
    std::string folder = OutputPath("presets_config");
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    std::string path = UserPresetsPath();
    EXPECT_EQ(path, folder + "/tellavox/presets");
    EXPECT_TRUE(ReadPresets(path).presets.empty());

    tPreset mine = BuiltInPresets()[3];
    mine.name = "Mine";
    SaveUserPreset(path, mine);
    mine.quality = 18;
    SaveUserPreset(path, mine);
    tPreset other = BuiltInPresets()[6];
    other.name = "Other";
    SaveUserPreset(path, other);
    tPresetsRead read = ReadPresets(path);
    EXPECT_EQ(read.problem, "");
    EXPECT_EQ(PresetsText(read.presets), PresetsText({mine, other}));

    std::string damaged = ReadFile(path) + "[Broken]\nrate=fast\n";
    std::ofstream(path) << damaged;
    SaveUserPreset(path, other);
    EXPECT_EQ(ReadFile(path + ".damaged"), damaged);
    EXPECT_EQ(PresetsText(ReadPresets(path).presets), PresetsText({mine, other}));
    tPreset twoLines;
    twoLines.name = "two\nlines";
    EXPECT_THROW(SaveUserPreset(path, twoLines), const char*);
    unsetenv("XDG_CONFIG_HOME");
}
