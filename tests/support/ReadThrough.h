#pragma once
// Reads a whole input the way the program does: opens it, decodes every
// picture and all of the sound, and seeks back into the middle. Damaged
// files must end here in a thrown failure or a clean end, never in a crash
// or a loop without end. Returns false when a loop had to be cut short.
#include <cmath>

#include "media/InputStream.h"
#include "media/MediaError.h"

namespace testsupport {

inline bool DecodeAll(InputStream& input)
{
    const int maxSteps = 100000;
    int steps = 0;
    while (!input.IsVideoEnded() && ++steps < maxSteps)
        input.DecodeNextVideoFrame();
    while (!input.IsAudioEnded() && ++steps < maxSteps)
        input.DecodeNextAudioFrame();
    return steps < maxSteps;
}

inline bool ReadThrough(const char* path)
{
    try {
        InputStream input(path, false, false);
        if (!DecodeAll(input))
            return false;
        double middle = input.GetStartTime() + input.GetDuration() / 2;
        if (std::isfinite(middle) && input.SeekAccurate(middle))
            return DecodeAll(input);
    } catch (const char*) {
    } catch (const MediaError&) {
    }
    return true;
}

}  // namespace testsupport
