#include "ui/FileDropTarget.h"

#include "ui/MainFrame.h"

bool FileDropTarget::OnDropFiles(wxCoord, wxCoord, const wxArrayString& paths)
{
    return m_Use == QUEUE ? m_Frame->AddFilesToQueue(paths) : m_Frame->OpenDroppedFiles(paths);
}
