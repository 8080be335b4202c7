#include "media/ContainerProfiles.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

extern "C" {
#include <libavutil/opt.h>
}

#include "media/OutputFormats.h"

namespace {

const enumOutputCodec mpegFormats[] = {OC_MPG, OC_M2V, OC_VOB};
const enumOutputCodec versions3GP[] = {OC_3GP, OC_3G2};

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
    av_opt_set(codec->priv_data, "profile", "high", 0);
    codec->level = FittingH264Level(codec->width, codec->height, rate, codec->bit_rate);
}

// x265 tells everything it does on the standard error unless told not to;
// its two passes are set among its own parameters.
void SetUpH265(AVCodecContext* codec, const tEncoding& encoding)
{
    std::string params = "log-level=error";
    if (encoding.pass > 0)
        params += ":pass=" + std::to_string(encoding.pass) + ":stats=" + encoding.stats;
    av_opt_set(codec->priv_data, "x265-params", params.c_str(), 0);
}

// x264 keeps its statistics in a file of its own; libvpx hands them out
// (base64) when drained and takes them back in memory.
void SetUpPass(AVCodecContext* codec, const tEncoding& encoding)
{
    if (encoding.pass == 0 || codec->codec_id == AV_CODEC_ID_HEVC)
        return;
    codec->flags |= encoding.pass == 1 ? AV_CODEC_FLAG_PASS1 : AV_CODEC_FLAG_PASS2;
    if (codec->codec_id == AV_CODEC_ID_H264)
        av_opt_set(codec->priv_data, "stats", encoding.stats.c_str(), 0);
    if (codec->codec_id == AV_CODEC_ID_VP9 && encoding.pass == 2)
        codec->stats_in = av_strdup(encoding.statsIn.c_str());
}

// The rate control, speed, pixels and tag an output's row and the encoding
// choose. A GOP of 0 asks for key frames only, which these encoders call an
// interval of 1.
void SetUpEncoder(AVCodecContext* codec, const tOutputFormat& format, const tEncoding& encoding)
{
    const tEncoderChoices& choices = format.encoder;
    if (!choices.speedOption)
        return;
    codec->gop_size = std::max(codec->gop_size, 1);
    bool known = encoding.speed >= 0 && encoding.speed < int(choices.speeds.size());
    av_opt_set(codec->priv_data, choices.speedOption, choices.speeds[known ? encoding.speed : choices.defaultSpeed], 0);
    if (encoding.rate == VR_QUALITY && choices.quality) {
        codec->bit_rate = 0;
        av_opt_set_int(codec->priv_data, "crf", std::clamp(encoding.quality, choices.minQuality, choices.maxQuality), 0);
    }
    if (codec->codec_id == AV_CODEC_ID_VP9) {
        av_opt_set(codec->priv_data, "deadline", "good", 0);
        av_opt_set_int(codec->priv_data, "row-mt", 1, 0);
    }
    if (codec->codec_id == AV_CODEC_ID_HEVC)
        SetUpH265(codec, encoding);
    if (format.videoTag)
        codec->codec_tag = MKTAG(format.videoTag[0], format.videoTag[1], format.videoTag[2], format.videoTag[3]);
    codec->pix_fmt = EncoderPixelFormat(format.codec, encoding.tenBit);
    SetUpPass(codec, encoding);
}

// What the chosen video creator needs beside the family record.
struct tVideoSetup {
    const tVideoParamsMP4* video;
    const tOutputFormat* format;
    const tEncoding* encoding;
};

// The codecs are pinned per output, so a record gives the same kind of file
// whatever this FFmpeg build would pick by default.
tFFMpegEncoder* Open(enumOutputCodec codec, const char* fileName, AVStreamCreator createAudio, const void* audio,
                     AVStreamCreator createVideo, const void* video, bool noAudio,
                     enumSoundCodec sound = SC_OUTPUT)
{
    if (!IsOutputCodec(codec))
        return nullptr;
    const tOutputFormat& format = OutputFormat(codec);
    return OpenOutput(fileName, format.muxer, SoundCodec(codec, sound), createAudio, audio, format.videoCodec,
                      createVideo, video, noAudio, format.muxerOptions);
}

