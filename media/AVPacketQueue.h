#pragma once
// First-in-first-out queue of demuxed packets of one elementary stream.
#include <memory>

#include "media/FFmpegPtr.h"

class AVPacketQueue {
public:
    AVPacketQueue() = default;
    ~AVPacketQueue() { Flush(); }
    AVPacketQueue(const AVPacketQueue&) = delete;
    AVPacketQueue& operator=(const AVPacketQueue&) = delete;

    // Takes over the packet's reference (payload included); `packet` is left
    // blank and may be reused for the next read. Returns false, taking
    // nothing, only when no node can be allocated.
    bool Put(AVPacket& packet);
    // Removes the oldest packet and hands it to the caller.
    // Throws "Can't get packet from queue: queue is empty." when empty.
    ffmpeg::PacketPtr Get();
    int Size() const { return m_Count; }
    // Releases every queued packet.
    void Flush();

private:
    struct Node {
        ffmpeg::PacketPtr packet;
        std::unique_ptr<Node> next;
    };
    std::unique_ptr<Node> m_Head;
    Node* m_Tail = nullptr;
    int m_Count = 0;
};
