#pragma once
// The record the main window makes for an input, and an export run
// through to its file.
#include <cmath>
#include <string>

#include "media/CodecParams.h"
#include "media/InputStream.h"
#include "pipeline/StreamEncoder.h"

namespace testsupport {

// The input's size, exact frame rate and sound, MP4 at 5 Mbit/s with a GOP of 5.
inline tCodecParams RecordFor(const std::string& file)
{
    InputStream input(file.c_str(), false, false);
    tInputStreamInfo info = input.GetInfo();
    tCodecParams p;
    p.eCodec = OC_MP4;
    p.iWidth = info.width;
    p.iHeight = info.height;
    p.iFps = int(std::lround(info.frameRate));
    p.iSourceFpsNum = info.frameRateNum;
    p.iSourceFpsDen = info.frameRateDen;
    p.iVideoBitrate = 5000000;
    p.iGopSize = 5;
    p.bAudioEnabled = input.IsAudioPresent();
    p.iAudioBitrate = 128000;
    p.iAudioSampleRate = info.sampleRate;
    p.iAudioChannels = info.channels;
    return p;
}

// Exports `in` from `start` to `end` (0: its end) and finishes the file;
// returns the pictures read from the input, or -1 when the export does not end.
inline long long RunExport(const std::string& in, const std::string& out, const tCodecParams& params,
                           double start = 0, double end = 0)
{
    StreamEncoder encoder(in.c_str(), out.c_str(), params, wxRect(), start, end);
    for (int steps = 0; !encoder.IsEnded(); ++steps) {
        if (steps > 200000)
            return -1;
        encoder.Encode();
    }
    encoder.Finish();
    return (long long)encoder.GetReadFrames();
}

}  // namespace testsupport
