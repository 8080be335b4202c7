#include "ui/Helpers.h"

#include <sys/stat.h>

#include <wx/utils.h>

namespace {

const char* const codecExtensions[] = {
    "mp4", "3gp", "3g2", "mpg", "m2v", "vob", "psp", "mov", "swf", "flv",
};

// Position where the file name starts: after the last '/'.
size_t FileNameStart(const wxString& path)
{
    size_t slash = path.rfind('/');
    return slash == wxString::npos ? 0 : slash + 1;
}

// The last '.' of the file name, or npos; dots in folder names do not count.
size_t ExtensionDot(const wxString& path)
{
    size_t dot = path.rfind('.');
    if (dot == wxString::npos || dot < FileNameStart(path))
        return wxString::npos;
    return dot;
}

}  // namespace

wxString GetFileExtFromCodecID(enumOutputCodec codec)
{
    if (codec < 0 || codec >= int(sizeof codecExtensions / sizeof *codecExtensions))
        return wxString();
    return codecExtensions[codec];
}

bool IsExtExist(const wxString& path)
{
    return ExtensionDot(path) != wxString::npos;
}

wxString ReplaceFileExt(const wxString& path, const wxString& ext)
{
    size_t dot = ExtensionDot(path);
    if (dot == wxString::npos)
        return path + "." + ext;
    return path.substr(0, dot + 1) + ext;
}

wxString ExtractFileNameFromFullName(const wxString& path)
{
    return path.find('/') == wxString::npos ? path : wxString();
}

wxString msToString(long long ms)
{
    long long S = ms / 1000;
    long long M = S / 60;
    long long H = M / 60;
    long long s = S - 60 * M;
    long long m = M - 60 * H;
    wxString text;
    if (H != 0)
        text += wxString::Format("%lldh ", H);
    if (m != 0)
        text += wxString::Format("%lldm ", m);
    if (s != 0)
        text += wxString::Format("%llds ", s);
    return text;
}

bool IsSameFile(const wxString& first, const wxString& second)
{
    struct stat a, b;
    if (stat(first.utf8_str(), &a) != 0 || stat(second.utf8_str(), &b) != 0)
        return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void OpenFileInApplication(const wxString& path)
{
    wxLaunchDefaultApplication(path);
}
