#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "media/AVFrameConverter.h"
#include "media/AudioResampler.h"
#include "media/InputStream.h"
#include "support/TestMedia.h"

namespace {

bool Near(const uint8_t* pixel, int r, int g, int b)
{
    return std::abs(pixel[0] - r) < 8 && std::abs(pixel[1] - g) < 8 && std::abs(pixel[2] - b) < 8;
}

// Interleaved 16-bit samples: a tone in channel 0, silence elsewhere.
std::vector<short> ToneInFirstChannel(int channels, int rate, int samples)
{
    std::vector<short> data(size_t(channels) * samples, 0);
    for (int i = 0; i < samples; ++i)
        data[size_t(i) * channels] = short(10000 * std::sin(2 * M_PI * 440.0 * i / rate));
    return data;
}

}  // namespace

// Decoded pictures become RGB at any size; a picture of another size or
// format than the converter was made for is refused, not read past its end.
TEST(AVFrameConverterTest, TurnsDecodedPicturesIntoRgbAndRefusesOtherShapes)
{
    // Red, green / blue, white quadrants, decoded as YUV 4:4:4.
    InputStream input(testsupport::MediaPath("quadrants.mp4").c_str(), true, false);
    ffmpeg::FramePtr picture;
    while (!picture && !input.IsVideoEnded()) picture.reset(input.DecodeNextVideoFrame());
    ASSERT_TRUE(picture);
    EXPECT_THROW(AVFrameConverter({0, 0, AV_PIX_FMT_YUV420P, 10, 10, AV_PIX_FMT_RGB24}), const char*);
    for (int scale : {1, 2}) {
        AVFrameConverter converter({320, 240, picture->format, 320 / scale, 240 / scale, AV_PIX_FMT_RGB24});
        ffmpeg::FramePtr rgb = converter.Convert(*picture);
        ASSERT_TRUE(rgb);
        auto at = [&](int x, int y) { return rgb->data[0] + y / scale * rgb->linesize[0] + x / scale * 3; };
        EXPECT_TRUE(Near(at(80, 60), 255, 0, 0));
        EXPECT_TRUE(Near(at(240, 60), 0, 255, 0));
        EXPECT_TRUE(Near(at(80, 180), 0, 0, 255));
        EXPECT_TRUE(Near(at(240, 180), 255, 255, 255));
    }
    AVFrameConverter larger({640, 480, picture->format, 320, 240, AV_PIX_FMT_RGB24});
    AVFrameConverter otherFormat({320, 240, AV_PIX_FMT_RGB24, 320, 240, AV_PIX_FMT_YUV420P});
    EXPECT_FALSE(larger.Convert(*picture));
    EXPECT_FALSE(otherFormat.Convert(*picture));
}

TEST(AudioResamplerTest, ResamplesIntoOneBufferAndMixesFiveOneDown)
{
    EXPECT_THROW(AudioResampler(0, 44100, 2, 44100), const char*);
    // Input that gives no output throws and leaves the resampler usable:
    // 48 kHz stereo to 22.05 kHz mono, 2048 sample frames make about 940.
    AudioResampler toMono(2, 48000, 1, 22050);
    short one[2] = {1, 1};
    try {
        toMono.Resample(one, 2);  // half a sample frame
        FAIL();
    } catch (const char* message) {
        EXPECT_STREQ(message, "Can't resample audio data.");
    }
    std::vector<short> stereo = ToneInFirstChannel(2, 48000, 2048);  // 8192 bytes
    short* first = toMono.Resample(stereo.data(), 8192);
    int firstSize = toMono.LastResampleBufferSize();
    EXPECT_NEAR(firstSize, 1880, 40);
    EXPECT_EQ(toMono.Resample(stereo.data(), 8192), first);  // one buffer, allocated once
    EXPECT_NEAR(firstSize + toMono.LastResampleBufferSize(), 2 * 1881, 40);

    // 5.1 to stereo: the front-left tone reaches the left channel only.
    std::vector<short> surround = ToneInFirstChannel(6, 48000, 4800);
    AudioResampler toStereo(6, 48000, 2, 48000);
    short* out = toStereo.Resample(surround.data(), int(surround.size() * 2));
    const int produced = toStereo.LastResampleBufferSize() / 4;
    EXPECT_NEAR(produced, 4800, 32);
    int left = 0, right = 0;
    for (int i = 0; i < produced; ++i) {
        left = std::max(left, std::abs(int(out[2 * i])));
        right = std::max(right, std::abs(int(out[2 * i + 1])));
    }
    EXPECT_GT(left, 2000);
    EXPECT_EQ(right, 0);
    // 5.1 at 48 kHz to mono at 44.1 kHz.
    AudioResampler fiveOneToMono(6, 48000, 1, 44100);
    fiveOneToMono.Resample(surround.data(), int(surround.size() * 2));
    EXPECT_NEAR(fiveOneToMono.LastResampleBufferSize() / 2, 4410, 40);
}
