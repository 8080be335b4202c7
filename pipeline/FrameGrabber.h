#pragma once
// Preview pictures of one input file: the picture at a time, as a 24-bit RGB
// bitmap of the video's own size. Keeps the file open between grabs. Never
// throws; an empty bitmap means there is no picture.
#include <memory>

#include <wx/bitmap.h>
#include <wx/string.h>

#include "media/AVFrameConverter.h"
#include "media/InputStream.h"

class FrameGrabber {
public:
    explicit FrameGrabber(const wxString& fileName);
    ~FrameGrabber();
    FrameGrabber(const FrameGrabber&) = delete;
    FrameGrabber& operator=(const FrameGrabber&) = delete;

    // `time` in seconds from the start of the media.
    wxBitmap GrabFrame(double time);

private:
    wxBitmap Grab(double time);

    std::unique_ptr<InputStream> m_Input;  // null when the file could not be opened
    std::unique_ptr<AVFrameConverter> m_Converter;
};
