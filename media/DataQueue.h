#pragma once
// Byte queue: takes decoded audio in pieces of any size and hands it out in
// pieces of any other size.
#include <memory>

class DataQueue {
public:
    DataQueue() = default;
    ~DataQueue() { Flush(); }
    DataQueue(const DataQueue&) = delete;
    DataQueue& operator=(const DataQueue&) = delete;

    // Takes ownership of `data`, an array made with new[]. False, taking
    // nothing, for a null pointer, a size below 1 or when memory runs out.
    bool Write(char* data, long size);
    // Appends a copy of `data`; false when there is nothing to copy or no
    // memory for the copy.
    bool WriteCopy(const char* data, long size);
    // All or nothing: copies exactly `size` bytes into `dest`, or returns
    // false and consumes nothing.
    bool Read(char* dest, long size);
    long Size() const { return m_TotalSize; }
    void Flush();

private:
    struct Chunk {
        std::unique_ptr<char[]> data;
        long size = 0;
        std::unique_ptr<Chunk> next;
    };
    void DropHead();

    std::unique_ptr<Chunk> m_Head;
    Chunk* m_Tail = nullptr;
    long m_TotalSize = 0;
    long m_ReadOffset = 0;  // bytes of the head chunk already handed out
};
