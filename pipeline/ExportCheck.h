#pragma once
// Reads a finished export back and compares it with what was asked: the file
// opens, its streams carry the chosen codecs, the pictures fill the range at
// the frame rate, picture and sound last the range and end together, and the
// packets of each stream come in order. Given its source, it also decodes a
// few pictures and a short stretch of sound of both and compares what they
// show and sound like: the shape, the colours read by each file's own tags,
// and each channel's mix (not for a cancelled export, which is to end at
// once). Never throws: a file that cannot be read is itself a finding.
#include <cstdint>
#include <string>
#include <vector>

#include "media/CodecParams.h"

// Where an export's pictures and sound came from, so that its content can
// be compared with them. Without a file name only packets are compared.
struct tExportSource {
    std::string fileName;  // UTF-8
    double dStart = 0.0;   // the range's start, seconds from the start of the media
    // The part of the upright picture exported, in its pixels; an empty
    // rectangle is the whole picture.
    int iCropX = 0, iCropY = 0, iCropWidth = 0, iCropHeight = 0;
    int iAudioTrack = 0;  // the sound track taken, from 1 among the sound tracks; 0: the file's best
    bool bKeepFields = false;  // interlaced pictures were written as they are
    bool bKeepHdr = false;     // HDR pictures were written as they are, not tone-mapped
};

// What an export set out to write. Codecs are AVCodecID values.
struct tExportRequest {
    tExportSource source;
    double dRangeSeconds = 0.0;
    // A cancelled export is judged by itself: its length is whatever was
    // written, so only the comparisons that need no range are made.
    bool bCancelled = false;
    double dFps = 0.0;
    int iWidth = 0;
    int iHeight = 0;
    int iVideoCodec = 0;
    bool bAudio = false;
    int iAudioCodec = 0;
    int iSampleRate = 0;
    int iChannels = 0;
    // Pictures copied as they are from the source's key frame at this time
    // (seconds from the start of the media); below 0 when they were encoded.
    double dCopiedFrom = -1.0;
};

// One failed comparison. `dAmount` is what was found minus what was asked:
// seconds for lengths and ends, pictures for the count, packets for the
// order; 0 where no amount applies.
enum enumExportFault {
    EF_DOES_NOT_OPEN,
    EF_READ_ERROR,      // reading stopped early; dAmount: where the picture ends
    EF_NO_VIDEO,
    EF_VIDEO_CODEC,
    EF_PICTURE_SIZE,
    EF_NO_AUDIO,
    EF_AUDIO_CODEC,
    EF_AUDIO_FORMAT,    // sample rate or channels
    EF_PICTURE_COUNT,
    EF_VIDEO_LENGTH,
    EF_AUDIO_LENGTH,
    EF_AUDIO_END,       // the sound's end minus the picture's
    EF_OUT_OF_ORDER,    // dAmount: packets whose decoding time does not increase
    EF_DISPLAY_SHAPE,   // dAmount: the shape shown over the source's
    EF_PICTURE_CONTENT, // dAmount: the lowest PSNR against the source, dB
    EF_COLOURS,         // dAmount: the largest shift of a region's mean colour, 0..255
    EF_COLOUR_TAGS,     // the file does not say how its colours are to be read
    EF_CHANNEL_LAYOUT,
    EF_CHANNEL_MIX,     // dAmount: the first channel that does not carry the source's mix
};

struct tExportFault {
    enumExportFault eKind;
    double dAmount;
};

// What the packets of one stream tell; times in seconds on the file's time line.
struct tStreamReadBack {
    bool bPresent = false;
    int iCodec = 0;
    int64_t iPackets = 0;
    int64_t iOutOfOrder = 0;
    double dStart = 0.0;  // the first sample shown or heard
    double dEnd = 0.0;
    double Length() const { return dEnd - dStart; }
};

// What decoding the file beside its source tells.
struct tContentReadBack {
    int iPictures = 0;             // pictures compared with the source's
    double dLowestPsnr = 0.0;      // dB
    double dLargestShift = 0.0;    // the largest difference of a region's mean colour, 0..255
    double dAspect = 0.0;          // the shape the file is shown in, width over height
    double dSourceAspect = 0.0;    // the shape of the part of the source exported
    bool bColourTagged = true;     // matrix, primaries, transfer and range written where the file can say them
    bool bSoundCompared = false;
    bool bLayoutAsAsked = true;
    int iWrongChannel = -1;        // the first channel not carrying the source's mix
    std::string sTrack;            // the source's sound track taken, named when it has several
};

struct tExportCheck {
    tExportRequest asked;
    bool bOpened = false;
    bool bReadError = false;  // reading stopped early, or the index lists more packets
    tStreamReadBack video;
    int iWidth = 0;
    int iHeight = 0;
    tStreamReadBack audio;
    int iSampleRate = 0;
    int iChannels = 0;
    int iAudioFrameSize = 0;  // samples per encoder frame
    tContentReadBack content;
    std::vector<tExportFault> faults;
    bool Passed() const { return bOpened && faults.empty(); }
};

class ExportCheck {
public:
    explicit ExportCheck(const tExportRequest& request) : m_Request(request) {}

    // What an export of `params` over `rangeSeconds` writes: the family's
    // codecs and, for 3GP, its capped frame rate and narrow-band sound.
    static tExportRequest RequestFor(const tCodecParams& params, double rangeSeconds, bool cancelled);

    // `fileName` in UTF-8.
    tExportCheck Check(const char* fileName) const;
    // The comparisons alone, made on what was read; fills `found.faults`.
    void Compare(tExportCheck& found) const;

private:
    void CompareStreams(tExportCheck& found) const;
    void CompareLengths(tExportCheck& found) const;
    void CompareContent(tExportCheck& found) const;

    tExportRequest m_Request;
};
