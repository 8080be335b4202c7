#pragma once
// The modal progress dialog under which one export runs: the file's name,
// a gauge, the percentage, the time taken and the time left, and "Cancel".
// The whole export runs on a worker thread (ExportJob), which tells the
// dialog when it has ended; a timer shows its progress meanwhile. Cancel
// only asks the worker to stop. A stop signal (see StopSignals) abandons
// the export.
#include <memory>

#include <wx/dialog.h>
#include <wx/timer.h>

#include "pipeline/ExportJob.h"

class wxButton;
class wxGauge;
class wxStaticText;

enum {
    EXPORT_FAILED = 0,
    EXPORT_CANCELED = 1,
    EXPORT_FINISHED = 2,
};

class Exporter : public wxDialog {
public:
    Exporter(wxWindow* parent, const tExportOrder& order);
    ~Exporter() override;

    // Runs the export modally; returns EXPORT_FAILED, EXPORT_CANCELED or EXPORT_FINISHED.
    int Start();
    // Why a failed export failed, in a line for the user (may be empty).
    const wxString& GetReason() const { return m_Reason; }
    // What the read-back of the written file found; not opened when no
    // file was written.
    const tExportCheck& GetCheck() const { return m_Check; }
    // True while any export dialog's export runs.
    static bool IsAnyRunning() { return s_Running > 0; }

    void OnCancel(wxCommandEvent& event);
    void Process(wxTimerEvent& event);

    // The text shown under the gauge for a remaining time in milliseconds.
    static wxString RemainedTimeText(long long remainingMs);
    // Remaining milliseconds after `elapsedMs` for `position` of `duration`
    // seconds done; 0 when it cannot be told.
    static long long EstimateRemaining(long long elapsedMs, double position, double duration);

private:
    void OnJobEnded();
    void ShowProgress(const ExportJob::Snapshot& snapshot);
    static int ResultOf(ExportJob::State state);

    static int s_Running;
    const tExportOrder m_Order;
    wxTimer m_Timer;
    wxGauge* m_Gauge = nullptr;
    wxStaticText* m_PercentText = nullptr;
    wxStaticText* m_ElapsedText = nullptr;
    wxStaticText* m_RemainedText = nullptr;
    wxButton* m_CancelButton = nullptr;
    std::unique_ptr<ExportJob> m_Job;  // the export, once started
    bool m_Counted = false;  // counted in s_Running
    int m_Result = EXPORT_FAILED;
    wxString m_Reason;
    wxLongLong m_StartMillis;
    tExportCheck m_Check;

    wxDECLARE_EVENT_TABLE();
};
