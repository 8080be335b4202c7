#include "ui/Exporter.h"

#include <algorithm>
#include <cmath>

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/time.h>

#include "helpers/Helpers.h"

namespace {
const int ID_EXPORT_TIMER = 2000;
const int timerInterval = 100;  // ms between looks at the export's progress: ten a second
const char* const remainedTimeLabel = "Time left: ";
}  // namespace

wxBEGIN_EVENT_TABLE(Exporter, wxDialog)
    EVT_BUTTON(wxID_CANCEL, Exporter::OnCancel)
    EVT_TIMER(ID_EXPORT_TIMER, Exporter::Process)
wxEND_EVENT_TABLE()

Exporter::Exporter(wxWindow* parent, const wxString& inputName, const wxString& outputName,
                   const tCodecParams& params, const wxRect& cropRect, double startTime, double endTime)
    : wxDialog(parent, 0, "Export progress...", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE, "ExportToFFMPEGDialog"),
      m_Timer(this, ID_EXPORT_TIMER),
      m_Params(params),
      m_OutputName(outputName.utf8_str())
{
    try {
        m_StreamEncoder = std::make_unique<StreamEncoder>(inputName.utf8_str(), outputName.utf8_str(),
                                                          params, cropRect, startTime, endTime);
    } catch (const char* message) {
        m_Result = EXPORT_FAILED;
        m_Reason = wxString::FromUTF8(message);
    } catch (...) {
        m_Result = EXPORT_FAILED;
    }

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    m_Gauge = new wxGauge(this, wxID_ANY, 1000, wxDefaultPosition, wxDefaultSize, wxGA_HORIZONTAL);
    sizer->Add(m_Gauge, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 12);
    m_RemainedText = new wxStaticText(this, wxID_ANY, remainedTimeLabel);
    sizer->Add(m_RemainedText, 0, wxEXPAND | wxALL, 12);
    sizer->Add(new wxButton(this, wxID_CANCEL, "Cancel"), 0, wxALIGN_RIGHT | wxRIGHT | wxBOTTOM, 12);
    SetSizer(sizer);
    sizer->SetMinSize(380, 0);
    sizer->Fit(this);
    Centre(wxBOTH);
}

Exporter::~Exporter()
{
    m_Timer.Stop();
    m_Job.reset();
}

int Exporter::Start()
{
    m_Gauge->SetValue(0);
    if (m_Result != EXPORT_FINISHED)
        return m_Result;
    m_StartMillis = wxGetLocalTimeMillis();
    m_Job = std::make_unique<ExportJob>(std::move(m_StreamEncoder));
    if (!m_Timer.Start(timerInterval, wxTIMER_CONTINUOUS))
        m_Job->Cancel();
    else
        ShowModal();
    m_Job->Wait();
    m_Result = ResultOf(m_Job->GetState());
    m_Reason = wxString::FromUTF8(m_Job->GetReason());
    if (m_Result != EXPORT_FAILED)
        ReadBack();
    return m_Result;
}

int Exporter::ResultOf(ExportJob::State state)
{
    switch (state) {
    case ExportJob::FINISHED: return EXPORT_FINISHED;
    case ExportJob::CANCELED: return EXPORT_CANCELED;
    default: return EXPORT_FAILED;
    }
}

// A cancelled export is read back as far as it was written.
void Exporter::ReadBack()
{
    ExportCheck check(ExportCheck::RequestFor(m_Params, m_Job->GetDuration(), m_Result == EXPORT_CANCELED));
    m_Check = check.Check(m_OutputName.c_str());
}

void Exporter::Finish(int returnCode)
{
    m_Timer.Stop();
    if (IsModal())
        EndModal(returnCode);
}

// The worker stops after its current step and closes the file; the dialog
// ends when it has.
void Exporter::OnCancel(wxCommandEvent&)
{
    if (m_Job) {
        m_Job->Cancel();
        m_Job->Wait();
    }
    Finish(wxID_CANCEL);
}

void Exporter::Process(wxTimerEvent&)
{
    if (!m_Job)
        return;
    m_Gauge->SetValue(m_Job->GetProgress());
    long long elapsed = (wxGetLocalTimeMillis() - m_StartMillis).GetValue();
    m_RemainedText->SetLabel(
        RemainedTimeText(EstimateRemaining(elapsed, m_Job->GetPosition(), m_Job->GetDuration())));
    if (m_Job->IsDone())
        Finish(wxID_OK);
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
