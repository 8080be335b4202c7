#pragma once
// First-in-first-out queue of demuxed packets of one elementary stream.
#include "media/FFmpegPtr.h"
#include "media/OwnedQueue.h"

class AVPacketQueue {
public:
    // Takes over the packet's reference (payload included); `packet` is left
    // blank and may be reused for the next read. Returns false, taking
    // nothing, only when no memory can be had.
    bool Put(AVPacket& packet);
    // Removes the oldest packet and hands it to the caller.
    // Throws "Can't get packet from queue: queue is empty." when empty.
    ffmpeg::PacketPtr Get() { return m_Packets.PopFront(); }
    int Size() const { return m_Packets.Size(); }
    // Releases every queued packet.
    void Flush() { m_Packets.Flush(); }

private:
    OwnedQueue<ffmpeg::PacketPtr> m_Packets;
};
