#include "media/ContainerProfiles.h"

#include <algorithm>
#include <cmath>
#include <iterator>

extern "C" {
#include <libavutil/opt.h>
}

const int piAudioBitrates3gp[8] = {4750, 5150, 5900, 6700, 7400, 7950, 10200, 12200};
const int piVIdeoWidth[5] = {128, 176, 352, 704, 1408};
const int piVIdeoHeight[5] = {96, 144, 288, 576, 1152};

namespace {

// The codecs are pinned per profile, so a record gives the same kind of file
// whatever this FFmpeg build would pick by default.
struct ContainerProfile {
    const char* muxer;
    AVCodecID audioCodec;
    AVCodecID videoCodec;
    AVStreamCreator createAudio;
    AVStreamCreator createVideo;
    const char* muxerOptions;
    const char* videoName;
};

// The index goes before the media data, so a player can start while the
// file is still arriving.
const char* const fastStart = "movflags=+faststart";

// In enumOutputCodec order.
const ContainerProfile profiles[] = {
    {"mp4", AV_CODEC_ID_AAC, AV_CODEC_ID_H264, CreateAudioStreamMP4, CreateVideoStreamMP4, fastStart, "H.264"},
    {"3gp", AV_CODEC_ID_AMR_NB, AV_CODEC_ID_H263, CreateAudioStream3GP, CreateVideoStream3GP, fastStart, "H.263"},
    {"3g2", AV_CODEC_ID_AMR_NB, AV_CODEC_ID_H263, CreateAudioStream3GP, CreateVideoStream3GP, fastStart, "H.263"},
    {"mpeg", AV_CODEC_ID_MP2, AV_CODEC_ID_MPEG1VIDEO, CreateAudioStreamMPG, CreateVideoStreamMPG, nullptr, "MPEG-1"},
    {"mpegts", AV_CODEC_ID_MP2, AV_CODEC_ID_MPEG2VIDEO, CreateAudioStreamMPG, CreateVideoStreamMPG, nullptr, "MPEG-2"},
    {"dvd", AV_CODEC_ID_MP2, AV_CODEC_ID_MPEG2VIDEO, CreateAudioStreamMPG, CreateVideoStreamMPG, nullptr, "MPEG-2"},
    {"psp", AV_CODEC_ID_AAC, AV_CODEC_ID_MPEG4, CreateAudioStreamPSP, CreateVideoStreamPSP, fastStart, "MPEG-4 Part 2"},
    {"mov", AV_CODEC_ID_AAC, AV_CODEC_ID_H264, CreateAudioStreamMOV, CreateVideoStreamMOV, fastStart, "H.264"},
    {"swf", AV_CODEC_ID_MP3, AV_CODEC_ID_FLV1, CreateAudioStreamSWF, CreateVideoStreamSWF, nullptr, "Sorenson H.263"},
    {"flv", AV_CODEC_ID_MP3, AV_CODEC_ID_FLV1, CreateAudioStreamFLV, CreateVideoStreamFLV, nullptr, "Sorenson H.263"},
    {"mp4", AV_CODEC_ID_AAC, AV_CODEC_ID_MPEG4, CreateAudioStreamMP4, CreateVideoStreamMP4, fastStart, "MPEG-4 Part 2"},
    {"mov", AV_CODEC_ID_AAC, AV_CODEC_ID_MPEG4, CreateAudioStreamMOV, CreateVideoStreamMOV, fastStart, "MPEG-4 Part 2"},
};
static_assert(std::size(profiles) == OUTPUT_CODEC_COUNT, "one profile per output codec");

const enumOutputCodec mpegFormats[] = {OC_MPG, OC_M2V, OC_VOB};
const enumOutputCodec versions3GP[] = {OC_3GP, OC_3G2};

// x264's speed and size balance for every H.264 file; see the README.
const char* const h264Preset = "faster";

// H.264 levels (Annex A): the largest macroblock rate, frame size in
// macroblocks and High-profile bit rate (kbit/s) each allows.
struct H264Level {
    int level;
    int64_t macroblocksPerSecond;
    int frameMacroblocks;
    int64_t highKbps;
};
const H264Level h264Levels[] = {
    {10, 1485, 99, 80},           {11, 3000, 396, 240},         {12, 6000, 396, 480},
    {13, 11880, 396, 960},        {20, 11880, 396, 2500},       {21, 19800, 792, 5000},
    {22, 20250, 1620, 5000},      {30, 40500, 1620, 12500},     {31, 108000, 3600, 17500},
    {32, 216000, 5120, 25000},    {40, 245760, 8192, 25000},    {41, 245760, 8192, 62500},
    {42, 522240, 8704, 62500},    {50, 589824, 22080, 168750},  {51, 983040, 36864, 300000},
    {52, 2073600, 36864, 300000},
};

// The lowest level whose limits hold the picture size, rate and bit rate.
int FittingH264Level(int width, int height, AVRational rate, int64_t bitrate)
{
    int frame = ((width + 15) / 16) * ((height + 15) / 16);
    int64_t perSecond = av_rescale_rnd(frame, rate.num, rate.den, AV_ROUND_UP);
    for (const H264Level& level : h264Levels) {
        // A side may not be longer than the square root of eight frames.
        int longestSide = (std::max(width, height) + 15) / 16;
        if (frame <= level.frameMacroblocks && perSecond <= level.macroblocksPerSecond &&
            int64_t(longestSide) * longestSide <= 8LL * level.frameMacroblocks &&
            bitrate <= level.highKbps * 1000)
            return level.level;
    }
    return h264Levels[std::size(h264Levels) - 1].level;
}

void SetUpH264(AVCodecContext* codec, AVRational rate)
{
    av_opt_set(codec->priv_data, "preset", h264Preset, 0);
    av_opt_set(codec->priv_data, "profile", "high", 0);
    codec->level = FittingH264Level(codec->width, codec->height, rate, codec->bit_rate);
    // A GOP of 0 asks for key frames only, which x264 calls an interval of 1.
    codec->gop_size = std::max(codec->gop_size, 1);
}

tFFMpegEncoder* Open(enumOutputCodec codec, const char* fileName, const void* audio,
                     const void* video, bool noAudio)
{
    if (codec < 0 || codec >= OUTPUT_CODEC_COUNT)
        return nullptr;
    const ContainerProfile& profile = profiles[codec];
    return OpenOutput(fileName, profile.muxer, profile.audioCodec, profile.createAudio, audio,
                      profile.videoCodec, profile.createVideo, video, noAudio, profile.muxerOptions);
}

AVStream* NewStream(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, AVMediaType type)
{
    AVStream* stream = avformat_new_stream(context, nullptr);
    if (!stream)
        return nullptr;
    stream->id = int(context->nb_streams) - 1;
    codec->codec_id = id;
    codec->codec_type = type;
    return stream;
}

// Interleaved 16-bit where the encoder takes it, planar 16-bit next, else
// the encoder's first format (AAC takes planar float only).
AVSampleFormat ChooseSampleFormat(const AVCodec* encoder)
{
    const AVSampleFormat* formats = encoder->sample_fmts;
    if (!formats)
        return AV_SAMPLE_FMT_S16;
    for (AVSampleFormat wanted : {AV_SAMPLE_FMT_S16, AV_SAMPLE_FMT_S16P}) {
        for (const AVSampleFormat* f = formats; *f != AV_SAMPLE_FMT_NONE; ++f) {
            if (*f == wanted)
                return wanted;
        }
    }
    return formats[0];
}

AVStream* CreateAudioStream(AVFormatContext* context, AVCodecContext* codec, AVCodecID id,
                            int bitrate, int sampleRate, int channels, bool globalHeader)
{
    AVStream* stream = NewStream(context, codec, id, AVMEDIA_TYPE_AUDIO);
    if (!stream || channels < 1 || sampleRate < 1)
        return nullptr;
    codec->bit_rate = bitrate;
    codec->sample_rate = sampleRate;
    av_channel_layout_uninit(&codec->ch_layout);
    av_channel_layout_default(&codec->ch_layout, channels);
    codec->sample_fmt = ChooseSampleFormat(codec->codec);
    codec->time_base = AVRational{1, sampleRate};
    if (globalHeader)
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    return stream;
}

AVRational RateOf(int fps, int rateNum, int rateDen)
{
    return rateNum > 0 && rateDen > 0 ? AVRational{rateNum, rateDen} : AVRational{fps, 1};
}

AVStream* CreateVideoStream(AVFormatContext* context, AVCodecContext* codec, AVCodecID id,
                            int bitrate, int width, int height, AVRational rate, int gopSize, bool globalHeader,
                            const tColourTags& colour = tColourTags())
{
    AVStream* stream = NewStream(context, codec, id, AVMEDIA_TYPE_VIDEO);
    if (!stream || rate.num < 1 || rate.den < 1 || av_q2d(rate) < 1.0)
        return nullptr;
    codec->bit_rate = bitrate;
    codec->width = width;
    codec->height = height;
    codec->time_base = av_inv_q(rate);
    codec->framerate = rate;
    codec->gop_size = gopSize;
    codec->pix_fmt = AV_PIX_FMT_YUV420P;
    codec->colorspace = AVColorSpace(colour.matrix);
    codec->color_primaries = AVColorPrimaries(colour.primaries);
    codec->color_trc = AVColorTransferCharacteristic(colour.transfer);
    codec->color_range = AVColorRange(colour.range);
    codec->thread_count = 0;  // as many encoder threads as the machine suits
    if (id == AV_CODEC_ID_H264)
        SetUpH264(codec, rate);
    if (globalHeader)
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    return stream;
}

int IndexOf(const int* table, int count, int value)
{
    const int* found = std::find(table, table + count, value);
    return found == table + count ? -1 : int(found - table);
}

}  // namespace

