#include "pipeline/ExportJob.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

#include "media/InputStream.h"
#include "media/OutputFormats.h"
#include "media/StreamCopy.h"
#include "pipeline/PendingOutput.h"
#include "pipeline/StreamCopier.h"
#include "pipeline/StreamEncoder.h"

namespace {

// Copied sound is read back as the source's sound.
void AskForTheSourcesSound(tExportRequest& request, const tExportOrder& order)
{
    try {
        InputStream sound(order.input.c_str(), false, true, order.params.iAudioTrack);
        tInputStreamInfo info = sound.GetInfo();
        request.iAudioCodec = CodecByName(info.audioCodec);
        request.iSampleRate = info.sampleRate;
        request.iChannels = info.channels;
    } catch (const char*) {
        // No sound to read: the read-back finds none either.
    } catch (const std::exception&) {
    }
}

bool TwoPasses(const tCodecParams& params)
{
    return params.eVideoRate == VR_TARGET_SIZE && OutputFormat(params.eCodec).encoder.twoPass;
}

// The statistics of two passes in a file of the temporary folder, with the
// files the encoders keep beside it and the first pass's throwaway video;
// all removed when the export ends.
class PassStatistics {
public:
    PassStatistics()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tellavox-pass-XXXXXX").string();
        int file = mkstemp(pattern.data());
        if (file < 0)
            throw "Can't create the file of the first pass.";
        close(file);
        m_Path = pattern;
    }
    ~PassStatistics()
    {
        for (const char* beside : {"", ".temp", ".mbtree", ".mbtree.temp", ".cutree", ".cutree.temp", ".video"})
            std::remove((m_Path + beside).c_str());
    }
    PassStatistics(const PassStatistics&) = delete;
    PassStatistics& operator=(const PassStatistics&) = delete;

    const std::string& Path() const { return m_Path; }

private:
    std::string m_Path;
};

}  // namespace

ExportJob::ExportJob(tExportOrder order, std::function<void()> onEnd)
    : m_Order(std::move(order)), m_OnEnd(std::move(onEnd)), m_Worker(&ExportJob::Run, this)
{
}

ExportJob::~ExportJob()
{
    Abandon();
    Wait();
}

void ExportJob::Ask(Stop stop)
{
    int asked = m_Stop;
    while (asked < stop && !m_Stop.compare_exchange_weak(asked, stop)) {
    }
}

void ExportJob::Wait()
{
    if (m_Worker.joinable())
        m_Worker.join();
}

ExportJob::Snapshot ExportJob::GetSnapshot() const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Snapshot;
}

void ExportJob::CheckOrder(const tExportOrder& order)
{
    struct stat input, output;
    if (stat(order.output.c_str(), &output) == 0 && stat(order.input.c_str(), &input) == 0 &&
        input.st_dev == output.st_dev && input.st_ino == output.st_ino)
        throw "The input and output files are the same file.";
    PendingOutput::CheckTarget(order.output);
}

void ExportJob::Run()
{
    try {
        End(Export(), nullptr);
    } catch (const char* reason) {
        End(FAILED, reason);
    } catch (const std::exception& failure) {
        End(FAILED, failure.what());
    }
}

// Whatever leaves here without a commit takes the unfinished file with it.
ExportJob::State ExportJob::Export()
{
    CheckOrder(m_Order);
    if (m_Order.params.bCopyVideo)
        return Copy();
    std::unique_ptr<PassStatistics> stats;
    if (TwoPasses(m_Order.params)) {
        stats = std::make_unique<PassStatistics>();
        if (!FirstPass(stats->Path()))
            return ABANDONED;
    }
    StreamEncoder encoder(m_Order.input.c_str(), m_Order.output.c_str(), m_Order.params, m_Order.crop,
                          m_Order.start, m_Order.end, stats ? 2 : 0, stats ? stats->Path() : std::string());
    Publish(encoder);
    while (!encoder.IsEnded() && m_Stop == GO) {
        encoder.Encode();
        Publish(encoder);
    }
    if (encoder.IsEnded()) {
        encoder.Finish();
        Publish(encoder);
        return FINISHED;
    }
    if (m_Stop == ABANDON || encoder.GetWrittenFrames() == 0)
        return ABANDONED;
    encoder.FinishEarly();
    return CANCELED;
}

