#include "pipeline/PictureWriter.h"

#include <new>

PictureWriter::PictureWriter(OutputStream& output, std::mutex& outputLock)
    : m_Output(output), m_OutputLock(outputLock), m_Thread(&PictureWriter::Run, this)
{
}

PictureWriter::~PictureWriter()
{
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_Stop = true;
    }
    m_Changed.notify_all();
    m_Thread.join();
}

void PictureWriter::Write(ffmpeg::FramePtr picture, uint64_t copies)
{
    std::unique_lock<std::mutex> lock(m_Lock);
    m_Changed.wait(lock, [this] { return m_Jobs.size() < capacity || m_Failure; });
    ThrowFailure();
    m_Jobs.push_back({std::move(picture), copies});
    m_Changed.notify_all();
}

void PictureWriter::Flush()
{
    std::unique_lock<std::mutex> lock(m_Lock);
    m_Changed.wait(lock, [this] { return (m_Jobs.empty() && !m_Writing) || m_Failure; });
    ThrowFailure();
}

// Called with m_Lock held.
void PictureWriter::ThrowFailure()
{
    if (m_Failure)
        std::rethrow_exception(m_Failure);
}

void PictureWriter::Run()
{
    std::unique_lock<std::mutex> lock(m_Lock);
    for (;;) {
        m_Changed.wait(lock, [this] { return !m_Jobs.empty() || m_Stop; });
        if (m_Stop)
            return;
        Job job = std::move(m_Jobs.front());
        m_Jobs.pop_front();
        m_Writing = true;
        lock.unlock();
        std::exception_ptr failure;
        try {
            WriteJob(job);
        } catch (const std::bad_alloc&) {
            failure = std::make_exception_ptr("Not enough memory to write the next picture.");
        } catch (...) {
            failure = std::current_exception();  // told as it is, by the thread that writes next
        }
        lock.lock();
        m_Writing = false;
        if (failure && !m_Failure)
            m_Failure = failure;
        m_Changed.notify_all();
        if (m_Failure)
            return;
    }
}

void PictureWriter::WriteJob(const Job& job)
{
    std::lock_guard<std::mutex> output(m_OutputLock);
    for (uint64_t i = 0; i < job.copies && !m_Stop; ++i)
        m_Output.WriteNextVideoFrame(job.picture.get());
}
