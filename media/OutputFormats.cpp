#include "media/OutputFormats.h"

#include <algorithm>
#include <iterator>

namespace {

const tSoundLimits aac = {
    {48000, 44100, 32000, 24000, 22050, 11025},
    {320000, 288000, 256000, 224000, 192000, 160000, 128000, 96000, 64000, 32000, 16000},
    {0, 0, 0, 1, 2, 6},
    {1, 2, 4, 6, 6, 8},
    2,
    256000,
};

// AAC in MP4 and MOV keeps a source's channels up to 5.1 when asked to.
const tSoundLimits aacSurround = {aac.sampleRates, aac.bitrates, aac.firstStereo, aac.firstMono, 6, 256000};

// MPEG-1 Layer II at the MPEG-1 rates.
const tSoundLimits mp2 = {
    {48000, 44100, 32000},
    {384000, 320000, 256000, 224000, 192000, 160000, 128000, 112000, 96000, 80000, 64000, 56000, 48000,
     32000},
    {0, 0, 0},
    {4, 4, 4},
    2,
    192000,
};

// The three rates both Flash containers take.
const tSoundLimits mp3 = {
    {44100, 22050, 11025},
    {320000, 288000, 256000, 224000, 192000, 160000, 128000, 96000, 64000, 32000, 16000},
    {0, 2, 6},
    {2, 6, 8},
    2,
    192000,
};

// SWF carries no timing for its sound, so the MP3 encoder's priming (1105
// samples) plays as sound beyond the range: 25 ms at 44.1 kHz, less than a
// picture, but 0.1 s at 11 kHz. SWF takes 44.1 kHz only.
const tSoundLimits mp3Swf = {
    {44100}, mp3.bitrates, {0}, {2}, 2, 192000,
};

// AMR-NB encodes 8000 Hz mono only, at its eight codec modes.
const tSoundLimits amr = {
    {8000}, {12200, 10200, 7950, 7400, 6700, 5900, 5150, 4750}, {0}, {0}, 1, 12200,
};

// Opus codes at 48 kHz; libopus maps up to 5.1 itself.
const tSoundLimits opus = {
    {48000},
    {256000, 192000, 160000, 128000, 96000, 64000, 48000, 32000},
    {0},
    {2},
    6,
    128000,
};

const tEncoderChoices fixedRate = {false, 0, 0, 0, nullptr, {}, 0, false, false};
// x264's default stays "faster", where its quality stops growing (README).
// Quality 0 would be lossless, which the High profile does not take.
const tEncoderChoices x264 = {true, 1, 51, 23, "preset",
    {"ultrafast", "superfast", "veryfast", "faster", "fast", "medium", "slow"}, 3, true, false};
// Default qualities measured on 2 s of grainy 1080p (key frames every 20
// pictures, default speeds) against x264 at 23 (9.1 Mbit/s, 37.7 dB PSNR):
// x265 24 gives 37.4 dB at 6.7 Mbit/s, SVT-AV1 30 37.7 dB at 6.0 Mbit/s,
// VP9 36 37.5 dB at 9.0 Mbit/s; each the value nearest x264's picture.
const tEncoderChoices x265 = {true, 0, 51, 24, "preset",
    {"ultrafast", "superfast", "veryfast", "faster", "fast", "medium", "slow"}, 5, true, true};
const tEncoderChoices svtAv1 = {true, 1, 63, 30, "preset",
    {"12", "10", "8", "6", "4"}, 2, false, true};
// libvpx takes cpu-used above 5 as 5 at the "good" deadline, so those are not offered.
const tEncoderChoices vp9 = {true, 0, 63, 36, "cpu-used", {"5", "4", "3", "2", "1"}, 1, true, false};

// The index goes before the media data, so a player can start while the
// file is still arriving.
const char* const fastStart = "movflags=+faststart";

// H.264 at level 5.1: 36864 macroblocks a picture, which holds 4096x2160
// and 3840x2160 (and their upright turns).
constexpr int64_t h264Area = 36864LL * 256;
// MPEG-4 Part 2 and the older codecs here are kept to this side.
constexpr int64_t anyArea = INT64_MAX;

const std::vector<tPictureSize> h263Sizes = {{128, 96}, {176, 144}, {352, 288}, {704, 576}, {1408, 1152}};

// The whole rates MPEG-1 and MPEG-2 video both define; the 1000/1001 rates
// of a source round to them and are kept.
const std::vector<int> mpegRates = {24, 25, 30, 50, 60};

// H.265 at level 5.1 and AV1 at level 6.0; VP9 is held to the same.
constexpr int64_t h265Area = 8912896;
constexpr int64_t av1Area = 35651584;

constexpr AVCodecID H264 = AV_CODEC_ID_H264, MPEG4 = AV_CODEC_ID_MPEG4, AAC = AV_CODEC_ID_AAC,
                    HEVC = AV_CODEC_ID_HEVC, AV1 = AV_CODEC_ID_AV1, VP9 = AV_CODEC_ID_VP9,
                    OPUS = AV_CODEC_ID_OPUS;

// In enumOutputCodec order.
const tOutputFormat formats[] = {
    {OC_MP4, "mp4", H264, AAC, "mp4", "mp4, H.264 video", "H.264", fastStart,
     4096, h264Area, 2, {}, 60, {}, 15000000, 5000000, aacSurround, false, x264},
    {OC_3GP, "3gp", AV_CODEC_ID_H263, AV_CODEC_ID_AMR_NB, "3gp", "3gp, H.263 video", "H.263", fastStart,
     1408, anyArea, 1, h263Sizes, 15, {}, 2000000, 384000, amr, false, fixedRate},
    {OC_3G2, "3g2", AV_CODEC_ID_H263, AV_CODEC_ID_AMR_NB, "3g2", "3g2, H.263 video", "H.263", fastStart,
     1408, anyArea, 1, h263Sizes, 15, {}, 2000000, 384000, amr, false, fixedRate},
    {OC_MPG, "mpeg", AV_CODEC_ID_MPEG1VIDEO, AV_CODEC_ID_MP2, "mpg", "mpg, MPEG-1 video", "MPEG-1", nullptr,
     2048, anyArea, 1, {}, 60, mpegRates, 15000000, 5000000, mp2, false, fixedRate},
    {OC_M2V, "mpegts", AV_CODEC_ID_MPEG2VIDEO, AV_CODEC_ID_MP2, "ts", "ts, MPEG-2 video", "MPEG-2", nullptr,
     2048, anyArea, 1, {}, 60, mpegRates, 15000000, 5000000, mp2, false, fixedRate},
    {OC_VOB, "dvd", AV_CODEC_ID_MPEG2VIDEO, AV_CODEC_ID_MP2, "vob", "vob (DVD), MPEG-2 video", "MPEG-2",
     nullptr, 2048, anyArea, 1, {}, 60, mpegRates, 15000000, 5000000, mp2, false, fixedRate},
    {OC_PSP, "psp", MPEG4, AAC, "psp", "psp, MPEG-4 Part 2 video", "MPEG-4 Part 2", fastStart,
     2048, anyArea, 2, {}, 60, {}, 15000000, 5000000, aac, true, fixedRate},
    {OC_MOV, "mov", H264, AAC, "mov", "mov, H.264 video", "H.264", fastStart,
     4096, h264Area, 2, {}, 60, {}, 15000000, 5000000, aacSurround, false, x264},
    {OC_SWF, "swf", AV_CODEC_ID_FLV1, AV_CODEC_ID_MP3, "swf", "swf, Sorenson H.263 video", "Sorenson H.263", nullptr,
     2048, anyArea, 1, {}, 30, {}, 15000000, 5000000, mp3Swf, false, fixedRate},
    {OC_FLV, "flv", AV_CODEC_ID_FLV1, AV_CODEC_ID_MP3, "flv", "flv, Sorenson H.263 video", "Sorenson H.263", nullptr,
     2048, anyArea, 1, {}, 30, {}, 15000000, 5000000, mp3, false, fixedRate},
    {OC_MP4_PART2, "mp4", MPEG4, AAC, "mp4", "mp4, MPEG-4 Part 2 video", "MPEG-4 Part 2", fastStart,
     2048, anyArea, 2, {}, 60, {}, 15000000, 5000000, aacSurround, false, fixedRate},
    {OC_MOV_PART2, "mov", MPEG4, AAC, "mov", "mov, MPEG-4 Part 2 video", "MPEG-4 Part 2", fastStart,
     2048, anyArea, 2, {}, 60, {}, 15000000, 5000000, aacSurround, false, fixedRate},
    {OC_MP4_H265, "mp4", HEVC, AAC, "mp4", "mp4, H.265 video", "H.265", fastStart,
     8192, h265Area, 2, {}, 60, {}, 50000000, 3000000, aacSurround, false, x265, {}, "hvc1"},
    {OC_MOV_H265, "mov", HEVC, AAC, "mov", "mov, H.265 video", "H.265", fastStart,
     8192, h265Area, 2, {}, 60, {}, 50000000, 3000000, aacSurround, false, x265, {}, "hvc1"},
    {OC_MP4_AV1, "mp4", AV1, AAC, "mp4", "mp4, AV1 video", "AV1", fastStart,
     8192, av1Area, 2, {}, 60, {}, 50000000, 3000000, aacSurround, false, svtAv1, {SC_OPUS}, nullptr, 64},
    {OC_MKV_H264, "matroska", H264, AAC, "mkv", "mkv, H.264 video", "H.264", nullptr,
     4096, h264Area, 2, {}, 60, {}, 50000000, 5000000, aacSurround, false, x264, {SC_OPUS}},
    {OC_MKV_H265, "matroska", HEVC, AAC, "mkv", "mkv, H.265 video", "H.265", nullptr,
     8192, h265Area, 2, {}, 60, {}, 50000000, 3000000, aacSurround, false, x265, {SC_OPUS}},
    {OC_MKV_AV1, "matroska", AV1, AAC, "mkv", "mkv, AV1 video", "AV1", nullptr,
     8192, av1Area, 2, {}, 60, {}, 50000000, 3000000, aacSurround, false, svtAv1, {SC_OPUS}, nullptr, 64},
    {OC_MKV_VP9, "matroska", VP9, AAC, "mkv", "mkv, VP9 video", "VP9", nullptr,
     8192, av1Area, 2, {}, 60, {}, 50000000, 3000000, aacSurround, false, vp9, {SC_OPUS}},
    {OC_WEBM_VP9, "webm", VP9, OPUS, "webm", "webm, VP9 video", "VP9", nullptr,
     8192, av1Area, 2, {}, 60, {}, 50000000, 3000000, opus, false, vp9},
    {OC_WEBM_AV1, "webm", AV1, OPUS, "webm", "webm, AV1 video", "AV1", nullptr,
     8192, av1Area, 2, {}, 60, {}, 50000000, 3000000, opus, false, svtAv1, {}, nullptr, 64},
};
static_assert(std::size(formats) == OUTPUT_CODEC_COUNT, "one row per output codec");

}  // namespace

bool IsOutputCodec(int codec)
{
    return codec >= 0 && codec < OUTPUT_CODEC_COUNT;
}

const tOutputFormat& OutputFormat(enumOutputCodec codec)
{
    return formats[IsOutputCodec(codec) ? codec : OC_MP4];
}

bool TakesSound(enumOutputCodec codec, enumSoundCodec sound)
{
    const std::vector<enumSoundCodec>& other = OutputFormat(codec).otherSound;
    return sound == SC_OUTPUT || std::find(other.begin(), other.end(), sound) != other.end();
}

AVCodecID SoundCodec(enumOutputCodec codec, enumSoundCodec sound)
{
    if (sound == SC_OPUS && TakesSound(codec, sound))
        return OPUS;
    if (sound == SC_AAC && TakesSound(codec, sound))
        return AAC;
    return OutputFormat(codec).audioCodec;
}

const tSoundLimits& SoundLimits(enumOutputCodec codec, enumSoundCodec sound)
{
    AVCodecID chosen = SoundCodec(codec, sound);
    if (chosen == OutputFormat(codec).audioCodec)
        return OutputFormat(codec).sound;
    return chosen == OPUS ? opus : aacSurround;
}