// The pictures alone, encoded into the statistics the second pass needs;
// false when asked to stop.
bool ExportJob::FirstPass(const std::string& stats)
{
    tCodecParams params = m_Order.params;
    params.bAudioEnabled = false;
    std::string video = stats + ".video";
    StreamEncoder encoder(m_Order.input.c_str(), video.c_str(), params, m_Order.crop, m_Order.start, m_Order.end,
                          1, stats);
    m_Passes = 2;
    while (!encoder.IsEnded() && m_Stop == GO) {
        encoder.Encode();
        Publish(encoder);
    }
    if (!encoder.IsEnded())
        return false;
    encoder.Finish();
    m_PassesDone = 1;
    return true;
}

void ExportJob::Publish(const StreamEncoder& encoder)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    m_Snapshot.position = encoder.GetPosition();
    m_Snapshot.duration = encoder.GetDuration();
    double progress = (m_PassesDone * 1000.0 + m_Snapshot.position / m_Snapshot.duration * 1000.0) / m_Passes;
    m_Snapshot.progress = std::isfinite(progress) ? int(std::clamp(progress, 0.0, 1000.0)) : 0;
    m_Snapshot.readFrames = encoder.GetReadFrames();
    m_Snapshot.writtenFrames = encoder.GetWrittenFrames();
}

// Copies the range's packets as they are; a cancel keeps what was copied.
ExportJob::State ExportJob::Copy()
{
    StreamCopier copier(m_Order.input.c_str(), m_Order.output.c_str(), m_Order.params, m_Order.crop,
                        m_Order.start, m_Order.end);
    Publish(copier);
    while (!copier.IsEnded() && m_Stop == GO) {
        copier.Copy();
        Publish(copier);
    }
    if (m_Stop == ABANDON || copier.GetPictures() == 0)
        return ABANDONED;
    bool cancelled = !copier.IsEnded();
    copier.Finish();
    m_Copied = copier.Request(cancelled);
    return cancelled ? CANCELED : FINISHED;
}

void ExportJob::Publish(const StreamCopier& copier)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    m_Snapshot.position = copier.GetPosition();
    m_Snapshot.duration = copier.GetDuration();
    double progress = m_Snapshot.position / m_Snapshot.duration * 1000.0;
    m_Snapshot.progress = std::isfinite(progress) ? int(std::clamp(progress, 0.0, 1000.0)) : 0;
    m_Snapshot.readFrames = m_Snapshot.writtenFrames = copier.GetPictures();
}

// A cancelled export is read back as far as it was written.
void ExportJob::End(State state, const char* reason)
{
    tExportCheck check;
    if ((state == FINISHED || state == CANCELED) && m_Order.params.bCopyVideo) {
        check = ExportCheck(m_Copied).Check(m_Order.output.c_str());
    } else if (state == FINISHED || state == CANCELED) {
        double duration = GetSnapshot().duration;
        tExportRequest request = ExportCheck::RequestFor(m_Order.params, duration, state == CANCELED);
        const wxRect& crop = m_Order.crop;
        request.source = {m_Order.input, m_Order.start, crop.x, crop.y, crop.width, crop.height,
                          m_Order.params.iAudioTrack, m_Order.params.bKeepInterlaced,
                          m_Order.params.bKeepHdr && OutputFormat(m_Order.params.eCodec).encoder.tenBit};
        if (request.bAudio && m_Order.params.eSoundCodec == SC_COPY)
            AskForTheSourcesSound(request, m_Order);
        check = ExportCheck(request).Check(m_Order.output.c_str());
    }
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_Snapshot.state = state;
        m_Snapshot.reason = reason ? reason : "";
        m_Snapshot.check = std::move(check);
    }
    if (m_OnEnd)
        m_OnEnd();
}