// Muxers that keep the codecs' set-up in their own header ask for it apart.
bool WantsGlobalHeader(const AVFormatContext* context)
{
    return context->oformat->flags & AVFMT_GLOBALHEADER;
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
                            int bitrate, int sampleRate, int channels)
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
    if (WantsGlobalHeader(context))
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    return stream;
}

// A stream for packets copied from a source: the encoder beside it is never
// opened, only its clock is set, to the sample rate.
AVStream* CreateCopiedStream(AVFormatContext* context, AVCodecContext* codec, const AVCodecParameters& source)
{
    AVStream* stream = avformat_new_stream(context, nullptr);
    if (!stream || source.sample_rate < 1 || avcodec_parameters_copy(stream->codecpar, &source) < 0)
        return nullptr;
    stream->id = int(context->nb_streams) - 1;
    stream->codecpar->codec_tag = 0;  // the source container's tag may mean nothing here
    codec->time_base = AVRational{1, source.sample_rate};
    return stream;
}

AVRational RateOf(int fps, int rateNum, int rateDen)
{
    return rateNum > 0 && rateDen > 0 ? AVRational{rateNum, rateDen} : AVRational{fps, 1};
}

AVStream* CreateVideoStream(AVFormatContext* context, AVCodecContext* codec, AVCodecID id,
                            int bitrate, int width, int height, AVRational rate, int gopSize,
                            const tColourTags& colour = tColourTags(), AVRational pixelAspect = {0, 1})
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
    codec->sample_aspect_ratio = stream->sample_aspect_ratio = pixelAspect;
    // Matroska tells each picture's length by the rate alone (the last
    // picture's end would be lost without it).
    stream->avg_frame_rate = rate;
    codec->thread_count = 0;  // as many encoder threads as the machine suits
    if (id == AV_CODEC_ID_H264)
        SetUpH264(codec, rate);
    if (id == AV_CODEC_ID_MPEG1VIDEO)
        codec->mb_decision = FF_MB_DECISION_RD;
    if (WantsGlobalHeader(context))
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    return stream;
}

// The AMR-NB rates lowest first, as enumAudioBitrate3GP counts them.
std::vector<int> AmrRatesLowestFirst()
{
    const std::vector<int>& rates = OutputFormat(OC_3GP).sound.bitrates;
    return std::vector<int>(rates.rbegin(), rates.rend());
}

const std::vector<tPictureSize>& H263Sizes()
{
    return OutputFormat(OC_3GP).fixedSizes;
}

}  // namespace

AVStream* CreateAudioStreamMP4(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params)
{
    auto audio = static_cast<const tAudioParamsMP4*>(params);
    if (audio->pCopied)
        return CreateCopiedStream(context, codec, *audio->pCopied);
    return CreateAudioStream(context, codec, id, audio->iBitrate, audio->iSampleRate, audio->iChannels);
}

AVStream* CreateVideoStreamMP4(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params)
{
    auto video = static_cast<const tVideoParamsMP4*>(params);
    return CreateVideoStream(context, codec, id, video->iBitrate, video->iWidth, video->iHeight,
                             RateOf(video->iFps, video->iRateNum, video->iRateDen), video->iGopSize,
                             video->colour, {video->iPixelAspectNum, video->iPixelAspectDen});
}

namespace {

AVStream* CreateChosenVideoStream(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params)
{
    auto setup = static_cast<const tVideoSetup*>(params);
    AVStream* stream = CreateVideoStreamMP4(context, codec, id, setup->video);
    if (stream)
        SetUpEncoder(codec, *setup->format, *setup->encoding);
    return stream;
}

}  // namespace

AVStream* CreateAudioStream3GP(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params)
{
    auto bitrate = *static_cast<const enumAudioBitrate3GP*>(params);
    std::vector<int> rates = AmrRatesLowestFirst();
    if (bitrate < 0 || bitrate >= int(rates.size()))
        return nullptr;
    const tSoundLimits& amr = OutputFormat(OC_3GP).sound;
    return CreateAudioStream(context, codec, id, rates[bitrate], amr.sampleRates[0], amr.maxChannels);
}

