#include "media/AVFrameQueue.h"

bool AVFrameQueue::Queue(AVFrame* frame, bool front)
{
    ffmpeg::FramePtr owned(frame);
    bool queued = front ? m_Frames.PushFront(owned) : m_Frames.PushBack(owned);
    if (!queued) (void)owned.release();  // still the caller's
    return queued;
}
