// Copying the source's packets as they are: pictures from the key frame at
// or before the start, sound from the packet that holds that time, both
// unchanged; containers that can't take a codec are refused.
#include <algorithm>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "media/InputStream.h"
#include "media/StreamCopy.h"
#include "pipeline/ExportJob.h"
#include "pipeline/ExportReport.h"
#include "pipeline/StreamCopier.h"
#include "support/ExportRecord.h"
#include "support/MediaProbe.h"
#include "support/TestMedia.h"

using namespace testsupport;

namespace {

// One stream's packets ("v:0", "a:0") in the file's order: the checksums of
// their data, and the earliest time they show.
struct Packets {
    std::vector<std::string> hashes;
    double first = 1e9;
};
Packets PacketsOf(const std::string& file, const std::string& stream)
{
    std::istringstream lines(RunCommand("ffprobe -v error -show_data_hash MD5 -select_streams " + stream +
                                        " -show_entries packet=pts_time,data_hash -of default=nw=1 " + Quote(file))
                                 .output);
    Packets packets;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("data_hash=", 0) == 0)
            packets.hashes.push_back(line.substr(10));
        else if (line.rfind("pts_time=", 0) == 0 && line != "pts_time=N/A")
            packets.first = std::min(packets.first, std::stod(line.substr(9)));
    return packets;
}

// Where `part` lies whole within `whole`, or -1.
long Within(const std::vector<std::string>& part, const std::vector<std::string>& whole)
{
    auto found = std::search(whole.begin(), whole.end(), part.begin(), part.end());
    return part.empty() || found == whole.end() ? -1 : long(found - whole.begin());
}

tCodecParams CopyRecord(const std::string& in, enumOutputCodec codec, bool pictures = true,
                        enumSoundCodec sound = SC_COPY)
{
    tCodecParams params = RecordFor(in);
    params.eCodec = codec;
    params.bCopyVideo = pictures;
    params.eSoundCodec = sound;
    return params;
}

// The export on its worker, which tells of its end once.
ExportJob::Snapshot Export(tExportOrder order)
{
    ExportJob::Snapshot done;
    int ends = 0;
    {
        ExportJob job(std::move(order), [&ends] { ++ends; });
        job.Wait();
        done = job.GetSnapshot();
    }
    EXPECT_EQ(ends, 1);
    return done;
}

}  // namespace

// Pictures copied from the key frame at or before the start (key frames
// every 2 s: a range from 5.0 s is copied from the one at 4.0 s), sound from
// the packet that holds the pictures' start; either one may be encoded.
// Copied packets are unchanged, and the sound is heard from the first
// picture on.
TEST(Copy, PacketsCopiedUnchangedFromTheStartWithTheSoundFromTheFirstPicture)
{
    // `length`: of the output; `frame`: seconds of one sound packet;
    // `delay`: the sound codec's own delay, which Matroska shows before the sound.
    const struct { const char* input; enumOutputCodec codec; bool pictures; enumSoundCodec sound; const char* output;
                   double start, end, length, frame, delay; } cases[] = {
        {"gop2s_44k.mp4", OC_MP4, true, SC_COPY, "copy.mp4", 5.0, 9.0, 5.0, 1024.0 / 44100, 0.0},
        {"gop2s_44k.mp4", OC_MKV_H264, true, SC_COPY, "copy.mkv", 5.0, 9.0, 5.0, 1024.0 / 44100, 0.0},
        {"gop2s_44k.mp4", OC_MOV, true, SC_OUTPUT, "copy_encoded_sound.mov", 5.0, 9.0, 5.0, 1024.0 / 44100, 0.0},
        {"gop2s_44k.mp4", OC_MP4, false, SC_COPY, "sound_copy.mp4", 1.3, 3.3, 2.0, 1024.0 / 44100, 0.0},
        {"av_vp9_opus.mkv", OC_MKV_H264, false, SC_COPY, "sound_copy.mkv", 1.3, 3.3, 2.0, 0.02, 312.0 / 48000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output);
        std::string in = MediaPath(c.input), out = OutputPath(c.output);
        ExportJob::Snapshot done = Export({in, out, CopyRecord(in, c.codec, c.pictures, c.sound), wxRect(), c.start, c.end});
        ASSERT_EQ(done.state, ExportJob::FINISHED) << done.reason;
        EXPECT_TRUE(done.check.Passed()) << ExportReportText(done.check);
        Packets pictures = PacketsOf(out, "v:0"), sound = PacketsOf(out, "a:0");
        EXPECT_EQ(done.progress, 1000);
        EXPECT_EQ(done.writtenFrames, pictures.hashes.size());
        EXPECT_EQ(size_t(done.check.video.iPackets), pictures.hashes.size());
        if (c.pictures) {
            EXPECT_NE(ExportSummaryLine(done.check).find("copied from the key frame at 0:04.0"), std::string::npos)
                << ExportSummaryLine(done.check);
            EXPECT_EQ(Within(pictures.hashes, PacketsOf(in, "v:0").hashes), 100);  // the 101st is the one at 4.0 s
            EXPECT_NEAR(double(pictures.hashes.size()), c.length * 25, 3);
        }
        if (c.sound == SC_COPY) {
            EXPECT_GE(Within(sound.hashes, PacketsOf(in, "a:0").hashes), 0);
        }
        EXPECT_NEAR(sound.hashes.size() * c.frame, c.length, 2 * c.frame);
        EXPECT_NEAR(sound.first, pictures.first, c.frame + c.delay + 0.001);
        EXPECT_EQ(DecodeErrors(out), "");
    }
}