AVStream* CreateVideoStream3GP(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params)
{
    auto video = static_cast<const tVideoParams3GP*>(params);
    int index = video->iResolutionIndex;
    if (index < 0 || index >= int(H263Sizes().size()))
        return nullptr;
    tPictureSize size = H263Sizes()[index];
    return CreateVideoStream(context, codec, id, video->iBitrate, size.width, size.height,
                             RateOf(video->iFps, video->iRateNum, video->iRateDen), video->iGopSize);
}

tFFMpegEncoder* OpenOutputProfile(enumOutputCodec codec, const char* fileName, tAudioParamsMP4 audio,
                                  tVideoParamsMP4 video, bool noAudio, const tEncoding& encoding)
{
    if (!IsOutputCodec(codec) || !OutputFormat(codec).fixedSizes.empty())
        return nullptr;
    tVideoSetup setup = {&video, &OutputFormat(codec), &encoding};
    if (!noAudio || !OutputFormat(codec).needsSoundTrack)
        return Open(codec, fileName, CreateAudioStreamMP4, &audio, CreateChosenVideoStream, &setup, noAudio,
                    encoding.sound);
    // A muxer that refuses to start without a sound track (PSP) gets one that
    // is never written: the muxer leaves a track without samples out of the
    // file, which then holds the video alone.
    tAudioParamsMP4 silent = {128000, 44100, 2};
    tFFMpegEncoder* encoder =
        Open(codec, fileName, CreateAudioStreamMP4, &silent, CreateChosenVideoStream, &setup, false);
    if (encoder)
        encoder->bAudioUnused = true;
    return encoder;
}

tFFMpegEncoder* OpenOutputMP4(const char* fileName, tAudioParamsMP4 audio, tVideoParamsMP4 video, bool noAudio)
{
    return OpenOutputProfile(OC_MP4, fileName, audio, video, noAudio);
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
    return Open(versions3GP[version], fileName, CreateAudioStream3GP, &bitrate, CreateVideoStream3GP, &video,
                noAudio);
}

AVPixelFormat EncoderPixelFormat(enumOutputCodec codec, bool tenBit)
{
    return tenBit && OutputFormat(codec).encoder.tenBit ? AV_PIX_FMT_YUV420P10LE : AV_PIX_FMT_YUV420P;
}

tProfileCodecs ProfileCodecs(enumOutputCodec codec)
{
    if (!IsOutputCodec(codec))
        return {AV_CODEC_ID_NONE, AV_CODEC_ID_NONE, ""};
    const tOutputFormat& format = OutputFormat(codec);
    return {format.videoCodec, format.audioCodec, format.videoName};
}

AVRational OutputFrameRate(const tCodecParams& params)
{
    int fps = std::min(params.iFps, OutputFormat(params.eCodec).maxFps);
    if (fps < 1)
        return AVRational{0, 1};
    AVRational source{params.iSourceFpsNum, params.iSourceFpsDen};
    if (source.num > 0 && source.den > 0 && std::lround(av_q2d(source)) == fps)
        return source;
    return AVRational{fps, 1};
}

int Find3GPAudioBitrate(int bitrate)
{
    std::vector<int> rates = AmrRatesLowestFirst();
    auto found = std::find(rates.begin(), rates.end(), bitrate);
    return found == rates.end() ? -1 : int(found - rates.begin());
}

bool ConvertAndPrepareVideoParams3GP(tVideoParamsMP4& in, tVideoParams3GP& out)
{
    const int maxFps = OutputFormat(OC_3GP).maxFps;
    if (in.iFps > maxFps) {
        in.iFps = maxFps;
        in.iRateNum = in.iRateDen = 0;
    }
    out.iBitrate = in.iBitrate;
    out.iFps = in.iFps;
    out.iGopSize = in.iGopSize;
    out.iRateNum = in.iRateNum;
    out.iRateDen = in.iRateDen;
    const std::vector<tPictureSize>& sizes = H263Sizes();
    auto found = std::find_if(sizes.begin(), sizes.end(),
                              [&in](tPictureSize s) { return s.width == in.iWidth && s.height == in.iHeight; });
    if (found == sizes.end())
        return false;
    out.iResolutionIndex = int(found - sizes.begin());
    return true;
}
