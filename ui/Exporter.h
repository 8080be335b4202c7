#pragma once
// The modal progress dialog under which one export runs: a gauge, the
// remaining time and "Cancel". The export runs on a worker thread of its own
// (ExportJob); a timer shows its progress. When the export ends, finished or
// cancelled, the output file has been finished and is read back.
#include <memory>
#include <string>

#include <wx/dialog.h>
#include <wx/timer.h>

#include "media/CodecParams.h"
#include "pipeline/ExportCheck.h"
#include "pipeline/ExportJob.h"
#include "pipeline/StreamEncoder.h"

class wxGauge;
class wxStaticText;

enum {
    EXPORT_FAILED = 0,
    EXPORT_CANCELED = 1,
    EXPORT_FINISHED = 2,
};

class Exporter : public wxDialog {
public:
    Exporter(wxWindow* parent, const wxString& inputName, const wxString& outputName,
             const tCodecParams& params, const wxRect& cropRect, double startTime, double endTime);
    ~Exporter() override;

    // Runs the export modally; returns EXPORT_FAILED, EXPORT_CANCELED or EXPORT_FINISHED.
    int Start();
    // Why a failed export failed, in a line for the user (may be empty).
    const wxString& GetReason() const { return m_Reason; }
    // What the read-back of the written file found; empty after a failure.
    const tExportCheck& GetCheck() const { return m_Check; }

    void OnCancel(wxCommandEvent& event);
    void Process(wxTimerEvent& event);

    // The text shown under the gauge for a remaining time in milliseconds.
    static wxString RemainedTimeText(long long remainingMs);
    // Remaining milliseconds after `elapsedMs` for `position` of `duration`
    // seconds done; 0 when it cannot be told.
    static long long EstimateRemaining(long long elapsedMs, double position, double duration);

private:
    void Finish(int returnCode);
    void ReadBack();
    static int ResultOf(ExportJob::State state);

    wxTimer m_Timer;
    wxGauge* m_Gauge = nullptr;
    std::unique_ptr<StreamEncoder> m_StreamEncoder;  // null when the export could not be set up
    std::unique_ptr<ExportJob> m_Job;                // the export, once started
    int m_Result = EXPORT_FINISHED;
    wxString m_Reason;
    wxLongLong m_StartMillis;
    wxStaticText* m_RemainedText = nullptr;
    tCodecParams m_Params;
    std::string m_OutputName;  // UTF-8
    tExportCheck m_Check;

    wxDECLARE_EVENT_TABLE();
};
