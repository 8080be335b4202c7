#include "ui/Exporter.h"

#include <algorithm>
#include <cmath>

#include <wx/button.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/time.h>

#include "helpers/Helpers.h"
#include "ui/StopSignals.h"

namespace {
const int ID_EXPORT_TIMER = 2000;
const int timerInterval = 100;  // ms between looks at the export's progress: ten a second
const char* const remainedTimeLabel = "Time left: ";
const char* const elapsedTimeLabel = "Elapsed: ";

wxStaticText* NewText(wxWindow* parent, const wxString& label, const char* name)
{
    return new wxStaticText(parent, wxID_ANY, label, wxDefaultPosition, wxDefaultSize, 0, name);
}
}  // namespace

int Exporter::s_Running = 0;

wxBEGIN_EVENT_TABLE(Exporter, wxDialog)
    EVT_BUTTON(wxID_CANCEL, Exporter::OnCancel)
    EVT_TIMER(ID_EXPORT_TIMER, Exporter::Process)
wxEND_EVENT_TABLE()

Exporter::Exporter(wxWindow* parent, const tExportOrder& order)
    : wxDialog(parent, 0, "Exporting", wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE,
               "ExportToFFMPEGDialog"),
      m_Order(order),
      m_Timer(this, ID_EXPORT_TIMER)
{
    wxString name = wxFileName(wxString::FromUTF8(order.output)).GetFullName();
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(NewText(this, L"Writing \u201c" + name + L"\u201d", "ExportFile"), 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 12);
    m_Gauge = new wxGauge(this, wxID_ANY, 1000, wxDefaultPosition, wxDefaultSize, wxGA_HORIZONTAL,
                          wxDefaultValidator, "ExportGauge");
    sizer->Add(m_Gauge, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 12);
    auto* times = new wxBoxSizer(wxHORIZONTAL);
    sizer->Add(times, 0, wxEXPAND | wxALL, 12);
    m_PercentText = NewText(this, "0 %", "ExportPercent");
    times->Add(m_PercentText, 1, wxRIGHT, 12);
    m_ElapsedText = NewText(this, elapsedTimeLabel + msToString(0), "ExportElapsed");
    times->Add(m_ElapsedText, 1, wxRIGHT, 12);
    m_RemainedText = NewText(this, remainedTimeLabel, "ExportLeft");
    times->Add(m_RemainedText, 1);
    m_CancelButton = new wxButton(this, wxID_CANCEL, "Cancel");
    sizer->Add(m_CancelButton, 0, wxALIGN_RIGHT | wxRIGHT | wxBOTTOM, 12);
    SetSizer(sizer);
    sizer->SetMinSize(420, 0);
    sizer->Fit(this);
    Centre(wxBOTH);
}

Exporter::~Exporter()
{
    m_Timer.Stop();
    m_Job.reset();
    if (m_Counted)
        --s_Running;
}

int Exporter::Start()
{
    m_StartMillis = wxGetLocalTimeMillis();
    ++s_Running;
    m_Counted = true;
    // Told on the worker; the dialog hears of it in its own thread.
    m_Job = std::make_unique<ExportJob>(m_Order, [this] { CallAfter(&Exporter::OnJobEnded); });
    m_Timer.Start(timerInterval, wxTIMER_CONTINUOUS);
    ShowModal();
    return m_Result;
}

void Exporter::OnJobEnded()
{
    m_Timer.Stop();
    m_Job->Wait();  // the worker has done its work; it only returns
    --s_Running;
    m_Counted = false;
    ExportJob::Snapshot end = m_Job->GetSnapshot();
    m_Result = ResultOf(end.state);
    m_Reason = wxString::FromUTF8(end.reason);
    m_Check = end.check;
    ShowProgress(end);
    if (IsModal())
        EndModal(m_Result == EXPORT_CANCELED ? wxID_CANCEL : wxID_OK);
}

int Exporter::ResultOf(ExportJob::State state)
{
    switch (state) {
    case ExportJob::FINISHED: return EXPORT_FINISHED;
    case ExportJob::CANCELED:
    case ExportJob::ABANDONED: return EXPORT_CANCELED;
    default: return EXPORT_FAILED;
    }
}

// The worker stops after its current step and finishes the file; the
// dialog ends when it has.
void Exporter::OnCancel(wxCommandEvent&)
{
    if (!m_Job)
        return;
    m_Job->Cancel();
    m_CancelButton->Disable();
    m_RemainedText->SetLabel(L"Stopping\u2026");
}

void Exporter::Process(wxTimerEvent&)
{
    if (!m_Job)
        return;
    if (StopSignals::Caught())
        m_Job->Abandon();
    ShowProgress(m_Job->GetSnapshot());
}

void Exporter::ShowProgress(const ExportJob::Snapshot& snapshot)
{
    m_Gauge->SetValue(snapshot.progress);
    m_PercentText->SetLabel(wxString::Format("%d %%", snapshot.progress / 10));
    long long elapsed = (wxGetLocalTimeMillis() - m_StartMillis).GetValue();
    m_ElapsedText->SetLabel(elapsedTimeLabel + msToString(elapsed));
    if (m_CancelButton->IsEnabled())
        m_RemainedText->SetLabel(
            RemainedTimeText(EstimateRemaining(elapsed, snapshot.position, snapshot.duration)));
}

long long Exporter::EstimateRemaining(long long elapsedMs, double position, double duration)
{
    double total = double(elapsedMs) * duration / position;
    double remaining = total - double(elapsedMs);
    if (!std::isfinite(remaining) || remaining < 0)
        return 0;
    return (long long)std::min(remaining, 1e15);  // a position near 0 gives absurd estimates
}

wxString Exporter::RemainedTimeText(long long remainingMs)
{
    return remainedTimeLabel + msToString(remainingMs);
}
