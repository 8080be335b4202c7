#pragma once
// The read-back of an export in words, for the finished message and for
// tellavox-export. Texts are UTF-8.
#include <string>
#include <vector>

#include "pipeline/ExportCheck.h"

// "1500 pictures, 1:00.0, 640x360 MPEG-4, sound 44.1 kHz stereo — checked";
// without " — checked" when a comparison failed, and only what failed when
// the file does not open.
std::string ExportSummaryLine(const tExportCheck& check);

// One plain sentence per failed comparison, such as
// "the sound ends 0.4 s before the picture".
std::vector<std::string> ExportWarnings(const tExportCheck& check);

// The summary line, then each warning on a line of its own.
std::string ExportReportText(const tExportCheck& check);
