#pragma once
// The output families the settings dialog and the main window offer, each
// with the outputs its page lists; the first output is the family's default.
#include <vector>

#include <wx/string.h>

#include "media/CodecParams.h"

struct tFormatFamily {
    const char* name;
    std::vector<enumOutputCodec> codecs;
};

const std::vector<tFormatFamily>& FormatFamilies();
// The family listing `codec`; the MP4 family for a value outside them.
int FamilyOf(enumOutputCodec codec);
