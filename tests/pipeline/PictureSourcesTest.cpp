// Pictures as people's files hold them (turned phone clips, anamorphic
// pixels, colour matrices, HDR, interlaced fields, awkward sizes and
// formats), made at test time with the ffmpeg tool, previewed and exported
// and judged against what the ffmpeg tool shows of the same file.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "media/InputStream.h"
#include "pipeline/FrameGrabber.h"
#include "support/ExportRecord.h"
#include "support/MediaProbe.h"
#include "support/PictureCompare.h"
#include "support/TestMedia.h"

using namespace testsupport;

namespace {

// A clip made by the ffmpeg tool from `args` (inputs, filters and codec);
// `turn`, when set, is written as the display matrix's rotation.
std::string Make(const std::string& name, const std::string& args, int turn = 0)
{
    if (!turn)
        return MakeMedia(name, args);
    return MakeMedia(name, "-i " + Quote(MakeMedia("unturned_" + name, args)) + " -c copy -metadata:s:v rotate=" +
                               std::to_string(turn));
}

std::string Pattern(const std::string& size, double seconds = 1)
{
    return "-f lavfi -i testsrc2=size=" + size + ":rate=25:duration=" + std::to_string(seconds) + " ";
}

// What the ffmpeg tool shows of `file` at `seconds` (turned upright and
// converted with the file's own colour tags), scaled to width x height.
Picture Shown(const std::string& file, double seconds, int width, int height)
{
    auto r = RunCommand("ffmpeg -nostdin -v error -ss " + std::to_string(seconds) + " -i " + Quote(file) +
                        " -frames:v 1 -vf scale=" + std::to_string(width) + ":" +
                        std::to_string(height) + " -f rawvideo -pix_fmt rgb24 -");
    return {width, height, {r.output.begin(), r.output.end()}};
}

Picture ToPicture(const wxImage& image)
{
    if (!image.IsOk())
        return Picture();
    const size_t bytes = size_t(image.GetWidth()) * image.GetHeight() * 3;
    return {image.GetWidth(), image.GetHeight(), {image.GetData(), image.GetData() + bytes}};
}

// Mean colourfulness: the spread between the largest and smallest of each
// pixel's three values.
double Saturation(const Picture& p)
{
    double sum = 0;
    for (size_t i = 0; i + 2 < p.rgb.size(); i += 3)
        sum += std::max({p.rgb[i], p.rgb[i + 1], p.rgb[i + 2]}) - std::min({p.rgb[i], p.rgb[i + 1], p.rgb[i + 2]});
    return p.rgb.empty() ? 0 : sum / (p.rgb.size() / 3);
}

// How far rows stand out from the mean of their neighbours: woven fields of
// a moving picture make every other row stand out.
double Combing(const Picture& p)
{
    double sum = 0;
    for (int y = 1; y + 1 < p.height; ++y)
        for (int x = 0; x < p.width * 3; ++x) {
            const uint8_t* row = &p.rgb[size_t(y) * p.width * 3 + x];
            sum += std::abs(2 * int(row[0]) - int(row[-p.width * 3]) - int(row[p.width * 3]));
        }
    return sum / (double(p.width) * 3 * (p.height - 2));
}

const std::string x264 = "-c:v libx264 -preset ultrafast ";
// Matrix/primaries/transfer/range of an export in SD and HD colours.
const char* const sdTags = "smpte170m/smpte170m/smpte170m/tv";
const char* const hdTags = "bt709/bt709/bt709/tv";

enum Check { SAME_PICTURE, SATURATION, DEINTERLACED };
struct Source {
    const char* name;
    std::string args;
    int turn, width, height;         // as shown
    const char* tags = nullptr;      // of the export, when checked
    Check check = SAME_PICTURE;
};

// The clip's preview and its first 0.4 s exported at the size the main
// window proposes: the shape as shown, colours as the ffmpeg tool shows the
// source (read with the file's own tags), the tags the export writes, and
// no combing left of interlaced fields.
void Judge(const Source& c)
{
    SCOPED_TRACE(c.name);
    std::string file = Make(c.name, c.args, c.turn);
    tCodecParams params = RecordFor(file);
    InputStream input(file.c_str(), true, false);
    params.iWidth = input.GetInfo().displayWidth & ~1;
    params.iHeight = input.GetInfo().displayHeight & ~1;
    std::string out = OutputPath(std::string(c.name) + ".out.mp4");
    ASSERT_GT(RunExport(file, out, params, 0, 0.4), 0);
    Fields video = ProbeStreams(out).at(0);
    const int width = c.width & ~1, height = c.height & ~1;
    EXPECT_EQ(video["width"] + "x" + video["height"], std::to_string(width) + "x" + std::to_string(height));
    if (c.tags) {
        EXPECT_EQ(video["color_space"] + "/" + video["color_primaries"] + "/" + video["color_transfer"] + "/" +
                      video["color_range"], c.tags);
    }
    FrameGrabber grabber(wxString::FromUTF8(file));
    Picture preview = ToPicture(grabber.GrabImage(0.2));
    Picture written = Shown(out, 0.2, width, height);
    ASSERT_EQ(preview.width, c.width);
    ASSERT_EQ(preview.height, c.height);
    switch (c.check) {
    case SAME_PICTURE:
        EXPECT_LT(MeanAbsDiff(preview, Shown(file, 0.2, c.width, c.height)), 4.0);
        EXPECT_LT(MeanAbsDiff(written, Shown(file, 0.2, width, height)), 5.0);
        break;
    case SATURATION: {
        // The SDR pattern the clip was made from; tone-mapping compresses
        // the brightest colours only a little.
        std::string sdr = Make("sdr.mkv", Pattern("640x360") + x264 + "-pix_fmt yuv444p");
        double saturation = Saturation(Shown(sdr, 0.2, width, height));
        EXPECT_GT(Saturation(preview), saturation * 0.7);
        EXPECT_GT(Saturation(written), saturation * 0.7);
        break;
    }
    case DEINTERLACED: {
        auto idet = RunCommand("ffmpeg -nostdin -v info -i " + Quote(out) + " -vf idet -f null - 2>&1").output;
        int tff = -1, bff = -1;
        std::sscanf(idet.c_str() + std::min(idet.find("Multi frame detection:"), idet.size()),
                    "Multi frame detection: TFF: %d BFF: %d", &tff, &bff);
        EXPECT_EQ(tff + bff, 0) << idet;
        EXPECT_EQ(video["field_order"], "progressive");
        double woven = Combing(Shown(file, 0.2, width, height));
        EXPECT_LT(Combing(preview), woven / 2);
        EXPECT_LT(Combing(written), woven / 2);
        EXPECT_GT(Combing(ToPicture(FrameGrabber(wxString::FromUTF8(file), true).GrabImage(0.2))), woven * 0.8);
        break;
    }
    }
}

}  // namespace

