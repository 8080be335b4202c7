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
const int timerInterval = 5;      // ms between ticks
const int workPerTick = 20;       // ms of encoding per tick before the loop runs again
const int remainedTimeEvery = 1000;
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
      m_Timer(this, ID_EXPORT_TIMER)
{
    try {
        m_StreamEncoder = std::make_unique<StreamEncoder>(inputName.utf8_str(), outputName.utf8_str(),
                                                          params, cropRect, startTime, endTime);
    } catch (...) {
        m_StreamEncoder.reset();
        m_Result = EXPORT_FAILED;
    }

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->AddStretchSpacer(1);
    m_Gauge = new wxGauge(this, wxID_ANY, 1000, wxDefaultPosition, wxDefaultSize, wxGA_HORIZONTAL);
    sizer->Add(m_Gauge, 0, wxEXPAND | wxALL, 5);
    sizer->AddStretchSpacer(1);
    m_RemainedText = new wxStaticText(this, wxID_ANY, remainedTimeLabel);
    sizer->Add(m_RemainedText, 0, wxEXPAND | wxALL, 5);
    sizer->Add(new wxButton(this, wxID_CANCEL, "Cancel"), 0, wxALL, 5);
    SetSizer(sizer);
    sizer->SetMinSize(320, 80);
    sizer->Fit(this);
    Centre(wxBOTH);
}

Exporter::~Exporter()
{
    m_Timer.Stop();
    m_StreamEncoder.reset();
}

int Exporter::Start()
{
    m_Gauge->SetValue(0);
    if (m_Result != EXPORT_FINISHED)
        return m_Result;
    m_StartMillis = m_LastUpdateMillis = wxGetLocalTimeMillis();
    if (!m_Timer.StartOnce(timerInterval))
        return EXPORT_FAILED;
    if (ShowModal() == wxID_CANCEL && m_Result == EXPORT_FINISHED)
        m_Result = EXPORT_CANCELED;
    return m_Result;
}

void Exporter::Finish(int returnCode)
{
    m_Timer.Stop();
    if (IsModal())
        EndModal(returnCode);
}

void Exporter::OnCancel(wxCommandEvent&)
{
    Finish(wxID_CANCEL);
}

void Exporter::Process(wxTimerEvent&)
{
    try {
        EncodeForAWhile();
        if (IsModal()) {
            UpdateRemainedTime();
            // Counted from now: a repeating timer is already due again after
            // a slice of work, and the dialog would never be drawn.
            m_Timer.StartOnce(timerInterval);
        }
    } catch (...) {
        m_Result = EXPORT_FAILED;
        Finish(wxID_OK);
    }
}

// One step per tick would cap an export at a few hundred steps a second
// however fast the machine is; steps go on until a slice of time has passed.
void Exporter::EncodeForAWhile()
{
    wxLongLong sliceEnd = wxGetLocalTimeMillis() + workPerTick;
    do {
        if (m_StreamEncoder->IsEnded()) {
            Finish(wxID_OK);
            return;
        }
        m_StreamEncoder->Encode();
    } while (wxGetLocalTimeMillis() < sliceEnd);
    m_Gauge->SetValue(std::clamp(m_StreamEncoder->GetProgress(), 0, 1000));
}

void Exporter::UpdateRemainedTime()
{
    wxLongLong now = wxGetLocalTimeMillis();
    wxLongLong sinceUpdate = now - m_LastUpdateMillis;
    if (sinceUpdate < remainedTimeEvery)
        return;
    long long elapsed = (now - m_StartMillis).GetValue();
    long long remaining = EstimateRemaining(elapsed, m_StreamEncoder->GetPosition(),
                                            m_StreamEncoder->GetDuration());
    m_RemainedText->SetLabel(RemainedTimeText(remaining));
    m_LastUpdateMillis = wxGetLocalTimeMillis();
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
