#pragma once
// Pictures of the main window: the application icon and the start picture
// shown before an input is opened.
#include "pipeline/ImageHelpers.h"

// 48 x 48, 32 bits.
extern const MEM_RAW_IMAGE mainAppIcon;

// 157 x 179, XPM data for wxBitmap(const char* const*).
extern const char* const startLogo_xpm[];
