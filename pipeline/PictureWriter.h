#pragma once
// Encodes the pictures of an export on a thread of its own, so that decoding
// and converting the next picture go on meanwhile. Holds a few pictures at
// most, at the output's size: Write() waits while they are not yet written.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "media/OutputStream.h"

class PictureWriter {
public:
    // `outputLock` guards `output`, which others write sound into.
    PictureWriter(OutputStream& output, std::mutex& outputLock);
    // Stops the thread; pictures not yet written are dropped.
    ~PictureWriter();
    PictureWriter(const PictureWriter&) = delete;
    PictureWriter& operator=(const PictureWriter&) = delete;

    // Queues a picture of the output's size and format to be written
    // `copies` times. Throws what went wrong with a picture before it.
    void Write(ffmpeg::FramePtr picture, uint64_t copies);
    // Waits until every queued picture is written; throws what went wrong.
    void Flush();

private:
    struct Job {
        ffmpeg::FramePtr picture;
        uint64_t copies;
    };
    void Run();
    void WriteJob(const Job& job);
    void ThrowFailure();

    static constexpr size_t capacity = 3;
    OutputStream& m_Output;
    std::mutex& m_OutputLock;
    std::mutex m_Lock;
    std::condition_variable m_Changed;
    std::deque<Job> m_Jobs;
    bool m_Writing = false;  // a job taken from the queue is being written
    std::atomic<bool> m_Stop{false};  // also read by a job that writes many copies
    std::exception_ptr m_Failure;  // the first failure of a write
    std::thread m_Thread;  // last: started once everything above exists
};
