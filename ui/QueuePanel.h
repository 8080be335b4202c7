#pragma once
// The export queue as a list: each item's input, output, state (with the
// progress while it runs) and its read-back or reason, and the buttons that
// run the queue and cancel, restart, remove and reorder the chosen item.
// A timer follows the running export; the user goes on editing meanwhile.
#include <string>

#include <wx/panel.h>
#include <wx/timer.h>

#include "pipeline/ExportQueue.h"

class wxButton;
class wxListCtrl;
class wxStaticText;

class QueuePanel : public wxPanel {
public:
    // The panel in a small window of its own over `owner`, hidden; closing
    // that window only hides it. The queue is loaded from `file`.
    static QueuePanel* InNewWindow(wxWindow* owner, const std::string& file);

    QueuePanel(wxWindow* parent, const std::string& file);
    ~QueuePanel() override;

    // True while any queue's export runs.
    static bool IsAnyRunning() { return s_Running > 0; }

    // Queues an export and brings the queue's window to the front.
    void Add(const tExportOrder& order, bool replaceAgreed);
    void ShowWindow();
    ExportQueue& GetQueue() { return m_Queue; }
    // Follows the queue and shows it as it is now.
    void Update();

private:
    wxSizer* CreateButtons();
    int ChosenId() const;
    void ShowRows();
    void OnGo(wxCommandEvent& event);
    void OnItemCommand(wxCommandEvent& event);
    void OnTimer(wxTimerEvent& event);

    static int s_Running;
    bool m_Counted = false;  // counted in s_Running
    ExportQueue m_Queue;
    wxListCtrl* m_List = nullptr;
    wxButton* m_GoButton = nullptr;
    wxStaticText* m_Note = nullptr;
    wxTimer m_Timer;
};
