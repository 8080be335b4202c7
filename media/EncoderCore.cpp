#include "media/EncoderCore.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

#include "media/MediaError.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}

namespace ffmpeg {
void OutputContextDeleter::operator()(AVFormatContext* p) const
{
    if (p->pb && !(p->oformat->flags & AVFMT_NOFILE))
        avio_closep(&p->pb);
    avformat_free_context(p);
}
}  // namespace ffmpeg

namespace {

using EncoderPtr = std::unique_ptr<tFFMpegEncoder>;

// Keeps the first error met, for the message the caller throws.
bool Failed(tFFMpegEncoder& encoder, int code)
{
    if (encoder.iError == 0)
        encoder.iError = code;
    return false;
}

// The encoders chosen where FFmpeg's first would be another (libaom before
// SVT-AV1, hardware encoders that may not work here).
const struct {
    AVCodecID id;
    const char* name;
} pinnedEncoders[] = {
    {AV_CODEC_ID_H264, "libx264"}, {AV_CODEC_ID_HEVC, "libx265"}, {AV_CODEC_ID_AV1, "libsvtav1"},
    {AV_CODEC_ID_VP9, "libvpx-vp9"}, {AV_CODEC_ID_OPUS, "libopus"},
};

const AVCodec* FindEncoder(AVCodecID codecId)
{
    for (const auto& pinned : pinnedEncoders) {
        if (pinned.id == codecId)
            return avcodec_find_encoder_by_name(pinned.name);
    }
    return avcodec_find_encoder(codecId);
}

// Creates the encoder of `codecId` and lets the profile create its stream.
bool CreateStream(tFFMpegEncoder& encoder, tOutputTrack& track, AVCodecID codecId, AVStreamCreator create,
                  const void* params)
{
    const AVCodec* encoderCodec = FindEncoder(codecId);
    if (!encoderCodec || !create)
        return false;
    track.pCodec.reset(avcodec_alloc_context3(encoderCodec));
    if (!track.pCodec)
        return false;
    track.pStream = create(encoder.pFormatCtx.get(), track.pCodec.get(), codecId, params);
    return track.pStream != nullptr;
}

// Opens the track's encoder and copies its settings into the stream.
void OpenCodec(tOutputTrack& track)
{
    AVCodecContext* codec = track.pCodec.get();
    // A copied stream has its source's parameters; its encoder stays shut.
    if (track.pStream->codecpar->codec_id != AV_CODEC_ID_NONE) {
        track.pStream->time_base = codec->time_base;
        return;
    }
    int opened = avcodec_open2(codec, codec->codec, nullptr);
    // An encoder reads a first pass's statistics while it opens; they are
    // the caller's to free.
    av_freep(&codec->stats_in);
    CheckMedia(opened, cantCreateOutput);
    track.pStream->time_base = codec->time_base;
    CheckMedia(avcodec_parameters_from_context(track.pStream->codecpar, codec), cantCreateOutput);
}

void OpenFile(tFFMpegEncoder& encoder, const char* fileName)
{
    AVFormatContext* context = encoder.pFormatCtx.get();
    if (!(context->oformat->flags & AVFMT_NOFILE))
        CheckMedia(avio_open(&context->pb, fileName, AVIO_FLAG_WRITE), cantCreateOutput);
}

using Clock = std::chrono::steady_clock;

// Sends one frame (or null, to drain) and writes every packet that comes out,
// or those that come out before `deadline`.
bool EncodeAndWrite(tFFMpegEncoder& encoder, tOutputTrack& track, const AVFrame* frame,
                    Clock::time_point deadline = Clock::time_point::max())
{
    AVCodecContext* codec = track.pCodec.get();
    int sent = avcodec_send_frame(codec, frame);
    if (sent < 0)
        return Failed(encoder, sent);
    track.bEnded = !frame;
    AVPacket* packet = encoder.pPacket.get();
    while (Clock::now() < deadline) {
        int result = avcodec_receive_packet(codec, packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return true;
        if (result < 0)
            return Failed(encoder, result);
        // Pictures last one tick of the encoder's clock; muxers need the
        // duration of the last one to get the stream's length right.
        if (packet->duration <= 0 && codec->codec_type == AVMEDIA_TYPE_VIDEO)
            packet->duration = 1;
        packet->stream_index = track.pStream->index;
        if (!encoder.pGate->Put(packet))
            return Failed(encoder, encoder.pGate->Error());
    }
    return true;
}

int WriteHeader(AVFormatContext* context, const char* muxerOptions)
{
    AVDictionary* options = nullptr;
    int result = muxerOptions ? av_dict_parse_string(&options, muxerOptions, "=", ":", 0) : 0;
    if (result >= 0)
        result = avformat_write_header(context, &options);
    av_dict_free(&options);
    return result;
}

}  // namespace

tFFMpegEncoder* OpenOutput(const char* fileName, const char* formatShortName,
                           AVCodecID audioCodec, AVStreamCreator createAudio, const void* audioParams,
                           AVCodecID videoCodec, AVStreamCreator createVideo, const void* videoParams,
                           bool noAudio, const char* muxerOptions)
{
    if (!fileName || !formatShortName)
        return nullptr;
    EncoderPtr encoder(new tFFMpegEncoder);
    encoder->pFormat = av_guess_format(formatShortName, nullptr, nullptr);
    if (!encoder->pFormat)
        return nullptr;
    AVFormatContext* context = nullptr;
    CheckMedia(avformat_alloc_output_context2(&context, encoder->pFormat, nullptr, fileName), cantCreateOutput);
    encoder->pFormatCtx.reset(context);

    if (!CreateStream(*encoder, encoder->video, videoCodec, createVideo, videoParams))
        return nullptr;
    if (!noAudio) {
        if (!CreateStream(*encoder, encoder->audio, audioCodec, createAudio, audioParams))
            return nullptr;
        OpenCodec(encoder->audio);
    }
    OpenCodec(encoder->video);
    encoder->pPacket.reset(av_packet_alloc());
    if (!encoder->pPacket)
        return nullptr;
    OpenFile(*encoder, fileName);
    int header = WriteHeader(context, muxerOptions);
    if (header < 0) {
        encoder.reset();  // closes the file first
        std::remove(fileName);
        throw MediaError(cantCreateOutput, header);
    }
    encoder->pGate = std::make_unique<PacketGate>(context, encoder->video, encoder->audio);
    return encoder.release();
}

namespace {

bool SendBlackPicture(AVCodecContext* codec)
{
    ffmpeg::FramePtr picture(av_frame_alloc());
    if (!picture)
        return false;
    picture->width = codec->width;
    picture->height = codec->height;
    picture->format = codec->pix_fmt;
    if (av_frame_get_buffer(picture.get(), 0) < 0)
        return false;
    const ptrdiff_t linesize[4] = {picture->linesize[0], picture->linesize[1], picture->linesize[2],
                                   picture->linesize[3]};
    return av_image_fill_black(picture->data, linesize, codec->pix_fmt, codec->color_range, codec->width,
                               codec->height) >= 0 &&
           avcodec_send_frame(codec, picture.get()) >= 0;
}

// SVT-AV1 waits for the end of its stream when it is closed, for ever when
// it was given no picture at all: it is given one, and the end, and what
// it still holds is thrown away.
void EndStreamOfSvtAv1(tOutputTrack& track)
{
    AVCodecContext* codec = track.pCodec.get();
    if (!codec || !avcodec_is_open(codec) || std::strcmp(codec->codec->name, "libsvtav1") != 0)
        return;
    if (!track.bEnded && (track.iNextPts > 0 || SendBlackPicture(codec)))
        avcodec_send_frame(codec, nullptr);
    ffmpeg::PacketPtr packet(av_packet_alloc());
    while (packet && avcodec_receive_packet(codec, packet.get()) >= 0)
        av_packet_unref(packet.get());
}

}  // namespace

tFFMpegEncoder::~tFFMpegEncoder()
{
    EndStreamOfSvtAv1(video);
}

namespace {

// How long a file cut short waits for the pictures its encoder holds back;
// a large picture's encoder needs seconds for all of them.
const auto earlyDrain = std::chrono::milliseconds(100);

// Encoders hold back their last frames; without this the end is lost. Cut
// short, the file gets what the video encoder gives before the deadline.
bool Drain(tFFMpegEncoder& encoder, Clock::time_point deadline)
{
    bool drained = true;
    if (encoder.audio.pStream && avcodec_is_open(encoder.audio.pCodec.get()))
        drained = EncodeAndWrite(encoder, encoder.audio, nullptr);
    // An encoder that was given no picture holds none, and SVT-AV1 asked to
    // drain then waits for ever.
    if (encoder.video.iNextPts > 0 && !EncodeAndWrite(encoder, encoder.video, nullptr, deadline))
        drained = false;
    return drained;
}

// Moving the index to the front rewrites the whole file, which a file cut
// short does without.
void KeepIndexAtTheEnd(AVFormatContext* context)
{
    if (context->priv_data)
        av_opt_set(context->priv_data, "movflags", "-faststart", 0);
}

}  // namespace

int FinishOutput(tFFMpegEncoder* encoder, bool early)
{
    if (!encoder || encoder->bFinished)
        return AVERROR(EINVAL);
    encoder->bFinished = true;
    bool drained = false;
    if (encoder->pGate && early) {
        drained = Drain(*encoder, Clock::now() + earlyDrain);
        encoder->pGate->Drop();
        KeepIndexAtTheEnd(encoder->pFormatCtx.get());
    } else if (encoder->pGate) {
        drained = Drain(*encoder, Clock::time_point::max());
        if (!encoder->pGate->Release())
            drained = Failed(*encoder, encoder->pGate->Error());
    }
    int result = av_write_trailer(encoder->pFormatCtx.get());
    AVIOContext* io = encoder->pFormatCtx->pb;
    if (io) {
        avio_flush(io);
        if (io->error < 0)
            result = io->error;
    }
    if (result >= 0 && !drained)
        result = encoder->iError ? encoder->iError : AVERROR_EXTERNAL;
    return result < 0 ? result : 0;
}

int OutputError(const tFFMpegEncoder* encoder)
{
    const AVIOContext* io = encoder ? encoder->pFormatCtx->pb : nullptr;
    if (io && io->error < 0)
        return io->error;
    return encoder ? encoder->iError : 0;
}

void CloseOutput(tFFMpegEncoder* encoder)
{
    if (!encoder)
        return;
    EncoderPtr owner(encoder);
    if (!encoder->bFinished)
        FinishOutput(encoder);
}

bool HasAudio(const tFFMpegEncoder* encoder)
{
    return encoder && encoder->audio.pStream && !encoder->bAudioUnused;
}

bool WriteVideoFrame(tFFMpegEncoder* encoder, AVFrame* picture)
{
    if (!encoder || !picture)
        return false;
    tOutputTrack& video = encoder->video;
    picture->width = video.pCodec->width;
    picture->height = video.pCodec->height;
    picture->format = video.pCodec->pix_fmt;
    picture->pts = video.iNextPts;
    if (!EncodeAndWrite(*encoder, video, picture))
        return false;
    ++video.iNextPts;
    return true;
}

bool WriteAudioFrame(tFFMpegEncoder* encoder, AVFrame* frame)
{
    if (!HasAudio(encoder) || !frame)
        return false;
    frame->pts = encoder->audio.iNextPts;
    encoder->audio.iNextPts += frame->nb_samples;
    return EncodeAndWrite(*encoder, encoder->audio, frame);
}

bool WriteCopiedAudio(tFFMpegEncoder* encoder, AVPacket* packet)
{
    if (!HasAudio(encoder) || !packet || avcodec_is_open(encoder->audio.pCodec.get()))
        return false;
    packet->stream_index = encoder->audio.pStream->index;
    packet->pos = -1;
    return encoder->pGate->Put(packet);
}
