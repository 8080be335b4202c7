#include "pipeline/ExportJob.h"

#include <algorithm>
#include <cmath>

ExportJob::ExportJob(std::unique_ptr<StreamEncoder> encoder)
    : m_Encoder(std::move(encoder)), m_Duration(m_Encoder->GetDuration()), m_Worker(&ExportJob::Run, this)
{
}

ExportJob::~ExportJob()
{
    Cancel();
    Wait();
}

void ExportJob::Wait()
{
    if (m_Worker.joinable())
        m_Worker.join();
}

void ExportJob::Run()
{
    State end = FINISHED;
    try {
        while (!m_Encoder->IsEnded()) {
            if (m_CancelAsked) {
                end = CANCELED;
                break;
            }
            m_Encoder->Encode();
            Publish();
        }
        if (end == CANCELED)
            m_Encoder->FinishEarly();
        else
            m_Encoder->Finish();
    } catch (const char* message) {
        std::lock_guard<std::mutex> lock(m_ReasonLock);
        m_Reason = message;
        end = FAILED;
    } catch (...) {
        end = FAILED;
    }
    Publish();
    m_State = end;
}

void ExportJob::Publish()
{
    m_Position = m_Encoder->GetPosition();
    m_ReadFrames = m_Encoder->GetReadFrames();
    m_WrittenFrames = m_Encoder->GetWrittenFrames();
}

std::string ExportJob::GetReason() const
{
    std::lock_guard<std::mutex> lock(m_ReasonLock);
    return m_Reason;
}

int ExportJob::GetProgress() const
{
    double progress = m_Position / m_Duration * 1000.0;
    return std::isfinite(progress) ? int(std::clamp(progress, 0.0, 1000.0)) : 0;
}
