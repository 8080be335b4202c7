#include "media/PictureCache.h"

namespace {
// Picture times from different decodes of the same picture differ by rounding.
const double tolerance = 0.0005;
}  // namespace

void PictureCache::Clear(double from)
{
    m_Run.clear();
    m_Bytes = 0;
    m_From = from;
}

void PictureCache::Append(double time, ffmpeg::FramePtr picture)
{
    size_t bytes = PictureBytes(*picture);
    if (bytes > m_Budget)
        return;
    while (!m_Run.empty() && m_Bytes + bytes > m_Budget) {
        m_Bytes -= m_Run.front().bytes;
        m_Run.pop_front();
        m_From = m_Run.empty() ? NAN : m_Run.front().time;
    }
    m_Bytes += bytes;
    m_Run.push_back({time, std::move(picture), bytes});
    if (std::isnan(m_From) || m_From > time)
        m_From = time;
}

const AVFrame* PictureCache::Find(double time) const
{
    if (m_Run.empty() || time < m_From - tolerance || time > LastTime() + tolerance)
        return nullptr;
    for (const Entry& entry : m_Run) {
        if (entry.time >= time - tolerance)
            return entry.picture.get();
    }
    return nullptr;
}

size_t PictureCache::PictureBytes(const AVFrame& picture)
{
    size_t bytes = 0;
    for (AVBufferRef* buffer : picture.buf) {
        if (buffer)
            bytes += buffer->size;
    }
    return bytes;
}
