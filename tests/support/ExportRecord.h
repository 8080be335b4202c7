#pragma once
// The record the main window makes for an input: its size, exact frame
// rate and sound, MP4 at 5 Mbit/s with a GOP of 5.
#include <cmath>
#include <string>

#include "media/CodecParams.h"
#include "media/InputStream.h"

namespace testsupport {

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

}  // namespace testsupport
