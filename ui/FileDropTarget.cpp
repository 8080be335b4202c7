#include "ui/FileDropTarget.h"

#include "ui/MainFrame.h"

bool FileDropTarget::OnDropFiles(wxCoord, wxCoord, const wxArrayString& paths)
{
    return m_Frame->OpenDroppedFiles(paths);
}
