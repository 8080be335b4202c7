#pragma once
// How the output picture size follows the crop rectangle.
#include <wx/gdicmn.h>

// The output size for a crop of `crop` pixels: the width of `output` kept,
// the height from the crop's proportions, rounded to an even number (the
// encoders take only even sizes). `output` unchanged for an empty crop.
wxSize OutputSizeForCrop(wxSize output, wxSize crop);

// True when scaling a crop of `crop` pixels to `output` changes its
// proportions by more than the rounding to even sizes does.
bool IsStretched(wxSize crop, wxSize output);
