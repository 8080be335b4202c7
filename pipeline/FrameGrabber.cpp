#include "pipeline/FrameGrabber.h"

#include <cstring>
#include <new>

#include "media/MediaError.h"
#include "media/PreviewDecoder.h"

FrameGrabber::FrameGrabber(const wxString& fileName, bool keepFields)
{
    // A file that does not open gives no pictures; opening it for its
    // description tells the user why.
    try {
        m_Decoder = std::make_unique<PreviewDecoder>(fileName.utf8_str(), keepFields);
    } catch (const char*) {
        m_Decoder.reset();
    } catch (const std::exception&) {
        m_Decoder.reset();
    }
}

FrameGrabber::~FrameGrabber() = default;

wxImage FrameGrabber::GrabImage(double time)
{
    ffmpeg::FramePtr picture;
    try {
        if (m_Decoder)
            picture = m_Decoder->PictureAt(time);
    } catch (const char*) {
        picture.reset();  // a picture that cannot be had is no picture
    } catch (const MediaError&) {
        picture.reset();
    }
    if (!picture)
        return wxImage();
    // Row by row: the picture's rows are padded, the image's are not.
    wxImage image(picture->width, picture->height, false);
    size_t rowBytes = size_t(picture->width) * 3;
    for (int y = 0; y < picture->height; ++y)
        std::memcpy(image.GetData() + y * rowBytes, picture->data[0] + ptrdiff_t(y) * picture->linesize[0],
                    rowBytes);
    return image;
}

wxBitmap FrameGrabber::GrabFrame(double time)
{
    wxImage image = GrabImage(time);
    return image.IsOk() ? wxBitmap(image) : wxBitmap();
}