// Turns, odd sizes and formats the scaler's SIMD code handles in blocks.
// tools/test.sh runs this test under valgrind as well, which sees writes
// past the pictures' ends inside FFmpeg's own code.
TEST(AwkwardSources, PreviewAndExportGiveTheShownPicture)
{
    const Source cases[] = {
        {"turned90.mp4", Pattern("640x360") + x264 + "-pix_fmt yuv420p", 90, 360, 640, sdTags},
        {"turned270.mp4", Pattern("640x360") + x264 + "-pix_fmt yuv420p", 270, 360, 640},
        {"turned180.mp4", Pattern("320x240") + x264 + "-pix_fmt yuv420p", 180, 320, 240},
        {"odd.mkv", Pattern("320x240") + "-vf scale=321:241 -c:v ffv1 -pix_fmt yuv420p", 0, 321, 241},
        {"full444.mp4", Pattern("320x240") + x264 + "-pix_fmt yuv444p", 0, 320, 240},
        {"palette.mkv", Pattern("320x240") + "-c:v png -pix_fmt pal8", 0, 320, 240},
        {"ten_bit.mkv", Pattern("320x240") + x264 + "-pix_fmt yuv420p10le", 0, 320, 240},
    };
    for (const auto& c : cases)
        Judge(c);
}

