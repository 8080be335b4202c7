#pragma once
// A first-in-first-out list of owned objects (unique_ptr), the common part
// of the packet and frame queues.
#include <memory>
#include <new>

template <typename Owner>
class OwnedQueue {
public:
    OwnedQueue() = default;
    ~OwnedQueue() { Flush(); }
    OwnedQueue(const OwnedQueue&) = delete;
    OwnedQueue& operator=(const OwnedQueue&) = delete;

    // False, leaving `item` with the caller, when no node can be allocated.
    bool PushBack(Owner& item)
    {
        Node* node = NewNode(item);
        if (!node) return false;
        if (m_Tail)
            m_Tail->next.reset(node);
        else
            m_Head.reset(node);
        m_Tail = node;
        return true;
    }

    bool PushFront(Owner& item)
    {
        Node* node = NewNode(item);
        if (!node) return false;
        node->next = std::move(m_Head);
        m_Head.reset(node);
        if (!m_Tail) m_Tail = node;
        return true;
    }

    // Throws "Can't get packet from queue: queue is empty." when empty.
    Owner PopFront()
    {
        if (m_Count < 1) throw "Can't get packet from queue: queue is empty.";
        Owner item = std::move(m_Head->item);
        m_Head = std::move(m_Head->next);
        if (!m_Head) m_Tail = nullptr;
        --m_Count;
        return item;
    }

    int Size() const { return m_Count; }

    void Flush()
    {
        // One node at a time, so a long queue is not freed recursively.
        while (m_Head) m_Head = std::move(m_Head->next);
        m_Tail = nullptr;
        m_Count = 0;
    }

private:
    struct Node {
        Owner item;
        std::unique_ptr<Node> next;
    };

    Node* NewNode(Owner& item)
    {
        Node* node = new (std::nothrow) Node;
        if (!node) return nullptr;
        node->item = std::move(item);
        ++m_Count;
        return node;
    }

    std::unique_ptr<Node> m_Head;
    Node* m_Tail = nullptr;
    int m_Count = 0;
};
