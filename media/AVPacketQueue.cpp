#include "media/AVPacketQueue.h"

#include <new>

bool AVPacketQueue::Put(AVPacket& packet)
{
    std::unique_ptr<Node> node(new (std::nothrow) Node);
    if (!node) return false;
    node->packet.reset(av_packet_alloc());
    if (!node->packet) return false;
    av_packet_move_ref(node->packet.get(), &packet);

    Node* added = node.get();
    if (m_Tail)
        m_Tail->next = std::move(node);
    else
        m_Head = std::move(node);
    m_Tail = added;
    ++m_Count;
    return true;
}

ffmpeg::PacketPtr AVPacketQueue::Get()
{
    if (m_Count < 1) throw "Can't get packet from queue: queue is empty.";
    ffmpeg::PacketPtr packet = std::move(m_Head->packet);
    m_Head = std::move(m_Head->next);
    if (!m_Head) m_Tail = nullptr;
    --m_Count;
    return packet;
}

void AVPacketQueue::Flush()
{
    // Unlinks one node at a time, so a long queue is not freed recursively.
    while (m_Head) m_Head = std::move(m_Head->next);
    m_Tail = nullptr;
    m_Count = 0;
}
