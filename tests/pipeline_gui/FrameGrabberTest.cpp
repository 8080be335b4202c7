// Preview pictures, compared with what the ffmpeg tool decodes at the same time.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>
#include <wx/bitmap.h>
#include <wx/image.h>

#include "pipeline/FrameGrabber.h"
#include "support/MediaProbe.h"
#include "support/PictureCompare.h"
#include "support/TestMedia.h"

using namespace testsupport;

namespace {

Picture ToPicture(const wxBitmap& bitmap)
{
    Picture p;
    if (!bitmap.IsOk())
        return p;
    wxImage image = bitmap.ConvertToImage();
    p.width = image.GetWidth();
    p.height = image.GetHeight();
    p.rgb.assign(image.GetData(), image.GetData() + size_t(p.width) * p.height * 3);
    return p;
}

}  // namespace

TEST(FrameGrabber, TheSameTimeGivesTheSamePictureInAnyOrderOfGrabs)
{
    FrameGrabber grabber(wxString::FromUTF8(MediaPath("gop2s_44k.mp4")));
    Picture first = ToPicture(grabber.GrabFrame(5.0));
    ASSERT_EQ(first.width, 320);
    ASSERT_EQ(first.height, 240);
    Picture elsewhere = ToPicture(grabber.GrabFrame(11.3));
    Picture again = ToPicture(grabber.GrabFrame(5.0));
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
        Picture grabbed = ToPicture(grabber.GrabFrame(index * 0.04));
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
        EXPECT_FALSE(grabber.GrabFrame(0.0).IsOk()) << name;
        EXPECT_FALSE(grabber.GrabFrame(1.0).IsOk()) << name;
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
        EXPECT_LT(MeanAbsDiff(ToPicture(grabber.GrabFrame(time)), all[399]), 3.0) << "at " << time << " s";
    EXPECT_LT(MeanAbsDiff(ToPicture(grabber.GrabFrame(15.0)), all[375]), 3.0)
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
        Picture grabbed = ToPicture(grabber.GrabFrame(time));
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
    wxBitmap picture = grabber.GrabFrame(1.0);
    ASSERT_TRUE(picture.IsOk());
    EXPECT_EQ(picture.GetWidth(), 320);
    EXPECT_EQ(picture.GetHeight(), 240);
}

TEST(FrameGrabber, PhoneClipsArePreviewedUprightAsTheFfmpegToolShowsThem)
{
    for (const char* name : {"rot_90.mp4", "rot_180.mp4", "rot_270.mp4"}) {
        SCOPED_TRACE(name);
        FrameGrabber grabber(wxString::FromUTF8(MediaPath(name)));
        Picture grabbed = ToPicture(grabber.GrabFrame(1.0));
        auto shown = RunCommand("ffmpeg -nostdin -v error -ss 1 -i " + Quote(MediaPath(name)) +
                                " -frames:v 1 -f rawvideo -pix_fmt rgb24 -").output;
        bool sideways = std::string(name) != "rot_180.mp4";
        Picture upright{sideways ? 240 : 320, sideways ? 320 : 240, std::vector<uint8_t>(shown.begin(), shown.end())};
        EXPECT_LT(MeanAbsDiff(grabbed, upright), 8.0);
    }
}
