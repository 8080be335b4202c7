#pragma once
// The description of an export's output: container, profile and the audio
// and video encoding parameters. Copied by value wherever it is handed on.
#include <cstdint>

#include "media/ColourTags.h"

enum enumOutputCodec : int32_t {
    OC_MP4 = 0,
    OC_3GP = 1,
    OC_3G2 = 2,
    OC_MPG = 3,
    OC_M2V = 4,
    OC_VOB = 5,
    OC_PSP = 6,
    OC_MOV = 7,
    OC_SWF = 8,
    OC_FLV = 9,
    // MP4 and MOV with MPEG-4 Part 2 pictures, for players without H.264.
    OC_MP4_PART2 = 10,
    OC_MOV_PART2 = 11,
    // H.265 (tagged hvc1), AV1 and VP9, and Matroska and WebM.
    OC_MP4_H265 = 12,
    OC_MOV_H265 = 13,
    OC_MP4_AV1 = 14,
    OC_MKV_H264 = 15,
    OC_MKV_H265 = 16,
    OC_MKV_AV1 = 17,
    OC_MKV_VP9 = 18,
    OC_WEBM_VP9 = 19,
    OC_WEBM_AV1 = 20,
};
constexpr int OUTPUT_CODEC_COUNT = 21;

// How the video encoder spends bits.
enum enumVideoRate : int32_t {
    VR_BITRATE = 0,      // iVideoBitrate on average
    VR_QUALITY = 1,      // constant quality iQuality, on the codec's own scale
    VR_TARGET_SIZE = 2,  // the bit rate that makes the file iTargetKB long
};

// The sound codec written.
enum enumSoundCodec : int32_t {
    SC_OUTPUT = 0,  // the output's own (its row's audioCodec)
    SC_OPUS = 1,    // Opus, where the container takes it
    SC_AAC = 2,     // AAC, where the container takes it
    SC_COPY = 3,    // the source's packets as they are
};

struct tCodecParams {
    int32_t iAudioBitrate = 0;     // bit/s
    int32_t iAudioChannels = 0;    // 1 mono, 2 stereo, 6 as the source up to 5.1 (AAC in MP4 and MOV)
    int32_t iAudioSampleRate = 0;  // Hz
    int32_t iVideoBitrate = 0;     // bit/s
    int32_t iGopSize = 0;          // 0..20; shown as Quality = 20 - iGopSize
    int32_t iFps = 0;              // whole frames per second, unless the source's exact rate holds
    int32_t iWidth = 0;            // pixels
    int32_t iHeight = 0;           // pixels
    bool bAudioEnabled = false;
    enumOutputCodec eCodec = OC_MP4;
    // The source's exact frame rate as a fraction (0/0: none). The output
    // keeps it while iFps is this rate rounded; a rate the user chooses
    // clears it.
    int32_t iSourceFpsNum = 0;
    int32_t iSourceFpsDen = 0;
    // Interlaced sources are written as they are, not deinterlaced.
    bool bKeepInterlaced = false;
    // The input's sound track, from 1 among its sound tracks; 0: the one the
    // input marks as default.
    int32_t iAudioTrack = 0;
    enumVideoRate eVideoRate = VR_BITRATE;
    int32_t iQuality = 0;   // with VR_QUALITY; lower is better (CRF)
    int32_t iTargetKB = 0;  // with VR_TARGET_SIZE: the whole file, in kB of 1000 bytes
    int32_t iSpeed = -1;    // into the output's speed presets, fastest first; -1: its default
    enumSoundCodec eSoundCodec = SC_OUTPUT;
    // The source's pictures copied as they are, from the key frame at or
    // before the start; nothing about the pictures may change.
    bool bCopyVideo = false;
    // 10-bit and HDR sources kept at 10 bits with their tags (H.265, AV1)
    // instead of tone-mapped.
    bool bKeepHdr = false;
};

// Records of one family, built from tCodecParams by the output stream.
struct tAudioParamsMP4 {
    int32_t iBitrate;
    int32_t iSampleRate;
    int32_t iChannels;
    // The source's sound, written as it is instead of encoded (the values
    // above then do not count).
    const struct AVCodecParameters* pCopied = nullptr;
};

// iRateNum/iRateDen, when both are set, is the exact rate that replaces iFps.
struct tVideoParamsMP4 {
    int32_t iBitrate;
    int32_t iWidth;
    int32_t iHeight;
    int32_t iFps;
    int32_t iGopSize;
    int32_t iRateNum = 0;
    int32_t iRateDen = 0;
    tColourTags colour;  // of the pixels the encoder is given
    // A pixel's shape as shown, so that any size shows the picture's shape.
    int32_t iPixelAspectNum = 1;
    int32_t iPixelAspectDen = 1;
};

struct tVideoParams3GP {
    int32_t iBitrate;
    int32_t iResolutionIndex;  // into the five H.263 picture sizes
    int32_t iFps;
    int32_t iGopSize;
    int32_t iRateNum = 0;
    int32_t iRateDen = 0;
};

// The AMR-NB codec modes; the number is the rate in bit/s.
enum enumAudioBitrate3GP : int32_t {
    AB3GP_4750 = 0,
    AB3GP_5150,
    AB3GP_5900,
    AB3GP_6700,
    AB3GP_7400,
    AB3GP_7950,
    AB3GP_10200,
    AB3GP_12200,
};

enum enum3GPVersion : int32_t {
    VERSION_3GP = 0,
    VERSION_3G2 = 1,
};

enum enumMpegFormat : int32_t {
    MPEG_FORMAT_MPEG = 0,
    MPEG_FORMAT_TS = 1,
    MPEG_FORMAT_DVD = 2,
};
