#pragma once
// Files dropped on the main window are opened as the input.
#include <wx/dnd.h>

class MainFrame;

class FileDropTarget : public wxFileDropTarget {
public:
    explicit FileDropTarget(MainFrame* frame) : m_Frame(frame) {}

    bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& paths) override;

private:
    MainFrame* m_Frame;
};