AVStream* CreateAudioStreamMP4(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params)
{
    auto audio = static_cast<const tAudioParamsMP4*>(params);
    return CreateAudioStream(context, codec, id, audio->iBitrate, audio->iSampleRate, audio->iChannels, true);
}

AVStream* CreateVideoStreamMP4(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params)
{
    auto video = static_cast<const tVideoParamsMP4*>(params);
    return CreateVideoStream(context, codec, id, video->iBitrate, video->iWidth, video->iHeight,
                             RateOf(video->iFps, video->iRateNum, video->iRateDen), video->iGopSize, true,
                             video->colour);
}

AVStream* CreateAudioStreamMPG(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params)
{
    auto audio = static_cast<const tAudioParamsMP4*>(params);
    return CreateAudioStream(context, codec, id, audio->iBitrate, audio->iSampleRate, audio->iChannels, false);
}

AVStream* CreateVideoStreamMPG(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params)
{
    auto video = static_cast<const tVideoParamsMP4*>(params);
    AVStream* stream = CreateVideoStream(context, codec, id, video->iBitrate, video->iWidth, video->iHeight,
                                         RateOf(video->iFps, video->iRateNum, video->iRateDen),
                                         video->iGopSize, false, video->colour);
    if (stream && id == AV_CODEC_ID_MPEG1VIDEO)
        codec->mb_decision = FF_MB_DECISION_RD;
    return stream;
}

