// The read-back of finished exports: files made to measure by the ffmpeg
// tool, the same files spoiled after writing, real exports, and the words
// the result is told in.
#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "media/FormatRules.h"
#include "media/OutputFormats.h"
#include "pipeline/ExportCheck.h"
#include "pipeline/ExportReport.h"
#include "pipeline/ExportJob.h"
#include "support/ExportRecord.h"
#include "support/MediaProbe.h"
#include "support/TestMedia.h"

extern "C" {
#include <libavcodec/codec_id.h>
}

using namespace testsupport;

namespace {

// 4 s of 320x240 at 25 fps with sound at 44.1 kHz stereo, exactly as an
// export of a 4 s range should be; MPEG-4 and AAC unless other codecs are given.
std::string ExactFile(const std::string& name = "exact.mp4", const std::string& codecs = "-c:v mpeg4 -c:a aac")
{
    std::string path = OutputPath(name);
    RunCommand("ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=320x240:rate=25:duration=4 -f lavfi "
               "-i sine=sample_rate=44100:duration=4 -ac 2 " + codecs + " " + Quote(path));
    return path;
}

tExportRequest ExactRequest()
{
    tExportRequest r;
    r.dRangeSeconds = 4.0;
    r.dFps = 25;
    r.iWidth = 320;
    r.iHeight = 240;
    r.iVideoCodec = AV_CODEC_ID_MPEG4;
    r.bAudio = true;
    r.iAudioCodec = AV_CODEC_ID_AAC;
    r.iSampleRate = 44100;
    r.iChannels = 2;
    return r;
}

std::vector<enumExportFault> Kinds(const tExportCheck& check)
{
    std::vector<enumExportFault> kinds;
    for (const tExportFault& f : check.faults)
        kinds.push_back(f.eKind);
    return kinds;
}

tExportCheck ExportAndCheck(const std::string& in, const std::string& out, const tCodecParams& params,
                            double start, double end)
{
    ExportJob job({in, out, params, wxRect(), start, end});
    job.Wait();
    ExportJob::Snapshot done = job.GetSnapshot();
    EXPECT_EQ(done.state, ExportJob::FINISHED) << done.reason;
    return done.check;
}

}  // namespace

// Containers that mark the sound encoder's lead-in and those that keep it.
TEST(ExportCheck, FilesMadeToTheRequestPassAndAreSummedUpInOneLine)
{
    tExportCheck check = ExportCheck(ExactRequest()).Check(ExactFile().c_str());
    EXPECT_TRUE(check.Passed()) << ExportReportText(check);
    EXPECT_EQ(ExportReportText(check), "100 pictures, 0:04.0, 320x240 MPEG-4, sound 44.1 kHz stereo \u2014 checked");
    // `narrow`: 352x288 with 8 kHz mono.
    const struct { const char* name; const char* codecs; AVCodecID video, audio; bool narrow; } cases[] = {
        {"exact.flv", "-c:v flv1 -c:a libmp3lame", AV_CODEC_ID_FLV1, AV_CODEC_ID_MP3, false},
        {"exact.swf", "-c:v flv1 -c:a libmp3lame", AV_CODEC_ID_FLV1, AV_CODEC_ID_MP3, false},
        {"exact.mpg", "-c:v mpeg1video -c:a mp2", AV_CODEC_ID_MPEG1VIDEO, AV_CODEC_ID_MP2, false},
        {"exact.ts", "-c:v mpeg2video -c:a mp2", AV_CODEC_ID_MPEG2VIDEO, AV_CODEC_ID_MP2, false},
        {"exact.3gp", "-c:v h263 -s 352x288 -c:a libopencore_amrnb -ar 8000 -ac 1", AV_CODEC_ID_H263,
         AV_CODEC_ID_AMR_NB, true},
    };
    for (const auto& c : cases) {
        tExportRequest request = ExactRequest();
        request.iVideoCodec = c.video, request.iAudioCodec = c.audio;
        if (c.narrow)
            request.iWidth = 352, request.iHeight = 288, request.iSampleRate = 8000, request.iChannels = 1;
        check = ExportCheck(request).Check(ExactFile(c.name, c.codecs).c_str());
        EXPECT_TRUE(check.Passed()) << c.name << ": " << ExportReportText(check);
    }
}

