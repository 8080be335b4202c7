// The read-back decodes what it proves: for sources people have (turned
// phone clips, anamorphic DVD pictures, tagged colours, 5.1 films with
// several sound tracks), a file written right passes and the same file
// written the way a careless converter writes it gets the warning that
// names what went wrong. The files stand in for exports and are made by
// the ffmpeg tool.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pipeline/ExportCheck.h"
#include "pipeline/ExportReport.h"
#include "support/ExportRecord.h"
#include "support/MediaProbe.h"
#include "support/TestMedia.h"

using namespace testsupport;

namespace {

// A tone for each channel of a 5.1 film, a low one for the LFE (after one picture input).
const std::string surround =
    "-f lavfi -i sine=f=300:d=2 -f lavfi -i sine=f=500:d=2 -f lavfi -i sine=f=700:d=2 "
    "-f lavfi -i sine=f=80:d=2 -f lavfi -i sine=f=1100:d=2 -f lavfi -i sine=f=1300:d=2 "
    "-filter_complex \"[1:a][2:a][3:a][4:a][5:a][6:a]join=inputs=6:channel_layout=5.1[a]\" ";

std::string Make(const std::string& name, const std::string& arguments)
{
    return MakeMedia("content_" + name, arguments);
}

}  // namespace

TEST(ContentCheck, WrongPicturesAndSoundAreNamedAndRightOnesPass)
{
    const std::string video = "-c:v libx264 -preset ultrafast -qp 10 -pix_fmt yuv420p ";
    const std::string picture = "-f lavfi -i testsrc2=size=320x180:rate=25:duration=2 ";
    std::string plain = Make("plain.mp4", picture + video);
    std::string turned = Make("turned.mp4", "-i " + Quote(plain) + " -c copy -metadata:s:v rotate=90");
    std::string wide = Make("anamorphic.mp4", "-f lavfi -i testsrc2=size=360x240:rate=25:duration=2 " + video +
                                                  "-vf setsar=32/27");
    std::string bars = Make("bars709.mp4", "-f lavfi -i smptehdbars=size=320x180:rate=25:duration=2 " + video +
                                               "-vf scale=out_color_matrix=bt709:out_range=tv -color_primaries bt709 "
                                               "-color_trc bt709 -colorspace bt709 -color_range tv");
    std::string film = Make("film.mkv", picture + surround + video + "-map 0:v -map [a] -c:a flac");
    std::string tracks = Make("tracks.mkv", picture + "-f lavfi -i sine=f=440:d=2 -f lavfi -i sine=f=1000:d=2 " +
                                                video + "-map 0:v -map 1:a -map 2:a -c:a flac -ac:a:1 2 "
                                                "-disposition:a:0 0 -disposition:a:1 default "
                                                "-metadata:s:a:0 title=Commentary -metadata:s:a:1 language=eng");
    // The test pattern is untagged and small, so it is read as BT.601, as
    // the stand-ins tag it; the HD bars are tagged BT.709.
    const std::string x264 = "-c:v libx264 -preset ultrafast -crf 18 -pix_fmt yuv420p -color_range tv ";
    const std::string out = x264 + "-color_primaries smpte170m -color_trc smpte170m -colorspace smpte170m ";
    const std::string hd = x264 + "-color_primaries bt709 -color_trc bt709 -colorspace bt709 ";
    struct Case {
        const char* name;
        std::string source;
        std::string made;  // the stand-in export, made from the source
        tExportSource asked;
        std::vector<enumExportFault> faults;
        const char* words;  // in the report when it is not checked
    } cases[] = {
        {"cropped", plain, "-i " + Quote(plain) + " -vf crop=160:90:100:40 " + out, {"", 0, 100, 40, 160, 90}, {}, ""},
        {"cropped elsewhere", plain, "-i " + Quote(plain) + " -vf crop=160:90:0:0 " + out,
         {"", 0, 100, 40, 160, 90}, {EF_PICTURE_CONTENT}, "the pictures differ from the source's"},
        {"a range", plain, "-ss 1 -i " + Quote(plain) + " " + out, {"", 1.0}, {}, ""},
        {"turned upright", turned, "-i " + Quote(turned) + " " + out, {}, {}, ""},
        // Its stand-in keeps the source's turn as well, so players show it on its side.
        {"left lying", turned, "-noautorotate -i " + Quote(turned) + " -vf transpose=cclock_flip " + out, {},
         {EF_DISPLAY_SHAPE, EF_PICTURE_CONTENT}, "PSNR"},
        {"anamorphic shown wide", wide, "-i " + Quote(wide) + " -vf scale=426:240,setsar=1 " + out, {}, {}, ""},
        {"anamorphic squashed", wide, "-i " + Quote(wide) + " -vf setsar=1 " + out, {}, {EF_DISPLAY_SHAPE},
         "the picture is shown 1.50:1 where the source's is 1.78:1"},
        {"colours kept", bars, "-i " + Quote(bars) + " -vf scale=in_color_matrix=bt709:out_color_matrix=bt709 " + hd,
         {}, {}, ""},
        {"colours misread", bars, "-i " + Quote(bars) + " -vf scale=in_color_matrix=bt709:out_color_matrix=bt601 " +
                                      hd, {}, {EF_COLOURS}, "the colours differ from the source's by up to"},
        {"untagged", bars, "-i " + Quote(bars) + " -vf setparams=range=unknown:color_primaries=unknown:color_trc=unknown:colorspace=unknown -c:v libx264 -preset ultrafast -crf 18", {}, {EF_COLOURS, EF_COLOUR_TAGS},
         "the file does not say how its colours are to be read"},
        {"5.1 mixed to stereo", film, "-i " + Quote(film) + " " + out + "-c:a aac -ac 2", {}, {}, ""},
        {"5.1 kept", film, "-i " + Quote(film) + " " + out + "-c:a aac", {}, {}, ""},
        {"5.1 scrambled", film, "-i " + Quote(film) + " " + out + "-c:a aac -af 'pan=stereo|c0=c4|c1=c3'", {},
         {EF_CHANNEL_MIX}, "sound channel 1 does not carry its share"},
        {"the default track", tracks, "-i " + Quote(tracks) + " -map 0:v -map 0:a:1 " + out + "-c:a aac", {}, {},
         ""},
        {"the commentary", tracks, "-i " + Quote(tracks) + " -map 0:v -map 0:a:0 " + out + "-c:a aac -ac 2", {},
         {EF_CHANNEL_MIX}, "from track 2 of 2 (eng)"},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string made = Make(std::string(c.name) + ".mp4", c.made);
        // What the stand-in holds, asked for as it is (its pictures as
        // stored): only its content can fail.
        tExportRequest request = ExportCheck::RequestFor(RecordFor(made), PacketSpan(made, "v:0"), false);
        Fields video = ProbeStreams(made).at(0);
        request.iWidth = std::stoi(video["width"]), request.iHeight = std::stoi(video["height"]);
        request.source = c.asked;
        request.source.fileName = c.source;
        tExportCheck check = ExportCheck(request).Check(made.c_str());
        std::vector<enumExportFault> kinds;
        for (const tExportFault& f : check.faults)
            kinds.push_back(f.eKind);
        EXPECT_EQ(kinds, c.faults) << ExportReportText(check);
        EXPECT_NE(ExportReportText(check).find(c.words), std::string::npos) << ExportReportText(check);
    }
}