AVStream* CreateAudioStream3GP(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params)
{
    auto bitrate = *static_cast<const enumAudioBitrate3GP*>(params);
    if (bitrate < 0 || bitrate >= int(std::size(piAudioBitrates3gp)))
        return nullptr;
    return CreateAudioStream(context, codec, id, piAudioBitrates3gp[bitrate], 8000, 1, true);
}

AVStream* CreateVideoStream3GP(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params)
{
    auto video = static_cast<const tVideoParams3GP*>(params);
    int index = video->iResolutionIndex;
    if (index < 0 || index >= int(std::size(piVIdeoWidth)))
        return nullptr;
    return CreateVideoStream(context, codec, id, video->iBitrate, piVIdeoWidth[index], piVIdeoHeight[index],
                             RateOf(video->iFps, video->iRateNum, video->iRateDen), video->iGopSize, true);
}

tFFMpegEncoder* OpenOutputProfile(enumOutputCodec codec, const char* fileName, tAudioParamsMP4 audio,
                                  tVideoParamsMP4 video, bool noAudio)
{
    if (codec == OC_3GP || codec == OC_3G2)
        return nullptr;
    if (codec != OC_PSP || !noAudio)
        return Open(codec, fileName, &audio, &video, noAudio);
    // The PSP muxer refuses to start without a sound track. Declare one that
    // is never written: the muxer leaves a track without samples out of the
    // file, which then holds the video alone.
    tAudioParamsMP4 silent = {128000, 44100, 2};
    tFFMpegEncoder* encoder = Open(codec, fileName, &silent, &video, false);
    if (encoder)
        encoder->bAudioUnused = true;
    return encoder;
}

