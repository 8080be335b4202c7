#include "pipeline/ImageHelpers.h"

#include <cstring>

namespace {

void CopyBgraRows(const MEM_RAW_IMAGE& raw, wxImage& image)
{
    image.InitAlpha();
    unsigned char* rgb = image.GetData();
    unsigned char* alpha = image.GetAlpha();
    auto rows = static_cast<const unsigned char* const*>(raw.pData);
    for (int y = 0; y < raw.iHeight; ++y) {
        const unsigned char* pixel = rows[y];
        for (int x = 0; x < raw.iWidth; ++x, pixel += 4) {
            *rgb++ = pixel[2];
            *rgb++ = pixel[1];
            *rgb++ = pixel[0];
            *alpha++ = pixel[3];
        }
    }
}

}  // namespace

wxImage CreateImageFromMemRawImage(const MEM_RAW_IMAGE& raw)
{
    if (!raw.pData || raw.iWidth < 1 || raw.iHeight < 1)
        return wxNullImage;
    wxImage image(raw.iWidth, raw.iHeight, false);
    if (raw.iBitsPerPixel > 31)
        CopyBgraRows(raw, image);
    else
        std::memcpy(image.GetData(), raw.pData, size_t(raw.iWidth) * raw.iHeight * 3);
    return image;
}

void BlendImageWithColor(wxImage& image, unsigned char red, unsigned char green,
                         unsigned char blue, unsigned char opacity)
{
    if (!image.IsOk())
        return;
    const unsigned colour[3] = {red, green, blue};
    const unsigned keep = 255u - opacity;
    unsigned char* data = image.GetData();
    size_t count = size_t(image.GetWidth()) * image.GetHeight();
    for (size_t i = 0; i < count; ++i, data += 3) {
        for (int c = 0; c < 3; ++c)
            data[c] = static_cast<unsigned char>((data[c] * keep + colour[c] * opacity) / 255u);
    }
}
