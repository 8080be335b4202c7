// Cropping, scaling and pixel-format conversion of single pictures, checked
// on synthetic pictures whose pixel values tell where they came from.
#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include "pipeline/FrameProcessingEngine.h"
#include "support/PictureCompare.h"

extern "C" {
#include <libavutil/pixdesc.h>
#include <libavutil/pixfmt.h>
}

using namespace testsupport;

namespace {

using Fill = std::function<void(int x, int y, uint8_t* rgb)>;

// An RGB24 picture; `align` 1 packs the rows, larger values pad them.
ffmpeg::FramePtr MakeRgbFrame(int width, int height, int align, const Fill& fill)
{
    ffmpeg::FramePtr frame(av_frame_alloc());
    frame->width = width;
    frame->height = height;
    frame->format = AV_PIX_FMT_RGB24;
    if (av_frame_get_buffer(frame.get(), align) < 0)
        return nullptr;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            fill(x, y, frame->data[0] + size_t(y) * frame->linesize[0] + size_t(x) * 3);
    return frame;
}

// Four quadrants: red, lime / blue, white.
const int colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};

ConvertParams Params(int srcW, int srcH, int srcFmt, int dstW, int dstH, int dstFmt)
{
    return {srcW, srcH, srcFmt, dstW, dstH, dstFmt, {}, {}};
}

// An RGB24 frame's rows, packed.
Picture Rows(const AVFrame& frame)
{
    Picture p{frame.width, frame.height, {}};
    for (int y = 0; y < frame.height; ++y)
        p.rgb.insert(p.rgb.end(), frame.data[0] + ptrdiff_t(y) * frame.linesize[0],
                     frame.data[0] + ptrdiff_t(y) * frame.linesize[0] + frame.width * 3);
    return p;
}

// The quadrants at 320x240 in `format`, made from a palette picture.
ffmpeg::FramePtr Quadrants(AVPixelFormat format)
{
    ffmpeg::FramePtr pal(av_frame_alloc()), out(av_frame_alloc());
    pal->width = out->width = 320;
    pal->height = out->height = 240;
    pal->format = AV_PIX_FMT_PAL8;
    out->format = format;
    if (av_frame_get_buffer(pal.get(), 0) < 0 || av_frame_get_buffer(out.get(), 0) < 0)
        return nullptr;
    for (int q = 0; q < 4; ++q)
        reinterpret_cast<uint32_t*>(pal->data[1])[q] = 0xff000000u | colours[q][0] << 16 | colours[q][1] << 8 | colours[q][2];
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            pal->data[0][y * pal->linesize[0] + x] = uint8_t((y >= 120 ? 2 : 0) + (x >= 160 ? 1 : 0));
    if (format == AV_PIX_FMT_PAL8)
        return pal;
    ffmpeg::SwsPtr scaler(sws_getContext(320, 240, AV_PIX_FMT_PAL8, 320, 240, format, SWS_POINT, nullptr, nullptr, nullptr));
    sws_scale(scaler.get(), pal->data, pal->linesize, 0, 240, out->data, out->linesize);
    return out;
}

}  // namespace

// The crop's corners land in the output's corners whatever its shape: a
// 4:3 crop is scaled to 4:3 and stretched to 16:9, without bars.
TEST(FrameProcessing, CropIsCutFromTheRightPlaceAndStretchedOverTheWholeOutput)
{
    // Red grows with x, green with y.
    auto source = MakeRgbFrame(640, 480, 32, [](int x, int y, uint8_t* px) {
        px[0] = uint8_t(x * 255 / 639), px[1] = uint8_t(y * 255 / 479), px[2] = 0;
    });
    for (wxSize size : {wxSize(320, 240), wxSize(640, 360)}) {
        FrameProcessingEngine engine(Params(640, 480, AV_PIX_FMT_RGB24, size.x, size.y, AV_PIX_FMT_RGB24),
                                     wxRect(80, 60, 480, 360));
        ffmpeg::FramePtr out = engine.ProcessFrame(source.get());
        ASSERT_TRUE(out);
        ASSERT_EQ(wxSize(out->width, out->height), size);
        Picture p = Rows(*out);
        double scaleX = 480.0 / size.x, scaleY = 360.0 / size.y;
        for (int y = 0; y < size.y; y += 7)
            for (int x = 0; x < size.x; x += 7) {
                double sx = 80 + (x + 0.5) * scaleX - 0.5, sy = 60 + (y + 0.5) * scaleY - 0.5;
                const uint8_t* px = p.At(x, y);
                ASSERT_NEAR(px[0], std::clamp(sx, 80.0, 559.0) * 255 / 639, 3.0) << "at " << x << "," << y;
                ASSERT_NEAR(px[1], std::clamp(sy, 60.0, 419.0) * 255 / 479, 3.0) << "at " << x << "," << y;
            }
    }
}

