#include "media/AVPacketQueue.h"

bool AVPacketQueue::Put(AVPacket& packet)
{
    ffmpeg::PacketPtr queued(av_packet_alloc());
    if (!queued) return false;
    av_packet_move_ref(queued.get(), &packet);
    if (m_Packets.PushBack(queued)) return true;
    av_packet_move_ref(&packet, queued.get());
    return false;
}