TEST(ExportCheck, FilesSpoiledAfterWritingGiveTheRightWarnings)
{
    static const std::string exact = Quote(ExactFile());
    // `spoil`: a shell command from the exact file to OUT.
    struct { const char* name; std::string spoil; std::vector<enumExportFault> faults; const char* warning; } cases[] = {
        {"sound_cut.mp4", "ffmpeg -nostdin -v error -i " + exact + " -t 3.6 -i " + exact +
                              " -map 0:v -map 1:a -c copy OUT",
         {EF_AUDIO_LENGTH, EF_AUDIO_END}, "the sound ends 0.4 s before the picture"},
        {"picture_cut.mp4", "ffmpeg -nostdin -v error -t 3 -i " + exact + " -i " + exact +
                                " -map 0:v -map 1:a -c copy OUT",
         {EF_PICTURE_COUNT, EF_VIDEO_LENGTH, EF_AUDIO_END}, "25 pictures missing: 75 where 100 were due at 25 fps"},
        {"truncated.mp4", "head -c 150000 " + exact + " > OUT", {EF_DOES_NOT_OPEN}, "the file does not open"},
        {"truncated_index_first.mp4", "ffmpeg -nostdin -v error -y -i " + exact +
                                          " -c copy -movflags +faststart OUT.whole.mp4 && head -c 150000 OUT.whole.mp4 > OUT",
         {EF_READ_ERROR, EF_PICTURE_COUNT, EF_VIDEO_LENGTH, EF_AUDIO_LENGTH, EF_AUDIO_END},
         "the file cannot be read past 0:02.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out = OutputPath(c.name), command = c.spoil;
        for (size_t at; (at = command.find("OUT")) != std::string::npos;)
            command.replace(at, 3, out);
        RunCommand(command);
        tExportCheck check = ExportCheck(ExactRequest()).Check(out.c_str());
        EXPECT_EQ(Kinds(check), c.faults) << ExportReportText(check);
        std::vector<std::string> warnings = ExportWarnings(check);
        if (c.warning) {
            EXPECT_NE(std::find(warnings.begin(), warnings.end(), c.warning), warnings.end()) << ExportReportText(check);
        }
        EXPECT_EQ(ExportSummaryLine(check).find("checked"), std::string::npos);
    }
}

TEST(ExportCheck, LengthsMayDifferByOnePictureAndTheSoundByOneEncoderFrame)
{
    const double frame = 1024.0 / 44100;  // 23.2 ms
    const struct {
        const char* name;
        std::function<void(tExportCheck&, tExportRequest&)> change;
        std::vector<enumExportFault> faults;
    } cases[] = {
        {"as asked", [](tExportCheck&, tExportRequest&) {}, {}},
        {"one picture more", [](tExportCheck& f, tExportRequest&) { f.video.iPackets = 101; }, {}},
        {"two pictures fewer", [](tExportCheck& f, tExportRequest&) { f.video.iPackets = 98; }, {EF_PICTURE_COUNT}},
        {"picture a picture long, sound along", [](tExportCheck& f, tExportRequest&) {
             f.video.dEnd = 4.04, f.audio.dEnd = 4.02; }, {}},
        {"picture over a picture long", [](tExportCheck& f, tExportRequest&) { f.video.dEnd = 4.045; },
         {EF_VIDEO_LENGTH, EF_AUDIO_END}},
        {"sound short by under a frame", [=](tExportCheck& f, tExportRequest&) { f.audio.dEnd = 4 - frame + 0.0005; }, {}},
        {"sound short by over a frame", [=](tExportCheck& f, tExportRequest&) { f.audio.dEnd = 4 - frame - 0.002; },
         {EF_AUDIO_LENGTH, EF_AUDIO_END}},
        {"cancelled, judged by itself", [](tExportCheck& f, tExportRequest& r) {
             r.bCancelled = true, f.video.iPackets = 50, f.video.dEnd = 2.0, f.audio.dEnd = 2.01; }, {}},
        {"cancelled, sound ends early", [](tExportCheck& f, tExportRequest& r) {
             r.bCancelled = true, f.video.iPackets = 50, f.video.dEnd = 2.0, f.audio.dEnd = 1.9; }, {EF_AUDIO_END}},
        {"other codecs and sizes", [](tExportCheck& f, tExportRequest&) {
             f.video.iCodec = AV_CODEC_ID_H264, f.iChannels = 1, f.iSampleRate = 48000; },
         {EF_VIDEO_CODEC, EF_AUDIO_FORMAT}},
        {"no sound, packets out of order", [](tExportCheck& f, tExportRequest&) {
             f.audio = tStreamReadBack(), f.video.iOutOfOrder = 2; }, {EF_NO_AUDIO, EF_OUT_OF_ORDER}},
        {"does not open", [](tExportCheck& f, tExportRequest&) { f.bOpened = false; }, {EF_DOES_NOT_OPEN}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tExportRequest request = ExactRequest();
        tExportCheck found;
        found.bOpened = true;
        found.video = {true, AV_CODEC_ID_MPEG4, 100, 0, 0.0, 4.0};
        found.audio = {true, AV_CODEC_ID_AAC, 173, 0, 0.0, 4.0};
        found.iWidth = 320, found.iHeight = 240, found.iSampleRate = 44100, found.iChannels = 2;
        found.iAudioFrameSize = 1024;
        c.change(found, request);
        ExportCheck(request).Compare(found);
        EXPECT_EQ(Kinds(found), c.faults) << ExportReportText(found);
    }
}

TEST(ExportCheck, WordsTellRatesClocksAndDifferences)
{
    tExportCheck check;
    check.asked = ExactRequest();
    check.bOpened = true;
    check.video = {true, AV_CODEC_ID_FLV1, 1, 0, 0.0, 3723.46};
    check.iWidth = 176, check.iHeight = 144;
    check.faults = {{EF_AUDIO_END, 0.06}, {EF_VIDEO_LENGTH, -1.04}, {EF_PICTURE_COUNT, -2}, {EF_OUT_OF_ORDER, 1}};
    EXPECT_EQ(ExportReportText(check), "1 picture, 1:02:03.5, 176x144 Sorenson H.263, no sound\n"
                                       "Warning: the sound ends 60 ms after the picture\n"
                                       "Warning: the picture lasts 1.0 s less than the range\n"
                                       "Warning: 2 pictures missing: 1 where 3 were due at 25 fps\n"
                                       "Warning: 1 packet is out of order");
    check.audio = {true, AV_CODEC_ID_AMR_NB, 0, 0, 0.0, 0.0};
    check.faults.clear();
    for (auto [rate, channels, text] : {std::tuple{22050, 1, "22.05 kHz mono"}, {48000, 6, "48 kHz 5.1"}}) {
        check.iSampleRate = rate, check.iChannels = channels;
        EXPECT_NE(ExportSummaryLine(check).find(std::string(", sound ") + text + " \u2014 checked"), std::string::npos);
    }
}

// Each output's export, with sound and without, reads back whole in its
// container, decodes cleanly, has the codecs, size and sound its profile
// pins, in packets that come in order, and shows the source's pictures at
// the source's shape: a 4:3 source written 352x288 is shown 4:3 through the
// pixel shape every container but Flash's carries.
TEST(ExportCheck, EveryOutputsExportHasItsContainerTheChosenStreamsAndTheSourcesPictures)
{
    const char* const mp4 = "mov,mp4,m4a,3gp,3g2,mj2";
    const char* const mkv = "matroska,webm";
    const struct {
        enumOutputCodec codec;
        const char* format;  // ffprobe's format_name
        enumSoundCodec sound = SC_OUTPUT;
        const char* tag = nullptr;  // the video's codec_tag_string, where it matters
    } outputs[] = {
        {OC_MP4, mp4}, {OC_MP4_PART2, mp4}, {OC_3GP, mp4}, {OC_3G2, mp4}, {OC_MPG, "mpeg"}, {OC_M2V, "mpegts"},
        {OC_VOB, "mpeg"}, {OC_PSP, mp4}, {OC_MOV, mp4}, {OC_MOV_PART2, mp4}, {OC_SWF, "swf"}, {OC_FLV, "flv"},
        {OC_MP4_H265, mp4, SC_OUTPUT, "hvc1"}, {OC_MOV_H265, mp4, SC_OUTPUT, "hvc1"}, {OC_MP4_AV1, mp4, SC_OPUS},
        {OC_MKV_H264, mkv, SC_OPUS}, {OC_MKV_H265, mkv}, {OC_MKV_AV1, mkv}, {OC_MKV_VP9, mkv, SC_OPUS},
        {OC_WEBM_VP9, mkv}, {OC_WEBM_AV1, mkv},
    };
    ASSERT_EQ(std::size(outputs), size_t(OUTPUT_CODEC_COUNT));
    std::string in = MediaPath("av_h264_aac.mp4");
    for (const auto& o : outputs) {
        for (bool sound : {true, false}) {
            SCOPED_TRACE(std::to_string(o.codec) + (sound ? " with sound" : " without"));
            tCodecParams params = RecordFor(in);
            params.eCodec = o.codec, params.eSoundCodec = o.sound, params.bAudioEnabled = sound;
            bool flash = o.codec == OC_SWF || o.codec == OC_FLV;
            params.iWidth = flash ? 320 : 352, params.iHeight = flash ? 240 : 288;
            params.iSpeed = 0;  // the fastest
            params = NormaliseForFormat(params);
            std::string out = OutputPath("family_" + std::to_string(o.codec));
            tExportCheck check = ExportAndCheck(in, out, params, 1, 2);
            // MP3 in FLV keeps the encoder's lead-in and end padding (up to
            // 60 ms), which the container cannot mark.
            for (enumExportFault kind : Kinds(check))
                EXPECT_TRUE(o.codec == OC_FLV && (kind == EF_AUDIO_LENGTH || kind == EF_AUDIO_END))
                    << ExportReportText(check);
            EXPECT_GT(check.video.iPackets, 0);
            EXPECT_EQ(check.audio.iPackets > 0, sound);
            EXPECT_EQ(ProbeFormat(out)["format_name"], o.format);
            if (o.tag)
                EXPECT_EQ(ProbeStreams(out)[0]["codec_tag_string"], o.tag);
            EXPECT_EQ(DecodeErrors(out), "");
        }
    }
}

// The file of a target size lands within 3 % below it and 1 % above, for a
// short range and a long one, over x264's and x265's two passes.
TEST(ExportCheck, ATargetSizeIsMetForAShortAndALongRange)
{
    std::string in = OutputPath("long.mkv");
    RunCommand("ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=320x240:rate=25:duration=62 -f lavfi "
               "-i sine=sample_rate=48000:duration=62 -vf noise=alls=12:allf=t -ac 2 -c:v libx264 -preset ultrafast "
               "-crf 16 -c:a aac " + Quote(in));
    const struct {
        enumOutputCodec codec;
        double start, end;
        int targetKB;
    } cases[] = {
        {OC_MP4, 1, 6, 500}, {OC_MP4, 1, 61, 3000}, {OC_MKV_H265, 1, 6, 400}, {OC_MKV_H265, 1, 61, 2500},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.codec) + " " + std::to_string(c.end - c.start) + " s");
        tCodecParams params = RecordFor(in);
        params.eCodec = c.codec;
        params.eVideoRate = VR_TARGET_SIZE;
        params.iTargetKB = c.targetKB;
        params.iSpeed = 0;
        params = NormaliseForFormat(params);
        std::string out = OutputPath(std::string("target.") + OutputFormat(c.codec).extension);
        tExportCheck check = ExportAndCheck(in, out, params, c.start, c.end);
        EXPECT_TRUE(check.Passed()) << ExportReportText(check);
        double kB = std::stod(ProbeFormat(out)["size"]) / 1000;
        EXPECT_GE(kB, c.targetKB * 0.97);
        EXPECT_LE(kB, c.targetKB * 1.01);
    }
}
