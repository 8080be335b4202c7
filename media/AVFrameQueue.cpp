#include "media/AVFrameQueue.h"

#include <new>

bool AVFrameQueue::Put(AVFrame* frame)
{
    std::unique_ptr<Node> node(new (std::nothrow) Node);
    if (!node) return false;
    node->frame.reset(frame);

    Node* added = node.get();
    if (m_Tail)
        m_Tail->next = std::move(node);
    else
        m_Head = std::move(node);
    m_Tail = added;
    ++m_Count;
    return true;
}

bool AVFrameQueue::PutFront(AVFrame* frame)
{
    std::unique_ptr<Node> node(new (std::nothrow) Node);
    if (!node) return false;
    node->frame.reset(frame);
    node->next = std::move(m_Head);
    m_Head = std::move(node);
    if (!m_Tail) m_Tail = m_Head.get();
    ++m_Count;
    return true;
}

AVFrame* AVFrameQueue::Get()
{
    if (m_Count < 1) throw "Can't get packet from queue: queue is empty.";
    AVFrame* frame = m_Head->frame.release();
    m_Head = std::move(m_Head->next);
    if (!m_Head) m_Tail = nullptr;
    --m_Count;
    return frame;
}

void AVFrameQueue::Flush()
{
    while (m_Head) m_Head = std::move(m_Head->next);
    m_Tail = nullptr;
    m_Count = 0;
}
