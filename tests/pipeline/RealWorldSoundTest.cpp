// Sound and timing of the kinds of files people have, exported whole or in
// part and judged by decoding the output with the ffmpeg tool: each output
// channel's tones (Goertzel), the track taken, the picture count.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/ExportRecord.h"
#include "support/MediaProbe.h"
#include "support/TestMedia.h"

using namespace testsupport;

namespace {

// The decoded sound of the first audio stream, one list of samples a channel.
std::vector<std::vector<float>> DecodeChannels(const std::string& file)
{
    std::vector<std::vector<float>> out;
    for (auto& stream : ProbeStreams(file))
        if (stream["codec_type"] == "audio" && out.empty()) out.resize(std::atoi(stream["channels"].c_str()));
    std::string raw = RunCommand("ffmpeg -nostdin -v error -i " + Quote(file) + " -map 0:a:0 -f f32le -").output;
    std::vector<float> all(raw.size() / sizeof(float));
    std::memcpy(all.data(), raw.data(), all.size() * sizeof(float));
    for (size_t i = 0; !out.empty() && i < all.size(); ++i)
        out[i % out.size()].push_back(all[i]);
    return out;
}

// The amplitude of the tone `frequency` in a second of `samples` after the
// first half second (past the encoders' start).
double ToneAmplitude(const std::vector<float>& samples, double frequency, int rate)
{
    size_t first = rate / 2, count = rate;
    if (samples.size() < first + count) return -1.0;
    double coefficient = 2.0 * std::cos(2.0 * M_PI * frequency / rate);
    double previous = 0.0, older = 0.0;
    for (size_t i = first; i < first + count; ++i) {
        double value = samples[i] + coefficient * previous - older;
        older = previous;
        previous = value;
    }
    double power = previous * previous + older * older - coefficient * previous * older;
    return 2.0 * std::sqrt(std::max(0.0, power)) / count;
}

}  // namespace

// Each output channel carries the expected mix of the source's channels,
// from the track asked for or the input's default.
TEST(RealWorldSound, EachOutputChannelCarriesItsShareOfTheSourceChannels)
{
    const struct {
        const char* file;
        int channels;    // asked of the output
        int audioTrack;  // 0: the input's default
        // Per output channel, the relative level of each tone: 1 loud,
        // 0.707 about -3 dB of it, 0 absent.
        std::map<double, std::vector<double>> levels;
    } cases[] = {
        // Centre and surrounds at -3 dB into both sides, the LFE left out.
        {"tones_51.mp4", 2, 0,
         {{500, {1, 0}}, {700, {0, 1}}, {1100, {0.707, 0.707}}, {100, {0, 0}}, {1300, {0.707, 0}}, {1700, {0, 0.707}}}},
        {"tones_51.mp4", 6, 0,
         {{500, {1, 0, 0, 0, 0, 0}}, {700, {0, 1, 0, 0, 0, 0}}, {1100, {0, 0, 1, 0, 0, 0}},
          {100, {0, 0, 0, 1, 0, 0}}, {1300, {0, 0, 0, 0, 1, 0}}, {1700, {0, 0, 0, 0, 0, 1}}}},
        {"mono.mp4", 2, 0, {{440, {1, 1}}}},
        {"second_default.mkv", 2, 0, {{880, {1, 1}}, {440, {0, 0}}}},
        {"second_default.mkv", 2, 1, {{440, {1, 1}}, {880, {0, 0}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " track " + std::to_string(c.audioTrack) + " to " + std::to_string(c.channels));
        std::string out = OutputPath("sound.mp4");
        tCodecParams params = RecordFor(MediaPath(c.file));
        params.iAudioChannels = c.channels;
        params.iAudioSampleRate = 48000;
        params.iAudioBitrate = 384000;
        params.iAudioTrack = c.audioTrack;
        ASSERT_GE(RunExport(MediaPath(c.file), out, params), 0);

        auto channels = DecodeChannels(out);
        ASSERT_EQ(channels.size(), c.levels.begin()->second.size());
        // Level 1 is that of the loudest tone anywhere.
        double full = 0.0;
        for (auto& [frequency, expected] : c.levels)
            for (auto& channel : channels)
                full = std::max(full, ToneAmplitude(channel, frequency, 48000));
        ASSERT_GT(full, 0.02);
        for (auto& [frequency, expected] : c.levels)
            for (size_t ch = 0; ch < channels.size(); ++ch)
                EXPECT_NEAR(ToneAmplitude(channels[ch], frequency, 48000) / full, expected[ch],
                            expected[ch] > 0 ? 0.12 : 0.05)
                    << frequency << " Hz in output channel " << ch;
    }
}

// Broadcasts whose clock starts at 10 hours or wraps, variable-rate sources:
// a range or the whole file gives round(length x rate) pictures, the sound's
// length.
TEST(RealWorldTiming, ARangeOrTheWholeFileGivesRoundLengthTimesRatePictures)
{
    const struct { const char* file; double start, end; /* 0: the whole file */ } cases[] = {
        {"clock_36000.ts", 1.3, 4.7}, {"clock_95440.ts", 1.3, 4.7}, {"vfr.mkv", 0, 0}, {"vfr.ts", 0, 0},
        {"vfr.flv", 0, 0}, {"vfr.mp4", 0, 0}, {"vfr.mkv", 0.5, 2.71}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " from " + std::to_string(c.start));
        std::string in = MediaPath(c.file), out = OutputPath("timing.mp4");
        tCodecParams params = RecordFor(in);
        if (std::string(c.file).rfind("vfr", 0) == 0) {
            EXPECT_EQ(params.iFps, 30) << "the source's own rate, not its average";
        }
        long long read = RunExport(in, out, params, c.start, c.end);
        ASSERT_GE(read, 0);
        double length = 0.0;  // the sound's, as the file tells it (without the encoder's padding)
        for (auto& stream : ProbeStreams(out))
            if (stream["codec_type"] == "audio") length = std::atof(stream["duration"].c_str());
        if (c.end > 0) {
            EXPECT_NEAR(length, c.end - c.start, 1e-3);
            EXPECT_GT(double(read), (c.end - c.start) * 20) << "the range's own pictures, not one repeated";
        }
        EXPECT_EQ(CountVideoFrames(out), std::lround(length * params.iFps)) << length;
    }
}
