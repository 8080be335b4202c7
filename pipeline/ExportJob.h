#pragma once
// One export run on a worker thread of its own: the stream encoder is
// stepped there until the range is done or a cancel is asked for, and the
// file is finished there. Any thread may read the progress and ask for a
// cancel; nothing here knows of windows.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "pipeline/StreamEncoder.h"

class ExportJob {
public:
    enum State { RUNNING, FINISHED, CANCELED, FAILED };

    // Takes the encoder over and starts the worker at once.
    explicit ExportJob(std::unique_ptr<StreamEncoder> encoder);
    // Cancels what is still running and waits for the worker.
    ~ExportJob();
    ExportJob(const ExportJob&) = delete;
    ExportJob& operator=(const ExportJob&) = delete;

    // Asks the worker to stop after its current step; the file keeps what
    // was written. Wait() then returns once the file is closed.
    void Cancel() { m_CancelAsked = true; }
    void Wait();
    bool IsDone() const { return m_State != RUNNING; }
    State GetState() const { return m_State; }
    std::string GetReason() const;  // why it failed

    double GetPosition() const { return m_Position; }  // seconds done within the range
    double GetDuration() const { return m_Duration; }
    int GetProgress() const;                           // thousandths, 0..1000
    uint64_t GetReadFrames() const { return m_ReadFrames; }
    uint64_t GetWrittenFrames() const { return m_WrittenFrames; }

private:
    void Run();
    void Publish();

    std::unique_ptr<StreamEncoder> m_Encoder;
    const double m_Duration;
    std::atomic<double> m_Position{0.0};
    std::atomic<uint64_t> m_ReadFrames{0};
    std::atomic<uint64_t> m_WrittenFrames{0};
    std::atomic<bool> m_CancelAsked{false};
    std::atomic<State> m_State{RUNNING};
    mutable std::mutex m_ReasonLock;
    std::string m_Reason;
    std::thread m_Worker;  // last: started once everything above exists
};
