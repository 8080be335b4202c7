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

// The first picture of a file, as its decoder delivered it.
ffmpeg::FramePtr FirstPicture(const std::string& name)
{
    InputStream input(testsupport::MediaPath(name).c_str(), true, false);
    AVFrame* frame = nullptr;
    while (!frame && !input.IsVideoEnded()) frame = input.DecodeNextVideoFrame();
    return ffmpeg::FramePtr(frame);
}

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

TEST(AVFrameConverterTest, TurnsDecodedPicturesIntoRgb)
{
    // Red, green / blue, white quadrants, decoded as YUV 4:4:4.
    ffmpeg::FramePtr picture = FirstPicture("quadrants.mp4");
    ASSERT_TRUE(picture);
    AVFrameConverter converter({320, 240, picture->format, 320, 240, AV_PIX_FMT_RGB24});
    ASSERT_EQ(converter.outputBufferSize(), 320 * 240 * 3);

    ffmpeg::FramePtr rgb(converter.convert(picture.get()));
    ASSERT_TRUE(rgb);
    auto at = [&](int x, int y) { return rgb->data[0] + y * rgb->linesize[0] + x * 3; };
    EXPECT_TRUE(Near(at(80, 60), 255, 0, 0));
    EXPECT_TRUE(Near(at(240, 60), 0, 255, 0));
    EXPECT_TRUE(Near(at(80, 180), 0, 0, 255));
    EXPECT_TRUE(Near(at(240, 180), 255, 255, 255));

    // Into the caller's buffer, smaller: the frame describes that buffer.
    AVFrameConverter smaller({320, 240, picture->format, 160, 120, AV_PIX_FMT_RGB24});
    std::vector<char> buffer(smaller.outputBufferSize());
    ffmpeg::FramePtr described(smaller.convertTo(picture.get(), buffer.data(), int(buffer.size())));
    ASSERT_TRUE(described);
    EXPECT_EQ(described->data[0], reinterpret_cast<uint8_t*>(buffer.data()));
    EXPECT_TRUE(Near(reinterpret_cast<uint8_t*>(&buffer[(30 * 160 + 120) * 3]), 0, 255, 0));
}

TEST(AVFrameConverterTest, RefusesBuffersThatAreTooSmallAndWritesNothing)
{
    ConvertParams params{64, 48, AV_PIX_FMT_RGB24, 32, 24, AV_PIX_FMT_YUV420P};
    AVFrameConverter converter(params);
    const int dstSize = converter.outputBufferSize();
    ASSERT_EQ(dstSize, 32 * 24 * 3 / 2);
    std::vector<char> source(64 * 48 * 3, char(200));
    std::vector<char> dst(dstSize, 'x');

    EXPECT_EQ(converter.convert(source.data(), int(source.size()) - 1, dst.data(), dstSize), nullptr);
    EXPECT_EQ(converter.convert(source.data(), int(source.size()), dst.data(), dstSize - 1), nullptr);
    EXPECT_EQ(converter.convert(nullptr, int(source.size())), nullptr);
    EXPECT_EQ(std::count(dst.begin(), dst.end(), 'x'), dstSize);

    ffmpeg::FramePtr frame(converter.convert(source.data(), int(source.size()), dst.data(), dstSize));
    ASSERT_TRUE(frame);
    EXPECT_EQ(std::count(dst.begin(), dst.end(), 'x'), 0);

    // A picture smaller than the converter was made for is not read past its end.
    ffmpeg::FramePtr small(av_frame_alloc());
    small->width = 32;
    small->height = 24;
    small->format = AV_PIX_FMT_RGB24;
    ASSERT_EQ(av_frame_get_buffer(small.get(), 0), 0);
    EXPECT_FALSE(converter.convert(small.get(), dst.data(), dstSize));
    EXPECT_EQ(converter.convert(small.get()), nullptr);

    EXPECT_THROW(AVFrameConverter({0, 0, AV_PIX_FMT_YUV420P, 10, 10, AV_PIX_FMT_RGB24}), const char*);
}

TEST(AudioResamplerTest, StereoAt48kToMonoAt22k)
{
    AudioResampler resampler(2, 48000, 1, 22050);
    std::vector<short> input = ToneInFirstChannel(2, 48000, 2048);  // 8192 bytes
    short* first = resampler.Resample(input.data(), 8192);
    int firstSize = resampler.LastResampleBufferSize();
    EXPECT_NEAR(firstSize, 1880, 40);
    short* second = resampler.Resample(input.data(), 8192);
    EXPECT_EQ(first, second);  // one buffer, allocated once
    EXPECT_NEAR(firstSize + resampler.LastResampleBufferSize(), 2 * 1881, 40);
}

TEST(AudioResamplerTest, FiveOneDownToStereoAndMono)
{
    const int samples = 4800;
    std::vector<short> input = ToneInFirstChannel(6, 48000, samples);
    AudioResampler stereo(6, 48000, 2, 48000);
    short* out = stereo.Resample(input.data(), int(input.size() * 2));
    int produced = stereo.LastResampleBufferSize() / 4;
    EXPECT_NEAR(produced, samples, 32);
    // The front-left tone reaches the left channel only.
    int left = 0, right = 0;
    for (int i = 0; i < produced; ++i) {
        left = std::max(left, std::abs(int(out[2 * i])));
        right = std::max(right, std::abs(int(out[2 * i + 1])));
    }
    EXPECT_GT(left, 2000);
    EXPECT_EQ(right, 0);

    AudioResampler mono(6, 48000, 1, 44100);
    mono.Resample(input.data(), int(input.size() * 2));
    EXPECT_NEAR(mono.LastResampleBufferSize() / 2, samples * 44100 / 48000, 40);
}

TEST(AudioResamplerTest, NoOutputThrowsAndLeavesTheResamplerUsable)
{
    EXPECT_THROW(AudioResampler(0, 44100, 2, 44100), const char*);
    AudioResampler resampler(2, 44100, 1, 8000);
    short one[2] = {1, 1};
    try {
        resampler.Resample(one, 2);  // half a sample frame
        FAIL();
    } catch (const char* message) {
        EXPECT_STREQ(message, "Can't resample audio data.");
    }
    std::vector<short> input = ToneInFirstChannel(2, 44100, 4410);
    resampler.Resample(input.data(), int(input.size() * 2));
    EXPECT_NEAR(resampler.LastResampleBufferSize(), 800 * 2, 40);
}