// Anamorphic pixels, colour matrices, HDR and interlaced fields.
TEST(RealWorldPictures, ExportAndPreviewShowThePictureAsItIsMeantToBeSeen)
{
    // Pixels made with one matrix and tagged with it.
    auto tagged = [](const std::string& matrix, const std::string& tag, const std::string& before = "") {
        return "-vf " + before + "scale=out_color_matrix=" + matrix + ":out_range=tv,format=yuv420p -colorspace " +
               tag + " -color_primaries " + tag + " -color_trc " + tag + " ";
    };
    const Source cases[] = {
        {"ntsc_wide.mp4", Pattern("720x480") + "-vf setsar=32/27 " + x264 + "-pix_fmt yuv420p", 0, 854, 480, sdTags},
        {"hdv.mp4", Pattern("1440x1080", 0.4) + tagged("bt709", "bt709", "setsar=4/3,") + x264, 0, 1920, 1080, hdTags},
        {"bars601_720p.mp4", Pattern("1280x720", 0.4) + tagged("bt601", "smpte170m") + x264, 0, 1280, 720, sdTags},
        {"bars709_sd.mp4", Pattern("640x360") + tagged("bt709", "bt709") + x264, 0, 640, 360, hdTags},
        {"pq2020.mkv",
         Pattern("640x360") + "-vf zscale=rin=full:tin=709:min=709:pin=709:t=smpte2084:m=2020_ncl:p=2020:"
                              "r=limited:npl=100,format=yuv420p10le " + x264 +
             "-color_primaries bt2020 -color_trc smpte2084 -colorspace bt2020nc", 0, 640, 360, hdTags, SATURATION},
        {"tff1080i.ts", "-f lavfi -i testsrc2=size=1920x1080:rate=50:duration=0.5 -vf interlace=scan=tff "
                        "-c:v mpeg2video -flags +ildct+ilme -top 1 -q:v 4 -g 4", 0, 1920, 1080, nullptr, DEINTERLACED},
    };
    for (const auto& c : cases)
        Judge(c);
}

// Grabs forward within a group of pictures decode on from the last one, grabs
// elsewhere seek; pictures nothing refers to are left undecoded on the way.
// Every grab shows exactly the picture at its time, whatever came before;
// at or past the last picture the last one is shown, and grabbing goes on.
TEST(FrameGrabber, EachGrabShowsThePictureAtItsTimeFromTheMediaStartWhateverCameBefore)
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
    for (double time : {15.96, 15.99, 16.0, 100.0})
        EXPECT_LT(MeanAbsDiff(ToPicture(grabber.GrabImage(time)), all[399]), 3.0) << "at " << time << " s";
    EXPECT_LT(MeanAbsDiff(ToPicture(grabber.GrabImage(15.0)), all[375]), 3.0) << "usable after a grab past the end";

    // Times count from the start of the media, whatever time the container
    // starts at (1.4 s here).
    std::string late = MediaPath("start_1_4.ts");
    FrameGrabber fromLate(wxString::FromUTF8(late));
    for (double time : {0.0, 5.0}) {
        Picture grabbed = ToPicture(fromLate.GrabImage(time));
        EXPECT_LT(std::min(MeanAbsDiff(grabbed, DecodePicture(late, time)),
                           MeanAbsDiff(grabbed, DecodePicture(late, time + 0.04))), 4.0) << "at " << time << " s";
    }
}

TEST(FrameGrabber, NoPictureForAMissingOrBrokenFileAndNamesOutsideAsciiOpen)
{
    for (const char* name : {"no_such_file.mp4", "empty.mp4", "random.mp4", "text.avi", "audio_only.m4a"}) {
        FrameGrabber grabber(wxString::FromUTF8(MediaPath(name)));
        EXPECT_FALSE(grabber.GrabImage(0.0).IsOk() || grabber.GrabImage(1.0).IsOk()) << name;
    }
    Picture named = ToPicture(FrameGrabber(wxString::FromUTF8(MediaPath("név ünïcödé.avi"))).GrabImage(1.0));
    EXPECT_EQ(wxSize(named.width, named.height), wxSize(320, 240));
}
