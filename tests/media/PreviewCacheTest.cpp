#include <gtest/gtest.h>

#include <cstring>

#include "media/PreviewDecoder.h"
#include "support/TestFrames.h"
#include "support/TestMedia.h"

using testsupport::MediaPath;
using testsupport::NewPicture;

namespace {

bool SamePixels(const AVFrame& a, const AVFrame& b)
{
    if (a.width != b.width || a.height != b.height)
        return false;
    for (int y = 0; y < a.height; ++y)
        if (std::memcmp(a.data[0] + y * a.linesize[0], b.data[0] + y * b.linesize[0], size_t(a.width) * 3) != 0)
            return false;
    return true;
}

}  // namespace

// The run never holds more than its budget: the earliest pictures go first,
// a picture larger than the whole budget is not kept, and only times the
// run covers are found.
TEST(PreviewCache, HoldsARunOfPicturesWithinItsBudget)
{
    size_t one = PictureCache::PictureBytes(*NewPicture(64, 48));
    PictureCache cache(one * 3 + one / 2);
    for (int i = 0; i < 10; ++i) {
        cache.Append(i * 0.04, NewPicture(64, 48));
        EXPECT_LE(cache.Bytes(), cache.Budget());
    }
    EXPECT_EQ(cache.Count(), 3u);
    EXPECT_EQ(cache.Find(0.24), nullptr);
    EXPECT_EQ(cache.Find(0.37), nullptr);
    EXPECT_NE(cache.Find(0.28), nullptr);
    EXPECT_EQ(cache.Find(0.30), cache.Find(0.32));
    cache.Append(0.40, NewPicture(640, 480));
    EXPECT_EQ(cache.Count(), 3u);
    EXPECT_LE(cache.Bytes(), cache.Budget());
}

// After a picture at a time the pictures just before it are kept, as many
// as the budget holds but none before its key frame (that would decode the
// group of pictures before it as well); stepping back through them decodes
// nothing and shows the same pictures as a decoder asked afresh.
TEST(PreviewCache, StepsBackComeFromThePicturesKept)
{
    std::string file = MediaPath("gop2s_44k.mp4");  // 25 fps, key frames every 2 s
    size_t picture = 320 * 240 * 3 / 2;
    struct Case {
        size_t budget;
        size_t kept;
    } cases[] = {{PictureCache::defaultBudget, 16}, {picture * 5 + picture / 2, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.budget);
        PreviewDecoder decoder(file.c_str(), false, c.budget);
        ASSERT_TRUE(decoder.PictureAt(5.0));
        EXPECT_LE(decoder.Cache().Bytes(), c.budget);
        EXPECT_GE(decoder.Cache().Count() + 1, c.kept);
        double first = decoder.Cache().FirstTime();
        for (size_t step = 1; step < decoder.Cache().Count(); ++step) {
            double time = 5.0 - step * 0.04;
            ffmpeg::FramePtr back = decoder.PictureAt(time);
            EXPECT_EQ(decoder.Cache().FirstTime(), first) << "decoded again at " << time;
            PreviewDecoder fresh(file.c_str(), false);
            ASSERT_TRUE(back);
            EXPECT_TRUE(SamePixels(*back, *fresh.PictureAt(time))) << time;
        }
    }
    PreviewDecoder afterKey(file.c_str(), false);
    ASSERT_TRUE(afterKey.PictureAt(4.2));
    EXPECT_GE(afterKey.Cache().FirstTime(), 4.0 - 1e-3);
}
