#pragma once
// Compares a short stretch of an export's sound with the source's sound
// track at the same time, mixed to the export's channels the standard way
// (FFmpeg's resampler: centre and surrounds at -3 dB into both sides, the
// LFE left out, mono into both): each channel must carry its own share.
#include <string>
#include <vector>

#include "pipeline/ExportCheck.h"
#include "pipeline/FileDecoder.h"

class SoundJudge {
public:
    SoundJudge(const tExportSource& source, const char* outputName);

    bool IsOpen() const { return m_Source.IsOpen() && m_Output.IsOpen(); }
    // Compares `seconds` of sound from `time` seconds after `origin`, the
    // output's time of the range's start; fills the sound part of `content`.
    void Compare(double origin, double time, double seconds, tContentReadBack& content);
    // Whether the output's channels are the usual layout for `channels`.
    bool LayoutAsAsked(int channels) const;
    // "track 2 of 3 (eng, Commentary)" when the source has several sound
    // tracks; empty otherwise.
    std::string TrackName() const;

private:
    using Channels = std::vector<std::vector<float>>;
    Channels Collect(FileDecoder& file, double from, int samples, const AVChannelLayout& layout);

    FileDecoder m_Source;
    FileDecoder m_Output;
    double m_SourceOrigin;
};
