#pragma once
// Reads a finished export back and compares it with what was asked: the file
// opens, its streams carry the chosen codecs, the pictures fill the range at
// the frame rate, picture and sound last the range and end together, and the
// packets of each stream come in order. Only packets are read, nothing is
// decoded, so the read-back costs a small part of the export. Never throws:
// a file that cannot be read is itself a finding.
#include <cstdint>
#include <vector>

#include "media/CodecParams.h"

// What an export set out to write. Codecs are AVCodecID values.
struct tExportRequest {
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

    tExportRequest m_Request;
};
