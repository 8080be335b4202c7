#include "media/EncoderCore.h"

#include <chrono>
#include <cstdio>
#include <memory>

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
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

// Creates the encoder of `codecId` and lets the profile create its stream.
AVStream* CreateStream(tFFMpegEncoder& encoder, ffmpeg::CodecContextPtr& codec,
                       AVCodecID codecId, AVStreamCreator create, const void* params)
{
    const AVCodec* encoderCodec = avcodec_find_encoder(codecId);
    if (!encoderCodec || !create)
        return nullptr;
    codec.reset(avcodec_alloc_context3(encoderCodec));
    if (!codec)
        return nullptr;
    return create(encoder.pFormatCtx.get(), codec.get(), codecId, params);
}

bool OpenFile(tFFMpegEncoder& encoder, const char* fileName)
{
    AVFormatContext* context = encoder.pFormatCtx.get();
    if (context->oformat->flags & AVFMT_NOFILE)
        return true;
    return avio_open(&context->pb, fileName, AVIO_FLAG_WRITE) >= 0;
}

using Clock = std::chrono::steady_clock;

// Sends one frame (or null, to drain) and writes every packet that comes out,
// or those that come out before `deadline`.
bool EncodeAndWrite(tFFMpegEncoder& encoder, AVCodecContext* codec, AVStream* stream,
                    const AVFrame* frame, Clock::time_point deadline = Clock::time_point::max())
{
    if (avcodec_send_frame(codec, frame) < 0)
        return false;
    AVPacket* packet = encoder.pPacket.get();
    while (Clock::now() < deadline) {
        int result = avcodec_receive_packet(codec, packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return true;
        if (result < 0)
            return false;
        // Pictures last one tick of the encoder's clock; muxers need the
        // duration of the last one to get the stream's length right.
        if (packet->duration <= 0 && codec->codec_type == AVMEDIA_TYPE_VIDEO)
            packet->duration = 1;
        packet->stream_index = stream->index;
        if (!encoder.pGate->Put(packet))
            return false;
    }
    return true;
}

// The audio frame and the converter from interleaved 16-bit samples to the
// sample format that the audio encoder takes (planar for AAC and MP3).
bool InitAudioFrame(tFFMpegEncoder& encoder)
{
    AVCodecContext* codec = encoder.pAudioCodec.get();
    encoder.pAudioFrame.reset(av_frame_alloc());
    AVFrame* frame = encoder.pAudioFrame.get();
    if (!frame || codec->frame_size < 1)
        return false;
    frame->format = codec->sample_fmt;
    frame->nb_samples = codec->frame_size;
    frame->sample_rate = codec->sample_rate;
    if (av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout) < 0 ||
        av_frame_get_buffer(frame, 0) < 0)
        return false;
    SwrContext* converter = nullptr;
    if (swr_alloc_set_opts2(&converter, &codec->ch_layout, codec->sample_fmt, codec->sample_rate,
                            &codec->ch_layout, AV_SAMPLE_FMT_S16, codec->sample_rate, 0,
                            nullptr) < 0)
        return false;
    encoder.pAudioConverter.reset(converter);
    return swr_init(converter) >= 0;
}

bool WriteHeader(AVFormatContext* context, const char* muxerOptions)
{
    AVDictionary* options = nullptr;
    if (muxerOptions && av_dict_parse_string(&options, muxerOptions, "=", ":", 0) < 0) {
        av_dict_free(&options);
        return false;
    }
    int result = avformat_write_header(context, &options);
    av_dict_free(&options);
    return result >= 0;
}

void RemoveFile(const char* fileName)
{
    std::remove(fileName);
}

}  // namespace

bool OpenCodec(AVCodecContext* codec, AVStream* stream)
{
    if (!codec || !stream || !codec->codec)
        return false;
    if (avcodec_open2(codec, codec->codec, nullptr) < 0)
        return false;
    stream->time_base = codec->time_base;
    return avcodec_parameters_from_context(stream->codecpar, codec) >= 0;
}

bool InitBuffers(tFFMpegEncoder* encoder, bool noAudio)
{
    encoder->pPacket.reset(av_packet_alloc());
    if (!encoder->pPacket)
        return false;
    return noAudio || InitAudioFrame(*encoder);
}

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
    if (avformat_alloc_output_context2(&context, encoder->pFormat, nullptr, fileName) < 0)
        return nullptr;
    encoder->pFormatCtx.reset(context);

    encoder->pVideoStream = CreateStream(*encoder, encoder->pVideoCodec, videoCodec, createVideo, videoParams);
    if (!encoder->pVideoStream)
        return nullptr;
    if (!noAudio) {
        encoder->pAudioStream = CreateStream(*encoder, encoder->pAudioCodec, audioCodec, createAudio, audioParams);
        if (!encoder->pAudioStream)
            return nullptr;
        if (!OpenCodec(encoder->pAudioCodec.get(), encoder->pAudioStream))
            return nullptr;
    }
    if (!OpenCodec(encoder->pVideoCodec.get(), encoder->pVideoStream))
        return nullptr;
    if (!OpenFile(*encoder, fileName))
        return nullptr;
    if (!WriteHeader(context, muxerOptions) || !InitBuffers(encoder.get(), noAudio)) {
        encoder.reset();  // closes the file first
        RemoveFile(fileName);
        return nullptr;
    }
    encoder->pGate = std::make_unique<PacketGate>(context, encoder->pVideoStream, encoder->pVideoCodec.get(),
                                                  encoder->pAudioStream, encoder->pAudioCodec.get());
    return encoder.release();
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
    if (encoder.pAudioStream)
        drained = EncodeAndWrite(encoder, encoder.pAudioCodec.get(), encoder.pAudioStream, nullptr);
    if (!EncodeAndWrite(encoder, encoder.pVideoCodec.get(), encoder.pVideoStream, nullptr, deadline))
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
        drained = encoder->pGate->Release() && drained;
    }
    int result = av_write_trailer(encoder->pFormatCtx.get());
    AVIOContext* io = encoder->pFormatCtx->pb;
    if (io) {
        avio_flush(io);
        if (io->error < 0)
            result = io->error;
    }
    if (result >= 0 && !drained)
        result = AVERROR_EXTERNAL;
    return result < 0 ? result : 0;
}

