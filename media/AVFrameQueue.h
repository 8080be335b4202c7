#pragma once
// First-in-first-out queue of decoded video frames.
#include "media/FFmpegPtr.h"
#include "media/OwnedQueue.h"

class AVFrameQueue {
public:
    // The queue owns `frame` (with its picture references) from here on.
    // Returns false, taking nothing, only when no node can be allocated.
    bool Put(AVFrame* frame) { return Queue(frame, false); }
    // Puts `frame` before all others, to be handed out next.
    bool PutFront(AVFrame* frame) { return Queue(frame, true); }
    // Removes the oldest frame and hands it to the caller, who frees it with
    // av_frame_free. Throws "Can't get packet from queue: queue is empty."
    // when empty.
    AVFrame* Get() { return m_Frames.PopFront().release(); }
    int Size() const { return m_Frames.Size(); }
    // Frees every queued frame.
    void Flush() { m_Frames.Flush(); }

private:
    bool Queue(AVFrame* frame, bool front);

    OwnedQueue<ffmpeg::FramePtr> m_Frames;
};
