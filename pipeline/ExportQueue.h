#pragma once
// Exports waiting to be made, made one after another on an ExportJob while
// whoever owns the queue goes on with other work. Outputs never share a
// name, and never replace a file unless the user agreed to. The queue is
// kept in a file, rewritten whole at every change, so that a restart (or a
// crash) finds it again; an item that was running is then "interrupted"
// and can be started again. Nothing here knows of windows.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pipeline/ExportJob.h"

struct tQueueItem {
    enum State { WAITING, RUNNING, CHECKED, WARNINGS, FAILED, CANCELLED, INTERRUPTED };

    int id = 0;  // unique within the queue, for as long as it lives
    tExportOrder order;
    State state = WAITING;
    bool replaceAgreed = false;  // the user agreed to replace a file of the output's name
    int progress = 0;            // thousandths, while running
    std::string detail;          // the read-back once it ended, or why it failed
};

class ExportQueue {
public:
    // `file`: where the queue is kept; empty keeps it nowhere.
    explicit ExportQueue(std::string file);
    // A running export is abandoned; its item is kept as interrupted.
    ~ExportQueue();
    ExportQueue(const ExportQueue&) = delete;
    ExportQueue& operator=(const ExportQueue&) = delete;

    // $XDG_STATE_HOME/tellavox/queue, by default ~/.local/state/tellavox/queue.
    static std::string DefaultFile();
    // `path` when it is not taken, else "name (1).ext", "name (2).ext", ...
    // (counting afresh from a " (n)" the name already ends in).
    static std::string NextFreeName(const std::string& path, const std::function<bool(const std::string&)>& taken);
    static const char* StateName(tQueueItem::State state);

    // Reads the file, when there is one. Lines that cannot be read are left
    // out and the file is kept beside it as "<file>.damaged"; false then.
    bool Load();
    // Whether the last change reached the file.
    bool IsSaved() const { return m_Saved; }

    // Queues an export; its output takes the next free name when another
    // item has it, or a file has it that the user did not agree to replace.
    // Returns the item's id.
    int Add(tExportOrder order, bool replaceAgreed);
    // A running item is abandoned first.
    void Remove(int id);
    // A running item stops after its current step, keeping what it wrote.
    void Cancel(int id);
    // Failed, cancelled and interrupted items wait again.
    void Restart(int id);
    // One place earlier (step -1) or later (+1).
    void Move(int id, int step);

    // While going, each Poll starts the first waiting item once none runs;
    // the queue stops going when nothing is left waiting.
    void SetGoing(bool going);
    bool IsGoing() const { return m_Going; }
    // Follows the running export (its progress, its end), then starts the
    // next one. Called from a timer, or after WaitForCurrent.
    void Poll();
    // Abandons the running export, keeping its item as interrupted, and
    // stops going: the program is about to end.
    void Interrupt();
    // Waits for the running export to end, for callers without a timer.
    void WaitForCurrent();
    bool IsBusy() const { return m_Job != nullptr; }

    const std::vector<tQueueItem>& Items() const { return m_Items; }
    const tQueueItem* Find(int id) const;

private:
    tQueueItem* FindItem(int id);
    // The next name taken neither by another item nor by a file.
    std::string FreeOutput(const tQueueItem& item) const;
    bool Taken(const std::string& path, int exceptId) const;
    void StartNext();
    void EndRunning(const ExportJob::Snapshot& end);
    void Save();

    const std::string m_File;
    std::vector<tQueueItem> m_Items;
    int m_NextId = 1;
    bool m_Going = false;
    bool m_Saved = true;
    int m_RunningId = 0;
    std::unique_ptr<ExportJob> m_Job;  // the running item's export
};
