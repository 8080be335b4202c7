#pragma once
// Container profiles: an output's muxer and pinned codecs (from its row in
// media/OutputFormats.h) and its stream settings, opened through the encoder
// core.
#include <string>

#include "media/CodecParams.h"
#include "media/EncoderCore.h"

// How the video encoder of an output spends its bits and time, and the
// sound codec written, beyond the record of one family.
struct tEncoding {
    enumVideoRate rate = VR_BITRATE;  // VR_TARGET_SIZE: the family record's bit rate, met over two passes
    int quality = 0;                  // with VR_QUALITY, on the encoder's scale
    int speed = -1;                   // into the row's speeds; -1: its default
    int pass = 0;                     // 1 or 2 of two passes; 0: a single one
    std::string stats;                // the file of the two passes' statistics
    std::string statsIn;              // what the first pass wrote, for encoders that take it in memory
    bool tenBit = false;              // 10-bit 4:2:0 pixels, where the row's encoder takes them
    enumSoundCodec sound = SC_OUTPUT;
};

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
// while iFps is that rate rounded, else iFps; at most the output's highest
// rate (15 for 3GP and 3G2, as the 3GP conversion caps it). 0/1 for a rate below 1.
AVRational OutputFrameRate(const tCodecParams& params);

// The profiles of the MP4 type and the Flash and MPEG families, all but 3GP.
tFFMpegEncoder* OpenOutputProfile(enumOutputCodec codec, const char* fileName, tAudioParamsMP4 audio,
                                  tVideoParamsMP4 video, bool noAudio, const tEncoding& encoding = tEncoding());
// The pixel format an output's encoder is given.
AVPixelFormat EncoderPixelFormat(enumOutputCodec codec, bool tenBit);
tFFMpegEncoder* OpenOutputMP4(const char* fileName, tAudioParamsMP4 audio, tVideoParamsMP4 video, bool noAudio);
tFFMpegEncoder* OpenOutputMPG(const char* fileName, enumMpegFormat format, tAudioParamsMP4 audio,
                              tVideoParamsMP4 video, bool noAudio);
tFFMpegEncoder* OpenOutput3GP(const char* fileName, enum3GPVersion version, enumAudioBitrate3GP bitrate,
                              tVideoParams3GP video, bool noAudio);

// Stream creators. Every output but 3GP shares one pair: their settings are
// the same, only the muxer and the codecs differ (a muxer that wants the
// codecs' set-up apart gets it so).
AVStream* CreateAudioStreamMP4(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params);
AVStream* CreateVideoStreamMP4(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params);
AVStream* CreateAudioStream3GP(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params);
AVStream* CreateVideoStream3GP(AVFormatContext* context, AVCodecContext* codec, AVCodecID id, const void* params);

// Caps the frame rate at 15 (in `in` too) and finds the picture size among
// the five; false when the size is not one of them.
bool ConvertAndPrepareVideoParams3GP(tVideoParamsMP4& in, tVideoParams3GP& out);

// Position of `bitrate` among the eight 3GP rates, or -1.
int Find3GPAudioBitrate(int bitrate);