// Copies keep what their source says: a turn, uneven picture times, MPEG
// audio that MP4 tags as either layer; the read-back judges them by it.
TEST(Copy, CopiesOfTurnedUnevenAndMpegSourcesPassTheirReadBack)
{
    for (const char* name : {"rot_90.mp4", "vfr.mp4", "start_1_4.ts"}) {
        SCOPED_TRACE(name);
        std::string in = MediaPath(name);
        ExportJob::Snapshot done = Export({in, OutputPath("awkward_copy.mp4"), CopyRecord(in, OC_MP4), wxRect(), 0.5, 2.5});
        ASSERT_EQ(done.state, ExportJob::FINISHED) << done.reason;
        EXPECT_TRUE(done.check.Passed()) << ExportReportText(done.check);
    }
}

// Only what stays as it is is copied: sound the container takes, pictures
// neither cropped, scaled nor retimed. Refused before any file is made; a
// copy stopped half-way leaves none either.
TEST(Copy, OnlyWhatStaysAsItIsIsCopiedAndRefusedOrAbandonedCopiesLeaveNoFile)
{
    const struct { enumOutputCodec codec; AVCodecID sound; bool takes; } cases[] = {
        {OC_MP4, AV_CODEC_ID_AAC, true},     {OC_MP4, AV_CODEC_ID_MP3, true},      {OC_MKV_H264, AV_CODEC_ID_VORBIS, true},
        {OC_WEBM_VP9, AV_CODEC_ID_OPUS, true}, {OC_WEBM_VP9, AV_CODEC_ID_AAC, false}, {OC_MPG, AV_CODEC_ID_OPUS, false}};
    for (const auto& c : cases)
        EXPECT_EQ(CanCopySound(c.codec, c.sound), c.takes) << c.codec << " " << c.sound;
    EXPECT_TRUE(CanHoldPictures(OC_MKV_VP9, AV_CODEC_ID_H264));
    EXPECT_FALSE(CanHoldPictures(OC_WEBM_VP9, AV_CODEC_ID_H264));
    std::string in = MediaPath("gop2s_44k.mp4");
    tInputStreamInfo info = InputStream(in.c_str(), true, false).GetInfo();
    tCodecParams same = CopyRecord(in, OC_MP4);
    tCodecParams smaller = same, faster = same;
    smaller.iWidth /= 2;
    faster.iFps = 30;
    faster.iSourceFpsNum = faster.iSourceFpsDen = 0;
    EXPECT_TRUE(CanCopyVideo(same, info, {}));
    EXPECT_TRUE(CanCopyVideo(same, info, {0, 0, info.width, info.height}));
    EXPECT_FALSE(CanCopyVideo(same, info, {8, 8, 160, 120}));
    EXPECT_FALSE(CanCopyVideo(smaller, info, {}));
    EXPECT_FALSE(CanCopyVideo(faster, info, {}));

    std::string out = OutputPath("copy_refused.webm");
    ExportJob::Snapshot refused = Export({in, out, CopyRecord(in, OC_WEBM_VP9), wxRect(), 0, 2});
    EXPECT_EQ(refused.state, ExportJob::FAILED);
    EXPECT_EQ(refused.reason, "This output's container can't hold the source's pictures as they are.");
    EXPECT_FALSE(std::ifstream(out).good());

    out = OutputPath("copy_abandoned.mp4");
    {
        StreamCopier copier(in.c_str(), out.c_str(), same, wxRect(), 0, 0);
        for (int packets = 0; packets < 20; ++packets)
            copier.Copy();
        EXPECT_GT(copier.GetPictures(), 0u);
    }
    EXPECT_EQ(RunCommand("ls -A " + Quote(out.substr(0, out.rfind('/'))) + " | grep copy_abandoned").output, "");
}