int OutputError(const tFFMpegEncoder* encoder)
{
    const AVIOContext* io = encoder ? encoder->pFormatCtx->pb : nullptr;
    return io && io->error < 0 ? io->error : 0;
}

void CloseOutput(tFFMpegEncoder* encoder)
{
    if (!encoder)
        return;
    EncoderPtr owner(encoder);
    if (!encoder->bFinished)
        FinishOutput(encoder);
}

bool WriteVideoFrame(tFFMpegEncoder* encoder, AVFrame* picture)
{
    if (!encoder || !picture)
        return false;
    AVCodecContext* codec = encoder->pVideoCodec.get();
    picture->width = codec->width;
    picture->height = codec->height;
    picture->format = codec->pix_fmt;
    picture->pts = encoder->iVideoFrames;
    if (!EncodeAndWrite(*encoder, codec, encoder->pVideoStream, picture))
        return false;
    ++encoder->iVideoFrames;
    return true;
}

namespace {
bool HasAudio(const tFFMpegEncoder* encoder)
{
    return encoder && encoder->pAudioStream && !encoder->bAudioUnused;
}
}  // namespace

bool WriteAudioFrame(tFFMpegEncoder* encoder, const short* samples)
{
    return HasAudio(encoder) && WriteAudioSamples(encoder, samples, encoder->pAudioCodec->frame_size);
}

bool WriteAudioSamples(tFFMpegEncoder* encoder, const short* samples, int count)
{
    if (!HasAudio(encoder) || !samples || count < 1 || count > encoder->pAudioCodec->frame_size)
        return false;
    AVFrame* frame = encoder->pAudioFrame.get();
    // The encoder may still hold a reference to the frame it was given last.
    if (av_frame_make_writable(frame) < 0)
        return false;
    // Only encoders that take a short last frame get one; others get silence after the sound.
    AVCodecContext* codec = encoder->pAudioCodec.get();
    bool shortFrame = codec->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME;
    frame->nb_samples = shortFrame ? count : codec->frame_size;
    if (count < frame->nb_samples)
        av_samples_set_silence(frame->extended_data, 0, frame->nb_samples,
                               codec->ch_layout.nb_channels, codec->sample_fmt);
    const uint8_t* input[] = {reinterpret_cast<const uint8_t*>(samples)};
    if (swr_convert(encoder->pAudioConverter.get(), frame->extended_data, count, input, count) != count)
        return false;
    frame->pts = encoder->iAudioSamples;
    encoder->iAudioSamples += frame->nb_samples;
    return EncodeAndWrite(*encoder, encoder->pAudioCodec.get(), encoder->pAudioStream, frame);
}

int GetAudioFrameSize(tFFMpegEncoder* encoder)
{
    if (!HasAudio(encoder))
        return -1;
    AVCodecContext* codec = encoder->pAudioCodec.get();
    return codec->frame_size * codec->ch_layout.nb_channels;
}

double CalcStreamPosition(tFFMpegEncoder* encoder, enumFFMpegStreamType type)
{
    if (!encoder)
        return -1.0;
    if (type == STREAM_VIDEO)
        return encoder->iVideoFrames * av_q2d(encoder->pVideoCodec->time_base);
    if (!HasAudio(encoder))
        return 0.0;
    return double(encoder->iAudioSamples) / encoder->pAudioCodec->sample_rate;
}

int64_t OutputFileSize(tFFMpegEncoder* encoder)
{
    if (!encoder)
        return -1;
    AVIOContext* io = encoder->pFormatCtx->pb;
    return io ? avio_size(io) : 0;
}

int FrameDataSize(int width, int height, AVPixelFormat format)
{
    return av_image_get_buffer_size(format, width, height, 1);
}

AVFrame* CreateFrame(int width, int height, AVPixelFormat format)
{
    int size = FrameDataSize(width, height, format);
    if (size <= 0)
        return nullptr;
    ffmpeg::FramePtr frame(av_frame_alloc());
    ffmpeg::AvBufferPtr<uint8_t> buffer(static_cast<uint8_t*>(av_malloc(size)));
    if (!frame || !buffer)
        return nullptr;
    if (av_image_fill_arrays(frame->data, frame->linesize, buffer.get(), format, width, height, 1) <= 0)
        return nullptr;
    buffer.release();  // now owned through frame->data[0]
    frame->width = width;
    frame->height = height;
    frame->format = format;
    return frame.release();
}

AVFrame* CreateFrame(tFFMpegEncoder* encoder)
{
    if (!encoder)
        return nullptr;
    AVCodecContext* codec = encoder->pVideoCodec.get();
    return CreateFrame(codec->width, codec->height, codec->pix_fmt);
}

void FreeFrame(AVFrame* frame)
{
    if (!frame)
        return;
    av_free(frame->data[0]);
    av_frame_free(&frame);
}
