#pragma once
// Files dropped on the main window are opened as the input; those dropped
// on the queue's window join the queue.
#include <wx/dnd.h>

class MainFrame;

class FileDropTarget : public wxFileDropTarget {
public:
    enum Use { OPEN, QUEUE };

    explicit FileDropTarget(MainFrame* frame, Use use = OPEN) : m_Frame(frame), m_Use(use) {}

    bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& paths) override;

private:
    MainFrame* m_Frame;
    Use m_Use;
};
