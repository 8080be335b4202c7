#include "pipeline/FrameGrabber.h"

#include <wx/image.h>

FrameGrabber::FrameGrabber(const wxString& fileName)
{
    try {
        m_Input = std::make_unique<InputStream>(fileName.utf8_str(), true, false);
    } catch (...) {
        m_Input.reset();
    }
}

FrameGrabber::~FrameGrabber() = default;

wxBitmap FrameGrabber::GrabFrame(double time)
{
    if (!m_Input)
        return wxBitmap();
    try {
        return Grab(time);
    } catch (...) {
        return wxBitmap();
    }
}

wxBitmap FrameGrabber::Grab(double time)
{
    tInputStreamInfo info = m_Input->GetInfo();
    if (!m_Input->SeekAccurate(m_Input->GetStartTime() + time))
        throw "Can't seek to frame.";
    ffmpeg::FramePtr frame;
    while (!frame) {
        if (m_Input->IsAllMediaEnded())
            return wxBitmap();
        frame = m_Input->DecodeNextVideoFrame();
    }
    if (!m_Converter) {
        ConvertParams params = {info.width, info.height, info.pixFmt, info.width, info.height, AV_PIX_FMT_RGB24};
        m_Converter = std::make_unique<AVFrameConverter>(params);
    }
    wxImage image(info.width, info.height, false);
    if (!m_Converter->convert(frame.get(), reinterpret_cast<char*>(image.GetData()),
                              info.width * info.height * 3))
        return wxBitmap();
    return wxBitmap(image);
}
