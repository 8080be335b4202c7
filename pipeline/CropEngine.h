#pragma once
#include <wx/gdicmn.h>

#include "pipeline/FrameProcessingEngine.h"

// Cuts the crop rectangle (source pixels) out of every picture before it is
// scaled. The rectangle is clipped to the picture; a rectangle that covers
// the whole picture, or nothing of it, means no crop.
class CropEngine : public FrameProcessingEngine {
public:
    CropEngine(const ConvertParams& params, const wxRect& cropRect);

    void PreProcessFrame(wxImage& image) override;

private:
    wxRect m_CropRect;
};
