#pragma once
// File-name and time helpers shared by the main window, the export dialog
// and the range bar.
#include <wx/string.h>

#include "media/CodecParams.h"

// The file extension that goes with an output codec, without the dot;
// empty for an unknown value.
wxString GetFileExtFromCodecID(enumOutputCodec codec);

// True when the file name (the part after the last '/') has a '.'.
bool IsExtExist(const wxString& path);

// Replaces the file name's extension by `ext`, or appends "." + `ext`.
wxString ReplaceFileExt(const wxString& path, const wxString& ext);

// Empty when `path` contains a '/', otherwise `path` unchanged.
wxString ExtractFileNameFromFullName(const wxString& path);

// "1h 2m 3s " style text; parts that are zero are left out, so less than a
// second gives an empty text.
wxString msToString(long long ms);

// True when both paths name one existing file, however they are written
// (relative, through links, with "." or ".." parts).
bool IsSameFile(const wxString& first, const wxString& second);

// Opens the file with the desktop's default application, without waiting.
void OpenFileInApplication(const wxString& path);
