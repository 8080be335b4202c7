#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "media/AVFrameConverter.h"
#include "media/AudioResampler.h"
#include "media/InputStream.h"
#include "support/TestFrames.h"
#include "support/TestMedia.h"

namespace {

bool Near(const uint8_t* pixel, int r, int g, int b)
{
    return std::abs(pixel[0] - r) < 8 && std::abs(pixel[1] - g) < 8 && std::abs(pixel[2] - b) < 8;
}

}  // namespace

// Decoded pictures become RGB at any size; a picture of another size or
// format than the converter was made for is refused, not read past its end.
TEST(AVFrameConverterTest, TurnsDecodedPicturesIntoRgbAndRefusesOtherShapes)
{
    // Red, green / blue, white quadrants, decoded as YUV 4:4:4.
    InputStream input(testsupport::MediaPath("quadrants.mp4").c_str(), true, false);
    ffmpeg::FramePtr picture;
    while (!picture && !input.IsVideoEnded()) picture = input.DecodeNextVideoFrame();
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

TEST(AudioResamplerTest, MakesWholeEncoderFramesFromAnySoundAndCutsAtTheRoom)
{
    // AAC takes a shorter last frame; MP2 takes whole frames only.
    for (AVCodecID id : {AV_CODEC_ID_AAC, AV_CODEC_ID_MP2}) {
        const AVCodec* codec = avcodec_find_encoder(id);
        ffmpeg::CodecContextPtr encoder(avcodec_alloc_context3(codec));
        encoder->sample_rate = 44100;
        encoder->sample_fmt = codec->sample_fmts[0];
        av_channel_layout_default(&encoder->ch_layout, 2);
        ASSERT_GE(avcodec_open2(encoder.get(), codec, nullptr), 0);
        AudioResampler resampler(*encoder);
        // 0.1 s of 48 kHz 5.1 in packed 16 bits, a tone in the first channel:
        // 4410 samples at 44.1 kHz.
        ffmpeg::FramePtr surround = testsupport::NewSound(6, 48000, 4800);
        for (int i = 0; i < 4800; ++i)
            testsupport::Samples(*surround)[i * 6] = int16_t(10000 * std::sin(2 * M_PI * 440.0 * i / 48000));
        int64_t queued = resampler.Put(surround.get(), INT64_MAX) + resampler.Put(nullptr, INT64_MAX);
        EXPECT_NEAR(queued, 4410, 2) << codec->name;
        int64_t taken = 0;
        while (ffmpeg::FramePtr frame = resampler.Take(false)) {
            EXPECT_EQ(frame->nb_samples, encoder->frame_size);
            EXPECT_EQ(frame->format, encoder->sample_fmt);
            taken += frame->nb_samples;
        }
        ffmpeg::FramePtr last = resampler.Take(true);
        ASSERT_TRUE(last);
        EXPECT_EQ(last->nb_samples, id == AV_CODEC_ID_AAC ? queued - taken : encoder->frame_size);
        EXPECT_FALSE(resampler.Take(true));
        // What does not fit the room is dropped.
        EXPECT_EQ(resampler.Put(surround.get(), 100), 100);
    }
}
