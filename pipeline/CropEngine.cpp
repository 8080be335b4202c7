#include "pipeline/CropEngine.h"

CropEngine::CropEngine(const ConvertParams& params, const wxRect& cropRect)
    : FrameProcessingEngine(params),
      m_CropRect(cropRect.Intersect(wxRect(0, 0, params.srcWidth, params.srcHeight)))
{
}

void CropEngine::PreProcessFrame(wxImage& image)
{
    if (m_CropRect.IsEmpty() || m_CropRect == wxRect(0, 0, image.GetWidth(), image.GetHeight()))
        return;
    image = image.GetSubImage(m_CropRect);
}
