#pragma once
// One whole export on a worker thread of its own: the input and the output
// are opened there, the range is encoded, the file finished and read back.
// Any thread may take a snapshot of where the export is and ask it to stop;
// whoever started it may be told, on the worker, when it has ended.
// Nothing here knows of windows.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include <wx/gdicmn.h>

#include "media/CodecParams.h"
#include "pipeline/ExportCheck.h"

class StreamCopier;
class StreamEncoder;

// What to export: file names in UTF-8, the crop in source pixels, the range
// in seconds (an end of 0 means the end of the media).
struct tExportOrder {
    std::string input;
    std::string output;
    tCodecParams params;
    wxRect crop;
    double start = 0.0;
    double end = 0.0;
};

class ExportJob {
public:
    // CANCELED: the file holds what was written until the cancel.
    // ABANDONED: stopped with nothing committed; an earlier file is untouched.
    enum State { RUNNING, FINISHED, CANCELED, ABANDONED, FAILED };

    struct Snapshot {
        State state = RUNNING;
        double position = 0.0;  // seconds done within the range
        double duration = 0.0;  // the range's length, once the input is open
        int progress = 0;       // thousandths, 0..1000
        uint64_t readFrames = 0;
        uint64_t writtenFrames = 0;
        std::string reason;  // why it failed
        tExportCheck check;  // the read-back, after FINISHED and CANCELED
    };

    // Starts the worker at once. `onEnd` is called on the worker once the
    // snapshot shows the end.
    explicit ExportJob(tExportOrder order, std::function<void()> onEnd = {});
    // Abandons what is still running and waits for the worker.
    ~ExportJob();
    ExportJob(const ExportJob&) = delete;
    ExportJob& operator=(const ExportJob&) = delete;

    // Both only ask; the worker stops after its current step. Cancel keeps
    // what was written (nothing is committed when no picture was); Abandon
    // removes the unfinished file.
    void Cancel() { Ask(CANCEL); }
    void Abandon() { Ask(ABANDON); }
    void Wait();
    Snapshot GetSnapshot() const;

    // The refusals that need no encoding, in the order they are made: an
    // output that is the input (by any name), that exists and is not a
    // regular file, or whose name is longer than its folder takes. Throws
    // a constant message.
    static void CheckOrder(const tExportOrder& order);

private:
    enum Stop { GO, CANCEL, ABANDON };

    void Ask(Stop stop);
    void Run();
    State Export();
    bool FirstPass(const std::string& stats);
    void Publish(const StreamEncoder& encoder);
    State Copy();
    void Publish(const StreamCopier& copier);
    void End(State state, const char* reason);

    const tExportOrder m_Order;
    const std::function<void()> m_OnEnd;
    std::atomic<int> m_Stop{GO};
    mutable std::mutex m_Lock;  // guards m_Snapshot
    Snapshot m_Snapshot;
    tExportRequest m_Copied;  // what a copy is read back against, once it is known
    int m_Passes = 1;      // a target size met over two passes shares the progress between them
    int m_PassesDone = 0;
    std::thread m_Worker;  // last: started once everything above exists
};
