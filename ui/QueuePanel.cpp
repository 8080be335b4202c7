#include "ui/QueuePanel.h"

#include <wx/button.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "ui/StopSignals.h"

namespace {

enum {
    ID_GO = 3000,
    ID_CANCEL_ITEM,
    ID_RESTART_ITEM,
    ID_REMOVE_ITEM,
    ID_MOVE_UP,
    ID_MOVE_DOWN,
};

const int lookEvery = 200;  // ms between looks at the running export
const char* const notSaved = "The queue could not be saved; it will be lost when the program ends.";
const char* const damaged = "Part of the saved queue could not be read; the file was kept as \"queue.damaged\".";

wxString FileName(const std::string& path)
{
    return wxFileName(wxString::FromUTF8(path)).GetFullName();
}

wxString StateText(const tQueueItem& item)
{
    wxString state = ExportQueue::StateName(item.state);
    if (item.state == tQueueItem::RUNNING)
        state += wxString::Format(" %d %%", item.progress / 10);
    return state;
}

// The read-back's lines on one line.
wxString DetailText(const tQueueItem& item)
{
    wxString detail = wxString::FromUTF8(item.detail);
    detail.Replace("\n", "; ");
    return detail;
}

}  // namespace

int QueuePanel::s_Running = 0;

QueuePanel* QueuePanel::InNewWindow(wxWindow* owner, const std::string& file)
{
    auto* window = new wxFrame(owner, wxID_ANY, "Export queue", wxDefaultPosition, wxSize(760, 300),
                               wxDEFAULT_FRAME_STYLE | wxFRAME_FLOAT_ON_PARENT, "QueueWindow");
    auto* panel = new QueuePanel(window, file);
    window->Bind(wxEVT_CLOSE_WINDOW, [window](wxCloseEvent& event) {
        if (!event.CanVeto()) {
            event.Skip();
            return;
        }
        event.Veto();
        window->Hide();
    });
    return panel;
}

QueuePanel::QueuePanel(wxWindow* parent, const std::string& file)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, "QueuePanel"),
      m_Queue(file),
      m_Timer(this)
{
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    m_List = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT | wxLC_SINGLE_SEL,
                            wxDefaultValidator, "QueueList");
    const struct { const char* title; int width; } columns[] = {
        {"Input", 150}, {"Output", 150}, {"State", 110}, {"Details", 330}};
    for (const auto& column : columns)
        m_List->AppendColumn(column.title, wxLIST_FORMAT_LEFT, column.width);
    sizer->Add(m_List, 1, wxEXPAND | wxALL, 5);
    m_Note = new wxStaticText(this, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, 0, "QueueNote");
    sizer->Add(m_Note, 0, wxEXPAND | wxLEFT | wxRIGHT, 5);
    sizer->Add(CreateButtons(), 0, wxEXPAND | wxALL, 5);
    SetSizer(sizer);
    Bind(wxEVT_TIMER, &QueuePanel::OnTimer, this);
    if (!m_Queue.Load())
        m_Note->SetLabel(damaged);
    ShowRows();
}

QueuePanel::~QueuePanel()
{
    if (m_Counted)
        --s_Running;
}

wxSizer* QueuePanel::CreateButtons()
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    m_GoButton = new wxButton(this, ID_GO, "Run queue", wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator,
                              "QueueGo");
    row->Add(m_GoButton, 0, wxRIGHT, 10);
    row->AddStretchSpacer(1);
    const struct { int id; const char* label; const char* name; } commands[] = {
        {ID_CANCEL_ITEM, "Cancel", "QueueCancel"}, {ID_RESTART_ITEM, "Restart", "QueueRestart"},
        {ID_REMOVE_ITEM, "Remove", "QueueRemove"}, {ID_MOVE_UP, "Up", "QueueUp"}, {ID_MOVE_DOWN, "Down", "QueueDown"}};
    for (const auto& command : commands)
        row->Add(new wxButton(this, command.id, command.label, wxDefaultPosition, wxDefaultSize, 0,
                              wxDefaultValidator, command.name),
                 0, wxLEFT, 5);
    Bind(wxEVT_BUTTON, &QueuePanel::OnGo, this, ID_GO);
    Bind(wxEVT_BUTTON, &QueuePanel::OnItemCommand, this, ID_CANCEL_ITEM, ID_MOVE_DOWN);
    return row;
}

void QueuePanel::Add(const tExportOrder& order, bool replaceAgreed)
{
    m_Queue.Add(order, replaceAgreed);
    ShowRows();
    ShowWindow();
}

void QueuePanel::ShowWindow()
{
    wxWindow* window = GetParent();
    window->Show();
    window->Raise();
}

// The queue runs until nothing waits; pausing lets the running item end.
void QueuePanel::OnGo(wxCommandEvent&)
{
    m_Queue.SetGoing(!m_Queue.IsGoing());
    Update();
}

void QueuePanel::OnItemCommand(wxCommandEvent& event)
{
    int id = ChosenId();
    switch (event.GetId()) {
    case ID_CANCEL_ITEM: m_Queue.Cancel(id); break;
    case ID_RESTART_ITEM: m_Queue.Restart(id); break;
    case ID_REMOVE_ITEM: m_Queue.Remove(id); break;
    case ID_MOVE_UP: m_Queue.Move(id, -1); break;
    case ID_MOVE_DOWN: m_Queue.Move(id, +1); break;
    }
    Update();
}

// A stop signal abandons the running export, which leaves no part of its
// file; the program ends once nothing runs.
void QueuePanel::OnTimer(wxTimerEvent&)
{
    if (StopSignals::Caught())
        m_Queue.Interrupt();
    Update();
}

void QueuePanel::Update()
{
    m_Queue.Poll();
    ShowRows();
}

int QueuePanel::ChosenId() const
{
    long row = m_List->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    return row < 0 ? 0 : int(m_List->GetItemData(row));
}

// The chosen item stays chosen wherever it moved.
void QueuePanel::ShowRows()
{
    int chosen = ChosenId();
    const std::vector<tQueueItem>& items = m_Queue.Items();
    while (m_List->GetItemCount() > int(items.size()))
        m_List->DeleteItem(m_List->GetItemCount() - 1);
    while (m_List->GetItemCount() < int(items.size()))
        m_List->InsertItem(m_List->GetItemCount(), "");
    for (size_t row = 0; row < items.size(); ++row) {
        const tQueueItem& item = items[row];
        const wxString texts[] = {FileName(item.order.input), FileName(item.order.output), StateText(item),
                                  DetailText(item)};
        for (int column = 0; column < 4; ++column)
            if (m_List->GetItemText(row, column) != texts[column])
                m_List->SetItem(row, column, texts[column]);
        m_List->SetItemData(row, item.id);
        m_List->SetItemState(row, item.id == chosen ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
    }
    m_GoButton->SetLabel(m_Queue.IsGoing() ? "Pause queue" : "Run queue");
    if (!m_Queue.IsSaved())
        m_Note->SetLabel(notSaved);
    if (m_Counted != m_Queue.IsBusy()) {
        m_Counted = m_Queue.IsBusy();
        s_Running += m_Counted ? 1 : -1;
    }
    bool following = m_Queue.IsBusy() || m_Queue.IsGoing();
    if (following && !m_Timer.IsRunning())
        m_Timer.Start(lookEvery);
    else if (!following)
        m_Timer.Stop();
}
