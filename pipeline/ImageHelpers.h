#pragma once
// Pictures compiled into the program, and a colour tint for images.
#include <cstdint>
#include <wx/image.h>

// A raw image compiled into the program.
// 32-bit layout (iBitsPerPixel > 31): pData is a table of iHeight row
// pointers, top row first; each row holds iWidth pixels of blue, green, red,
// alpha. Any other depth: pData holds iWidth * iHeight packed RGB pixels.
struct MEM_RAW_IMAGE {
    int32_t iWidth;
    int32_t iHeight;
    int32_t iRowBytes;
    int32_t iBitsPerPixel;
    const void* pData;
};

// The image held by `raw`; the null image when it has no data.
wxImage CreateImageFromMemRawImage(const MEM_RAW_IMAGE& raw);

// Moves every pixel toward the colour by opacity / 255; alpha is untouched.
void BlendImageWithColor(wxImage& image, unsigned char red, unsigned char green,
                         unsigned char blue, unsigned char opacity);
