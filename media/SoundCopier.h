#pragma once
// The source's sound packets over a range, as they are stored, for an
// output that copies its sound: from the packet that holds the range's
// start (its times then a little below 0, which the container skips) to
// the last that begins before the range's end; times start at the range's
// start. Failures are thrown as constant messages (const char*).
#include "media/OutputStream.h"
#include "media/PacketSource.h"

class SoundCopier {
public:
    // Seconds from the start of the media; `soundTrack` as PacketSource takes it.
    SoundCopier(const char* inputName, int soundTrack, double start, double end);

    const AVCodecParameters& Parameters() const { return *m_Source.Sound()->codecpar; }
    // Copies the next packet into `output`; false once the range's sound is copied.
    bool CopyNext(OutputStream& output);
    // Seconds of sound copied, from the range's start.
    double Seconds() const { return m_Heard; }

private:
    PacketSource m_Source;
    double m_Start;
    double m_End;
    double m_Heard = 0.0;
};
