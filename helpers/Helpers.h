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

// A duration as people read it: tenths of a second below a minute ("4.9s"),
// then minutes and seconds ("1m 05s"), then hours ("1h 02m 03s"); rounded
// to the nearest shown unit.
wxString msToString(long long ms);

// A frame rate with up to two decimals and no trailing zeros: "25",
// "29.97", "12.5".
wxString FrameRateText(double fps);

// The input's folder and name with the extension `ext`, with " (1)",
// " (2)", ... added to the name until no file of that name exists.
wxString ProposeOutputPath(const wxString& inputPath, const wxString& ext);

// The input chooser's filter: every container the program reads, in lower
// and upper case, then a few single families and all files.
wxString InputFileWildcard();
