#include "media/PacketGate.h"

#include <algorithm>

#include "media/EncoderCore.h"

PacketGate::PacketGate(AVFormatContext* file, const tOutputTrack& video, const tOutputTrack& audio)
    : m_File(file), m_Video(video), m_Audio(audio)
{
}

bool PacketGate::Put(AVPacket* packet)
{
    ffmpeg::PacketPtr copy(av_packet_alloc());
    if (!copy) {
        if (m_Error == 0)
            m_Error = AVERROR(ENOMEM);
        return false;
    }
    av_packet_move_ref(copy.get(), packet);
    AVPacket* p = copy.get();
    if (p->stream_index == m_Video.pStream->index) {
        // Pictures are numbered from 0 by the encoder's clock; one without a
        // time holds nothing back.
        int64_t number = p->pts == AV_NOPTS_VALUE ? m_Complete : p->pts;
        if (number >= m_Complete)
            m_Early.insert(number);
        while (!m_Early.empty() && *m_Early.begin() <= m_Complete) {
            m_Complete = std::max(m_Complete, *m_Early.begin() + 1);
            m_Early.erase(m_Early.begin());
        }
        m_Pictures.push_back({std::move(copy), double(number)});
    } else {
        double start = p->pts * av_q2d(m_Audio.pCodec->time_base);
        m_Sound.push_back({std::move(copy), start});
    }
    return WriteReady();
}

bool PacketGate::WriteReady()
{
    // An encoder whose pictures leave a number out would hold everything
    // back; past a bound the oldest goes in regardless.
    while (!m_Pictures.empty() &&
           (m_Pictures.front().ready < m_Complete || m_Pictures.size() > mostPictures)) {
        m_Complete = std::max(m_Complete, int64_t(m_Pictures.front().ready) + 1);
        if (!Write(m_Pictures.front(), m_Video))
            return false;
        m_Pictures.pop_front();
    }
    double covered = m_Complete * av_q2d(m_Video.pCodec->time_base);
    while (!m_Sound.empty() && (m_Sound.front().ready < covered || m_Sound.size() > mostSoundPackets)) {
        if (!Write(m_Sound.front(), m_Audio))
            return false;
        m_Sound.pop_front();
    }
    return true;
}

bool PacketGate::Write(Held& held, const tOutputTrack& track)
{
    AVPacket* packet = held.packet.get();
    av_packet_rescale_ts(packet, track.pCodec->time_base, track.pStream->time_base);
    int result = av_interleaved_write_frame(m_File, packet);
    if (result < 0 && m_Error == 0)
        m_Error = result;
    return result >= 0;
}

bool PacketGate::Release()
{
    bool written = true;
    for (Held& held : m_Pictures)
        written = Write(held, m_Video) && written;
    for (Held& held : m_Sound)
        written = Write(held, m_Audio) && written;
    Drop();
    return written;
}

void PacketGate::Drop()
{
    m_Pictures.clear();
    m_Sound.clear();
}
