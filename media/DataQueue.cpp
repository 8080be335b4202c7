#include "media/DataQueue.h"

#include <cstring>
#include <new>

bool DataQueue::Write(char* data, long size)
{
    if (!data || size < 1) return false;
    std::unique_ptr<Chunk> chunk(new (std::nothrow) Chunk);
    if (!chunk) return false;
    chunk->data.reset(data);
    chunk->size = size;

    Chunk* added = chunk.get();
    if (m_Tail)
        m_Tail->next = std::move(chunk);
    else
        m_Head = std::move(chunk);
    m_Tail = added;
    m_TotalSize += size;
    return true;
}

bool DataQueue::WriteCopy(const char* data, long size)
{
    if (!data || size < 1) return false;
    std::unique_ptr<char[]> copy(new (std::nothrow) char[size]);
    if (!copy) return false;
    std::memcpy(copy.get(), data, size);
    if (!Write(copy.get(), size)) return false;
    (void)copy.release();
    return true;
}

bool DataQueue::Read(char* dest, long size)
{
    if (!dest || size < 1 || m_TotalSize < size) return false;
    long remaining = size;
    while (remaining > 0) {
        long available = m_Head->size - m_ReadOffset;
        if (available > remaining) {
            std::memcpy(dest, m_Head->data.get() + m_ReadOffset, remaining);
            m_ReadOffset += remaining;
            m_TotalSize -= remaining;
            return true;
        }
        std::memcpy(dest, m_Head->data.get() + m_ReadOffset, available);
        dest += available;
        remaining -= available;
        m_TotalSize -= available;
        DropHead();
    }
    return true;
}

void DataQueue::DropHead()
{
    m_ReadOffset = 0;
    m_Head = std::move(m_Head->next);
    if (!m_Head) m_Tail = nullptr;
}

void DataQueue::Flush()
{
    while (m_Head) m_Head = std::move(m_Head->next);
    m_Tail = nullptr;
    m_TotalSize = 0;
    m_ReadOffset = 0;
}