// At the source's own size, with no crop or one of the whole picture, the
// picture passes unchanged, whether its rows are padded or packed, and
// without the decoder's picture type, which an encoder would obey.
TEST(FrameProcessing, PaddedAndPackedRowsPassUnchangedAtTheSameSize)
{
    // 90 pixels of RGB are 270 bytes: 64-byte alignment pads every row.
    auto fill = [](int x, int y, uint8_t* px) { px[0] = uint8_t(x * 2); px[1] = uint8_t(y * 3); px[2] = uint8_t(x + y); };
    auto padded = MakeRgbFrame(90, 60, 64, fill);
    auto packed = MakeRgbFrame(90, 60, 1, fill);
    ASSERT_GT(padded->linesize[0], 270);
    ASSERT_EQ(packed->linesize[0], 270);
    padded->pict_type = packed->pict_type = AV_PICTURE_TYPE_B;
    for (AVFrame* source : {padded.get(), packed.get()})
        for (wxRect crop : {wxRect(), wxRect(0, 0, 90, 60)}) {
            FrameProcessingEngine engine(Params(90, 60, AV_PIX_FMT_RGB24, 90, 60, AV_PIX_FMT_RGB24), crop);
            ffmpeg::FramePtr out = engine.ProcessFrame(source);
            ASSERT_TRUE(out);
            EXPECT_EQ(out->pict_type, AV_PICTURE_TYPE_NONE);
            EXPECT_EQ(Rows(*out).rgb, Rows(*packed).rgb) << (source == padded.get() ? "padded" : "packed");
        }
}

TEST(FrameProcessing, ANullPictureOrOneOfAnotherShapeIsRefused)
{
    FrameProcessingEngine engine(Params(64, 48, AV_PIX_FMT_RGB24, 64, 48, AV_PIX_FMT_YUV420P));
    auto small = MakeRgbFrame(32, 24, 32, [](int, int, uint8_t* px) { px[0] = px[1] = px[2] = 0; });
    const struct { const AVFrame* frame; const char* message; } cases[] = {
        {nullptr, "Pointer to frame is zero."}, {small.get(), "Error croping frame."}};
    for (const auto& c : cases) {
        try {
            engine.ProcessFrame(c.frame);
            ADD_FAILURE() << "no exception";
        } catch (const char* message) {
            EXPECT_STREQ(message, c.message);
        }
    }
}

// Planar, semi-planar, packed, deep and palette sources: the crop is taken
// from the same place in each. A crop rectangle that is empty or reaches
// outside the picture is clipped; what is left of it is cropped, and
// nothing left means no crop.
TEST(FrameProcessing, EveryPixelFormatIsCroppedFromTheSamePlaceAndCropsAreClipped)
{
    const struct { wxRect crop; int quadrant; /* or -1 for all four */ } crops[] = {
        {wxRect(160, 120, 160, 120), 3}, {wxRect(1, 121, 157, 117), 2}, {wxRect(163, 3, 151, 111), 1},
        {wxRect(0, 0, 0, 0), -1},  // what the crop editor reports without a picture
        {wxRect(1000, 1000, 10, 10), -1}, {wxRect(10, 10, -5, -5), -1}, {wxRect(0, 0, 320, 240), -1},
        {wxRect(-50, -40, 1000, 1000), -1}, {wxRect(160, 120, 400, 400), 3}, {wxRect(-50, -50, 210, 170), 0},
        {wxRect(160, -30, 200, 150), 1}, {wxRect(-10, 120, 170, 500), 2}};
    for (AVPixelFormat format : {AV_PIX_FMT_RGB24, AV_PIX_FMT_YUV420P, AV_PIX_FMT_NV12, AV_PIX_FMT_YUYV422,
                                 AV_PIX_FMT_YUV444P10LE, AV_PIX_FMT_BGRA, AV_PIX_FMT_PAL8}) {
        SCOPED_TRACE(av_get_pix_fmt_name(format));
        auto source = Quadrants(format);
        ASSERT_TRUE(source);
        for (const auto& c : crops) {
            FrameProcessingEngine engine(Params(320, 240, format, 80, 60, AV_PIX_FMT_RGB24), c.crop);
            ffmpeg::FramePtr out = engine.ProcessFrame(source.get());
            ASSERT_TRUE(out);
            Picture p = Rows(*out);
            for (int q = 0; q < 4; ++q) {  // each quadrant in its place, clear of the blended borders
                const int* want = colours[c.quadrant < 0 ? q : c.quadrant];
                EXPECT_LE(MaxColourError(p, (q % 2) * 40 + 2, (q / 2) * 30 + 2, 36, 26, want[0], want[1], want[2]), 8)
                    << "crop " << c.crop.x << "," << c.crop.y << " " << c.crop.width << "x" << c.crop.height;
            }
        }
    }
}
