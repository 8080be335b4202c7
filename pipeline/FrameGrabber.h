#pragma once
// Preview pictures of one input file: the picture at a time as a 24-bit RGB
// bitmap of the size it is shown at (see PreviewDecoder). Keeps the file
// open between grabs. Never throws; an empty bitmap means there is no
// picture.
#include <memory>

#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/string.h>

class PreviewDecoder;

class FrameGrabber {
public:
    // `keepFields`: interlaced pictures are shown as they are stored.
    explicit FrameGrabber(const wxString& fileName, bool keepFields = false);
    ~FrameGrabber();
    FrameGrabber(const FrameGrabber&) = delete;
    FrameGrabber& operator=(const FrameGrabber&) = delete;

    // `time` in seconds from the start of the media.
    wxBitmap GrabFrame(double time);
    // The same picture as an image (needs no display); invalid when none.
    wxImage GrabImage(double time);

private:
    std::unique_ptr<PreviewDecoder> m_Decoder;  // null when the file could not be opened
};