tFFMpegEncoder* OpenOutputMP4(const char* fileName, tAudioParamsMP4 audio, tVideoParamsMP4 video, bool noAudio)
{
    return OpenOutputProfile(OC_MP4, fileName, audio, video, noAudio);
}

tFFMpegEncoder* OpenOutputPSP(const char* fileName, tAudioParamsMP4 audio, tVideoParamsMP4 video, bool noAudio)
{
    return OpenOutputProfile(OC_PSP, fileName, audio, video, noAudio);
}

tFFMpegEncoder* OpenOutputMOV(const char* fileName, tAudioParamsMP4 audio, tVideoParamsMP4 video, bool noAudio)
{
    return OpenOutputProfile(OC_MOV, fileName, audio, video, noAudio);
}

tFFMpegEncoder* OpenOutputSWF(const char* fileName, tAudioParamsMP4 audio, tVideoParamsMP4 video, bool noAudio)
{
    return OpenOutputProfile(OC_SWF, fileName, audio, video, noAudio);
}

tFFMpegEncoder* OpenOutputFLV(const char* fileName, tAudioParamsMP4 audio, tVideoParamsMP4 video, bool noAudio)
{
    return OpenOutputProfile(OC_FLV, fileName, audio, video, noAudio);
}

tFFMpegEncoder* OpenOutputMPG(const char* fileName, enumMpegFormat format, tAudioParamsMP4 audio,
                              tVideoParamsMP4 video, bool noAudio)
{
    if (format < 0 || format >= int(std::size(mpegFormats)))
        return nullptr;
    return OpenOutputProfile(mpegFormats[format], fileName, audio, video, noAudio);
}

tFFMpegEncoder* OpenOutput3GP(const char* fileName, enum3GPVersion version, enumAudioBitrate3GP bitrate,
                              tVideoParams3GP video, bool noAudio)
{
    if (version < 0 || version >= int(std::size(versions3GP)))
        return nullptr;
    return Open(versions3GP[version], fileName, &bitrate, &video, noAudio);
}

tProfileCodecs ProfileCodecs(enumOutputCodec codec)
{
    if (codec < 0 || codec >= OUTPUT_CODEC_COUNT)
        return {AV_CODEC_ID_NONE, AV_CODEC_ID_NONE, ""};
    const ContainerProfile& profile = profiles[codec];
    return {profile.videoCodec, profile.audioCodec, profile.videoName};
}

AVRational OutputFrameRate(const tCodecParams& params)
{
    int fps = params.iFps;
    if (params.eCodec == OC_3GP || params.eCodec == OC_3G2)
        fps = std::min(fps, 15);
    if (fps < 1)
        return AVRational{0, 1};
    AVRational source{params.iSourceFpsNum, params.iSourceFpsDen};
    if (source.num > 0 && source.den > 0 && std::lround(av_q2d(source)) == fps)
        return source;
    return AVRational{fps, 1};
}

int Find3GPAudioBitrate(int bitrate)
{
    return IndexOf(piAudioBitrates3gp, int(std::size(piAudioBitrates3gp)), bitrate);
}

bool ConvertAndPrepareVideoParams3GP(tVideoParamsMP4& in, tVideoParams3GP& out)
{
    if (in.iFps > 15) {
        in.iFps = 15;
        in.iRateNum = in.iRateDen = 0;
    }
    out.iBitrate = in.iBitrate;
    out.iFps = in.iFps;
    out.iGopSize = in.iGopSize;
    out.iRateNum = in.iRateNum;
    out.iRateDen = in.iRateDen;
    int widthIndex = IndexOf(piVIdeoWidth, int(std::size(piVIdeoWidth)), in.iWidth);
    int heightIndex = IndexOf(piVIdeoHeight, int(std::size(piVIdeoHeight)), in.iHeight);
    if (widthIndex < 0 || widthIndex != heightIndex)
        return false;
    out.iResolutionIndex = widthIndex;
    return true;
}

bool ConvertAndPrepareAudioParams3GP(tAudioParamsMP4& in, enumAudioBitrate3GP& out)
{
    in.iSampleRate = 8000;
    in.iChannels = 1;
    int index = Find3GPAudioBitrate(in.iBitrate);
    if (index < 0)
        return false;
    out = enumAudioBitrate3GP(index);
    return true;
}
