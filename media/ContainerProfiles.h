#pragma once
// Container profiles: each family's muxer, pinned codecs and stream settings,
// opened through the encoder core.
#include "media/CodecParams.h"
#include "media/EncoderCore.h"

// The 3GP family's tables: the AMR-NB rates and the five H.263 picture sizes.
extern const int piAudioBitrates3gp[8];
extern const int piVIdeoWidth[5];
extern const int piVIdeoHeight[5];

// What a container profile writes: the pinned codecs (AVCodecID values) and
// a short name of the video codec for people.
struct tProfileCodecs {
    AVCodecID video;
    AVCodecID audio;
    const char* videoName;
};
// AV_CODEC_ID_NONE and an empty name for a value outside the enumeration.
tProfileCodecs ProfileCodecs(enumOutputCodec codec);

// The rate a record's pictures are written at: the source's exact rate
// while iFps is that rate rounded, else iFps; at most 15 for 3GP and 3G2
// (as the 3GP conversion caps it). 0/1 for a rate below 1.
AVRational OutputFrameRate(const tCodecParams& params);

// The profiles of the MP4 type and the Flash and MPEG families, all but 3GP.
tFFMpegEncoder* OpenOutputProfile(enumOutputCodec codec, const char* fileName, tAudioParamsMP4 audio,
                                  tVideoParamsMP4 video, bool noAudio);
tFFMpegEncoder* OpenOutputMP4(const char* fileName, tAudioParamsMP4 audio, tVideoParamsMP4 video, bool noAudio);
tFFMpegEncoder* OpenOutputPSP(const char* fileName, tAudioParamsMP4 audio, tVideoParamsMP4 video, bool noAudio);
tFFMpegEncoder* OpenOutputMOV(const char* fileName, tAudioParamsMP4 audio, tVideoParamsMP4 video, bool noAudio);
tFFMpegEncoder* OpenOutputSWF(const char* fileName, tAudioParamsMP4 audio, tVideoParamsMP4 video, bool noAudio);
tFFMpegEncoder* OpenOutputFLV(const char* fileName, tAudioParamsMP4 audio, tVideoParamsMP4 video, bool noAudio);
tFFMpegEncoder* OpenOutputMPG(const char* fileName, enumMpegFormat format, tAudioParamsMP4 audio,
                              tVideoParamsMP4 video, bool noAudio);
tFFMpegEncoder* OpenOutput3GP(const char* fileName, enum3GPVersion version, enumAudioBitrate3GP bitrate,
                              tVideoParams3GP video, bool noAudio);

// Stream creators. The MP4-type and Flash families share one pair: their
// settings are the same, only the muxer and the codecs differ.
AVStream* CreateAudioStreamMP4(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params);
AVStream* CreateVideoStreamMP4(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params);
AVStream* CreateAudioStreamMPG(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params);
AVStream* CreateVideoStreamMPG(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params);
AVStream* CreateAudioStream3GP(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params);
AVStream* CreateVideoStream3GP(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params);
constexpr AVStreamCreator CreateAudioStreamPSP = CreateAudioStreamMP4;
constexpr AVStreamCreator CreateVideoStreamPSP = CreateVideoStreamMP4;
constexpr AVStreamCreator CreateAudioStreamMOV = CreateAudioStreamMP4;
constexpr AVStreamCreator CreateVideoStreamMOV = CreateVideoStreamMP4;
constexpr AVStreamCreator CreateAudioStreamSWF = CreateAudioStreamMP4;
constexpr AVStreamCreator CreateVideoStreamSWF = CreateVideoStreamMP4;
constexpr AVStreamCreator CreateAudioStreamFLV = CreateAudioStreamMP4;
constexpr AVStreamCreator CreateVideoStreamFLV = CreateVideoStreamMP4;

// Caps the frame rate at 15 (in `in` too) and finds the picture size among
// the five; false when the size is not one of them.
bool ConvertAndPrepareVideoParams3GP(tVideoParamsMP4& in, tVideoParams3GP& out);

// Sets 8000 Hz mono in `in` and finds its bit rate among the eight; false
// when it is not one of them.
bool ConvertAndPrepareAudioParams3GP(tAudioParamsMP4& in, enumAudioBitrate3GP& out);

// Position of `bitrate` among the eight 3GP rates, or -1.
int Find3GPAudioBitrate(int bitrate);
