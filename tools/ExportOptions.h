#pragma once
// tellavox-export's command line: the options read from the arguments, and
// the record they make for a source. The record starts from the source's
// proposal for the output (or the preset's record), takes the values given
// and is normalised as the settings window normalises it.
#include <map>
#include <string>
#include <vector>

#include "media/CodecParams.h"
#include "media/FormatRules.h"
#include "pipeline/Presets.h"

// Arguments the tool does not take, or choices the output does not offer;
// the tool prints the words and exits 2.
struct tUsageError {
    std::string message;
    bool showUsage;  // the usage text follows the words
};

struct tExportOptions {
    std::string input, output;
    std::string outDir;               // with --out-dir: many inputs, each named there
    std::vector<std::string> files;  // the inputs of --out-dir
    double start = 0, end = 0;
    double cancelAfter = -1;  // seconds; negative: not cancelled
    int crop[4] = {0, 0, 0, 0};  // x, y, width, height in stored pixels; no crop while width is 0
    int audioTrack = 0;
    bool dialog = false;
    bool listPresets = false;
    // The record's values as given, by option name ("quality", "no-audio").
    std::map<std::string, std::string> values;

    bool Has(const char* name) const { return values.count(name) != 0; }
};

extern const char* const exportUsage;

tExportOptions ParseExportOptions(const std::vector<std::string>& arguments);
tCodecParams ExportRecord(const tExportOptions& options, const tSourceDescription& source,
                          const std::vector<tPreset>& userPresets);
