#include "helpers/Helpers.h"

#include <wx/filefn.h>

#include "media/OutputFormats.h"

namespace {

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

// Below a minute once rounded to tenths, a duration shows its tenths.
constexpr unsigned long long lastTenthsMs = 59949;

wxString DurationText(unsigned long long ms)
{
    if (ms <= lastTenthsMs) {
        unsigned long long tenths = (ms + 50) / 100;
        return wxString::Format("%llu.%llus", tenths / 10, tenths % 10);
    }
    unsigned long long seconds = (ms + 500) / 1000;
    unsigned long long hours = seconds / 3600;
    unsigned long long minutes = seconds / 60 % 60;
    if (hours == 0)
        return wxString::Format("%llum %02llus", minutes, seconds % 60);
    return wxString::Format("%lluh %02llum %02llus", hours, minutes, seconds % 60);
}

// The containers the input chooser offers; the first ones are FFmpeg's
// common video formats, whatever their case on disk.
const char* const inputExtensions[] = {
    "mp4", "m4v", "mov", "mkv", "webm", "avi", "wmv", "flv", "mpg", "mpeg", "m2v", "vob",
    "ts", "m2ts", "mts", "ogv", "3gp", "3g2", "psp",
};

}  // namespace

wxString GetFileExtFromCodecID(enumOutputCodec codec)
{
    if (!IsOutputCodec(codec))
        return wxString();
    return OutputFormat(codec).extension;
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

wxString msToString(long long ms)
{
    if (ms < 0)
        return "-" + DurationText(0ULL - static_cast<unsigned long long>(ms));
    return DurationText(static_cast<unsigned long long>(ms));
}

wxString ProposeOutputPath(const wxString& inputPath, const wxString& ext)
{
    size_t dot = ExtensionDot(inputPath);
    wxString stem = dot == wxString::npos ? inputPath : inputPath.substr(0, dot);
    wxString proposal = stem + "." + ext;
    for (int n = 1; wxFileExists(proposal) || wxDirExists(proposal); ++n)
        proposal = wxString::Format("%s (%d).%s", stem, n, ext);
    return proposal;
}

wxString InputFileWildcard()
{
    wxString patterns;
    for (const char* ext : inputExtensions) {
        wxString lower = wxString("*.") + ext;
        patterns += (patterns.empty() ? "" : ";") + lower + ";" + lower.Upper();
    }
    return "All supported files|" + patterns +
           "|mov files|*.mov;*.MOV|avi files|*.avi;*.AVI|wmv files|*.wmv;*.WMV|mpeg files|*.mpeg;*.mpg;*.m2v;*.MPEG;*.MPG;*.M2V"
           "|mp4 files|*.mp4;*.m4v;*.MP4;*.M4V|All files (*.*)|*.*";
}

wxString FrameRateText(double fps)
{
    wxString text = wxString::Format("%.2f", fps);
    text.Replace(".00", "");
    if (text.Contains(".") && text.EndsWith("0"))
        text.RemoveLast();
    return text;
}
