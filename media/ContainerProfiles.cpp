#include "media/ContainerProfiles.h"

#include <algorithm>
#include <iterator>

const int piAudioBitrates3gp[8] = {4750, 5150, 5900, 6700, 7400, 7950, 10200, 12200};
const int piVIdeoWidth[5] = {128, 176, 352, 704, 1408};
const int piVIdeoHeight[5] = {96, 144, 288, 576, 1152};

namespace {

// The codecs are pinned per family, so a record gives the same kind of file
// whatever this FFmpeg build would pick by default.
struct ContainerProfile {
    const char* muxer;
    AVCodecID audioCodec;
    AVCodecID videoCodec;
    AVStreamCreator createAudio;
    AVStreamCreator createVideo;
};

const ContainerProfile profileMP4 = {"mp4", AV_CODEC_ID_AAC, AV_CODEC_ID_MPEG4, CreateAudioStreamMP4, CreateVideoStreamMP4};
const ContainerProfile profilePSP = {"psp", AV_CODEC_ID_AAC, AV_CODEC_ID_MPEG4, CreateAudioStreamPSP, CreateVideoStreamPSP};
const ContainerProfile profileMOV = {"mov", AV_CODEC_ID_AAC, AV_CODEC_ID_MPEG4, CreateAudioStreamMOV, CreateVideoStreamMOV};
const ContainerProfile profileSWF = {"swf", AV_CODEC_ID_MP3, AV_CODEC_ID_FLV1, CreateAudioStreamSWF, CreateVideoStreamSWF};
const ContainerProfile profileFLV = {"flv", AV_CODEC_ID_MP3, AV_CODEC_ID_FLV1, CreateAudioStreamFLV, CreateVideoStreamFLV};
const ContainerProfile profilesMPG[] = {
    {"mpeg", AV_CODEC_ID_MP2, AV_CODEC_ID_MPEG1VIDEO, CreateAudioStreamMPG, CreateVideoStreamMPG},
    {"mpegts", AV_CODEC_ID_MP2, AV_CODEC_ID_MPEG2VIDEO, CreateAudioStreamMPG, CreateVideoStreamMPG},
    {"dvd", AV_CODEC_ID_MP2, AV_CODEC_ID_MPEG2VIDEO, CreateAudioStreamMPG, CreateVideoStreamMPG},
};
const ContainerProfile profiles3GP[] = {
    {"3gp", AV_CODEC_ID_AMR_NB, AV_CODEC_ID_H263, CreateAudioStream3GP, CreateVideoStream3GP},
    {"3g2", AV_CODEC_ID_AMR_NB, AV_CODEC_ID_H263, CreateAudioStream3GP, CreateVideoStream3GP},
};

tFFMpegEncoder* Open(const ContainerProfile& profile, const char* fileName, const void* audio,
                     const void* video, bool noAudio)
{
    return OpenOutput(fileName, profile.muxer, profile.audioCodec, profile.createAudio, audio,
                      profile.videoCodec, profile.createVideo, video, noAudio);
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

AVStream* CreateVideoStream(AVFormatContext* context, AVCodecContext* codec, AVCodecID id,
                            int bitrate, int width, int height, int fps, int gopSize, bool globalHeader)
{
    AVStream* stream = NewStream(context, codec, id, AVMEDIA_TYPE_VIDEO);
    if (!stream || fps < 1)
        return nullptr;
    codec->bit_rate = bitrate;
    codec->width = width;
    codec->height = height;
    codec->time_base = AVRational{1, fps};
    codec->framerate = AVRational{fps, 1};
    codec->gop_size = gopSize;
    codec->pix_fmt = AV_PIX_FMT_YUV420P;
    codec->thread_count = 0;  // as many encoder threads as the machine suits
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
                             video->iFps, video->iGopSize, true);
}

AVStream* CreateAudioStreamMPG(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params)
{
    auto audio = static_cast<const tAudioParamsMP4*>(params);
    return CreateAudioStream(context, codec, id, audio->iBitrate, audio->iSampleRate, audio->iChannels, false);
}

AVStream* CreateVideoStreamMPG(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params)
{
    auto video = static_cast<const tVideoParamsMP4*>(params);
    AVStream* stream = CreateVideoStream(context, codec, id, video->iBitrate, video->iWidth,
                                         video->iHeight, video->iFps, video->iGopSize, false);
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
    return CreateVideoStream(context, codec, id, video->iBitrate, piVIdeoWidth[index],
                             piVIdeoHeight[index], video->iFps, video->iGopSize, true);
}

tFFMpegEncoder* OpenOutputMP4(const char* fileName, tAudioParamsMP4 audio, tVideoParamsMP4 video, bool noAudio)
{
    return Open(profileMP4, fileName, &audio, &video, noAudio);
}

tFFMpegEncoder* OpenOutputPSP(const char* fileName, tAudioParamsMP4 audio, tVideoParamsMP4 video, bool noAudio)
{
    if (!noAudio)
        return Open(profilePSP, fileName, &audio, &video, false);
    // The PSP muxer refuses to start without a sound track. Declare one that
    // is never written: the muxer leaves a track without samples out of the
    // file, which then holds the video alone.
    tAudioParamsMP4 silent = {128000, 44100, 2};
    tFFMpegEncoder* encoder = Open(profilePSP, fileName, &silent, &video, false);
    if (encoder)
        encoder->bAudioUnused = true;
    return encoder;
}

tFFMpegEncoder* OpenOutputMOV(const char* fileName, tAudioParamsMP4 audio, tVideoParamsMP4 video, bool noAudio)
{
    return Open(profileMOV, fileName, &audio, &video, noAudio);
}

tFFMpegEncoder* OpenOutputSWF(const char* fileName, tAudioParamsMP4 audio, tVideoParamsMP4 video, bool noAudio)
{
    return Open(profileSWF, fileName, &audio, &video, noAudio);
}

tFFMpegEncoder* OpenOutputFLV(const char* fileName, tAudioParamsMP4 audio, tVideoParamsMP4 video, bool noAudio)
{
    return Open(profileFLV, fileName, &audio, &video, noAudio);
}

tFFMpegEncoder* OpenOutputMPG(const char* fileName, enumMpegFormat format, tAudioParamsMP4 audio,
                              tVideoParamsMP4 video, bool noAudio)
{
    if (format < 0 || format >= int(std::size(profilesMPG)))
        return nullptr;
    return Open(profilesMPG[format], fileName, &audio, &video, noAudio);
}

tFFMpegEncoder* OpenOutput3GP(const char* fileName, enum3GPVersion version, enumAudioBitrate3GP bitrate,
                              tVideoParams3GP video, bool noAudio)
{
    if (version < 0 || version >= int(std::size(profiles3GP)))
        return nullptr;
    return Open(profiles3GP[version], fileName, &bitrate, &video, noAudio);
}

int Find3GPAudioBitrate(int bitrate)
{
    return IndexOf(piAudioBitrates3gp, int(std::size(piAudioBitrates3gp)), bitrate);
}

bool ConvertAndPrepareVideoParams3GP(tVideoParamsMP4& in, tVideoParams3GP& out)
{
    if (in.iFps > 15)
        in.iFps = 15;
    out.iBitrate = in.iBitrate;
    out.iFps = in.iFps;
    out.iGopSize = in.iGopSize;
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
