#include "ui/OutputSize.h"

#include <cmath>

namespace {
// The height that keeps the crop's proportions at `width`.
double ProportionalHeight(int width, wxSize crop)
{
    return double(width) * crop.y / crop.x;
}
}  // namespace

wxSize OutputSizeForCrop(wxSize output, wxSize crop)
{
    if (crop.x <= 0 || crop.y <= 0 || output.x <= 0)
        return output;
    double height = ProportionalHeight(output.x, crop);
    int even = 2 * static_cast<int>(std::lround(std::min(height, 1e6) / 2));
    return wxSize(output.x, std::max(even, 2));
}

bool IsStretched(wxSize crop, wxSize output)
{
    if (crop.x <= 0 || crop.y <= 0 || output.x <= 0)
        return false;
    return std::fabs(output.y - ProportionalHeight(output.x, crop)) > 1.0;
}
