#include "media/SoundCopier.h"

#include <algorithm>

SoundCopier::SoundCopier(const char* inputName, int soundTrack, double start, double end)
    : m_Source(inputName, soundTrack, true), m_Start(start), m_End(end)
{
    m_Source.StartSoundAt(start);
}

bool SoundCopier::CopyNext(OutputStream& output)
{
    ffmpeg::PacketPtr packet = m_Source.Next();
    if (!packet || m_Source.Seconds(*packet) >= m_End)
        return false;
    m_Heard = std::max(m_Heard, m_Source.EndSeconds(*packet) - m_Start);
    m_Source.Rebase(*packet, m_Start);
    output.WriteCopiedSound(packet.get(), m_Source.Sound()->time_base);
    return true;
}
