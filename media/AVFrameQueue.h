#pragma once
// First-in-first-out queue of decoded video frames.
#include <memory>

#include "media/FFmpegPtr.h"

class AVFrameQueue {
public:
    AVFrameQueue() = default;
    ~AVFrameQueue() { Flush(); }
    AVFrameQueue(const AVFrameQueue&) = delete;
    AVFrameQueue& operator=(const AVFrameQueue&) = delete;

    // The queue owns `frame` (with its picture references) from here on.
    // Returns false, taking nothing, only when no node can be allocated.
    bool Put(AVFrame* frame);
    // Puts `frame` before all others, to be handed out next.
    bool PutFront(AVFrame* frame);
    // Removes the oldest frame and hands it to the caller, who frees it with
    // av_frame_free. Throws "Can't get packet from queue: queue is empty."
    // when empty.
    AVFrame* Get();
    int Size() const { return m_Count; }
    // Frees every queued frame.
    void Flush();

private:
    struct Node {
        ffmpeg::FramePtr frame;
        std::unique_ptr<Node> next;
    };
    std::unique_ptr<Node> m_Head;
    Node* m_Tail = nullptr;
    int m_Count = 0;
};
