// Preview pictures, compared with what the ffmpeg tool decodes at the same time.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>
#include <wx/image.h>

#include "pipeline/FrameGrabber.h"
#include "support/MediaProbe.h"
#include "support/PictureCompare.h"
#include "support/TestMedia.h"

using namespace testsupport;

namespace {

Picture ToPicture(const wxImage& image)
{
    Picture p;
    if (!image.IsOk())
        return p;
    p.width = image.GetWidth();
    p.height = image.GetHeight();
    p.rgb.assign(image.GetData(), image.GetData() + size_t(p.width) * p.height * 3);
    return p;
}

}  // namespace

TEST(FrameGrabber, TheSameTimeGivesTheSamePictureInAnyOrderOfGrabs)
{
    FrameGrabber grabber(wxString::FromUTF8(MediaPath("gop2s_44k.mp4")));
    Picture first = ToPicture(grabber.GrabImage(5.0));
    ASSERT_EQ(first.width, 320);
    ASSERT_EQ(first.height, 240);
    Picture elsewhere = ToPicture(grabber.GrabImage(11.3));
    Picture again = ToPicture(grabber.GrabImage(5.0));
    EXPECT_EQ(first.rgb, again.rgb);
    EXPECT_GT(MeanAbsDiff(first, elsewhere), 1.0) << "another time gives another picture";
    // The picture is the one ffmpeg decodes at that time, or the next one.
    double atTime = MeanAbsDiff(first, DecodePicture(MediaPath("gop2s_44k.mp4"), 5.0));
    double next = MeanAbsDiff(first, DecodePicture(MediaPath("gop2s_44k.mp4"), 5.04));
    EXPECT_LT(std::min(atTime, next), 3.0);
}

// Grabs forward within a group of pictures decode on from the last one, grabs
// elsewhere seek; pictures nothing refers to are left undecoded on the way.
// Every grab shows exactly the picture at its time.
TEST(FrameGrabber, EachGrabShowsThePictureAtItsTimeWhateverCameBefore)
{
    std::string file = MediaPath("gop2s_44k.mp4");  // B-frames, key frames every 2 s
    auto all = DecodeAllPictures(file);
    ASSERT_EQ(all.size(), 400u);
    FrameGrabber grabber(wxString::FromUTF8(file));
    for (int index : {3, 4, 7, 30, 49, 50, 51, 120, 100, 101, 399, 398, 0, 77, 78, 76, 397}) {
        Picture grabbed = ToPicture(grabber.GrabImage(index * 0.04));
        int nearest = 0;
        for (int i = 1; i < 400; ++i)
            if (MeanAbsDiff(grabbed, all[i]) < MeanAbsDiff(grabbed, all[nearest]))
                nearest = i;
        EXPECT_EQ(nearest, index);
        EXPECT_LT(MeanAbsDiff(grabbed, all[index]), 1.0) << "picture " << index;
    }
}

TEST(FrameGrabber, NoPictureForAMissingOrBrokenFile)
{
    for (const char* name : {"no_such_file.mp4", "empty.mp4", "random.mp4", "text.avi", "audio_only.m4a"}) {
        FrameGrabber grabber(wxString::FromUTF8(MediaPath(name)));
        EXPECT_FALSE(grabber.GrabImage(0.0).IsOk()) << name;
        EXPECT_FALSE(grabber.GrabImage(1.0).IsOk()) << name;
    }
}

// Past the last picture there is nothing to show; the last picture itself
// and every one before it can be grabbed exactly.
TEST(FrameGrabber, AtOrPastTheLastPictureTheLastPictureIsShown)
{
    std::string file = MediaPath("gop2s_44k.mp4");
    auto all = DecodeAllPictures(file);
    ASSERT_EQ(all.size(), 400u);
    FrameGrabber grabber(wxString::FromUTF8(file));
    for (double time : {15.96, 15.99, 16.0, 100.0})
        EXPECT_LT(MeanAbsDiff(ToPicture(grabber.GrabImage(time)), all[399]), 3.0) << "at " << time << " s";
    EXPECT_LT(MeanAbsDiff(ToPicture(grabber.GrabImage(15.0)), all[375]), 3.0)
        << "the grabber is usable after a grab past the end";
}

// The grab time counts from the start of the media, whatever time the
// container starts at (1.4 s here).
TEST(FrameGrabber, TimesCountFromTheStartOfTheMedia)
{
    std::string file = MediaPath("start_1_4.ts");
    FrameGrabber grabber(wxString::FromUTF8(file));
    for (double time : {0.0, 5.0}) {
        SCOPED_TRACE(time);
        Picture grabbed = ToPicture(grabber.GrabImage(time));
        ASSERT_EQ(grabbed.width, 320);
        double fromMediaStart = std::min(MeanAbsDiff(grabbed, DecodePicture(file, time)),
                                         MeanAbsDiff(grabbed, DecodePicture(file, time + 0.04)));
        double fromContainerZero = MeanAbsDiff(grabbed, DecodePicture(file, time + 1.4));
        EXPECT_LT(fromMediaStart, 4.0);
        EXPECT_LT(fromMediaStart * 3, fromContainerZero);
    }
}

TEST(FrameGrabber, FileNamesOutsideAsciiAreOpened)
{
    FrameGrabber grabber(wxString::FromUTF8(MediaPath("név ünïcödé.avi")));
    wxImage picture = grabber.GrabImage(1.0);
    ASSERT_TRUE(picture.IsOk());
    EXPECT_EQ(picture.GetWidth(), 320);
    EXPECT_EQ(picture.GetHeight(), 240);
}
