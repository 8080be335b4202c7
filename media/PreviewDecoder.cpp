#include "media/PreviewDecoder.h"

#include <algorithm>
#include <cmath>

#include "media/PictureColour.h"
#include "media/PictureFilter.h"

namespace {
// At most this many pictures are decoded ahead of one asked for after a
// jump: the steps back a user makes before jumping again.
const int stepsBackKept = 16;
// How many pictures a key frame may be shown after the time the index
// gives it (the pictures decoded after it but shown before it).
const int keyFrameLead = 4;
// A picture at most this many pictures on is reached by decoding on.
const int onwardPictures = 8;
}  // namespace

PreviewDecoder::PreviewDecoder(const char* fileName, bool keepFields, size_t cacheBytes)
    : m_Input(fileName, true, false), m_KeepFields(keepFields), m_Cache(cacheBytes)
{
}

PreviewDecoder::~PreviewDecoder() = default;

double PreviewDecoder::FrameDuration() const
{
    double rate = m_Input.GetInfo().frameRate;
    return rate > 0.0 ? 1.0 / rate : 0.04;
}

// The decoded picture shown at `time`: from the cache, by decoding on from
// the last one when it is a few pictures on, or by decoding a run of
// pictures that ends at it.
const AVFrame* PreviewDecoder::DecodedAt(double time)
{
    if (!m_Input.IsVideoPresent())
        return nullptr;
    if (const AVFrame* cached = m_Cache.Find(time))
        return cached;
    bool next = !m_Cache.Empty() && time > m_Cache.LastTime() && time <= m_Cache.LastTime() + onwardPictures * FrameDuration();
    if (!(next ? DecodeOnward(time) : DecodeRunUpTo(time)))
        return nullptr;
    const AVFrame* found = m_Cache.Find(time);
    // A time past the last picture finds the last picture.
    return found || !m_Input.IsVideoEnded() ? found : m_Cache.Last();
}

// The input stands right after the run's last picture: decoding on from
// there keeps every picture on the way in the run.
bool PreviewDecoder::DecodeOnward(double time)
{
    const double tolerance = 0.0005;
    while (!m_Input.IsVideoEnded()) {
        ffmpeg::FramePtr frame = m_Input.DecodeNextVideoFrame();
        if (!frame)
            continue;
        double at = m_Input.GetPictureTime(*frame) - m_Input.GetStartTime();
        m_Cache.Append(at, std::move(frame));
        if (at >= time - tolerance)
            return true;
    }
    return !m_Cache.Empty();
}

// Starts a few pictures early (as many as the cache holds, but not before
// the key frame) and keeps every picture on the way; the decoding from the
// key frame is the same. Forward it never starts before the pictures
// already decoded, so that decoding goes on from them.
bool PreviewDecoder::DecodeRunUpTo(double time)
{
    size_t pictureBytes = std::max<size_t>(1, size_t(m_Input.GetInfo().width) * m_Input.GetInfo().height * 3 / 2);
    int count = int(std::clamp<size_t>(m_Cache.Budget() / pictureBytes, 1, stepsBackKept));
    double start = std::max(0.0, time - (count - 1) * FrameDuration());
    if (!m_Cache.Empty() && time > m_Cache.LastTime())
        start = std::max(start, m_Cache.LastTime() + 0.5 * FrameDuration());
    // Nor before the key frame the decoding starts from anyway, which would
    // decode the group of pictures before it as well. The index may time a
    // key frame by its decoding order, some pictures before it is shown.
    double key = m_Input.KeyFrameBefore(m_Input.GetStartTime() + time) - m_Input.GetStartTime();
    if (!std::isnan(key) && key <= time)
        start = std::min(time, std::max(start, key + keyFrameLead * FrameDuration()));
    m_Cache.Clear(start);
    return m_Input.SeekAccurate(m_Input.GetStartTime() + start) && DecodeOnward(time);
}

// A filter for this one picture. The deinterlacer gives a picture once it
// has the next one: the same again stands in for it.
ffmpeg::FramePtr PreviewDecoder::Filtered(const AVFrame& decoded) const
{
    ffmpeg::FramePtr frame(av_frame_clone(&decoded));
    if (!frame)
        throw "Can't allocate picture.";
    std::unique_ptr<PictureFilter> filter = PictureFilter::For(m_Input.GetInfo(), m_KeepFields);
    if (!filter)
        return frame;
    filter->Send(*frame);
    ++frame->best_effort_timestamp;
    filter->Send(*frame);
    filter->Flush();
    return filter->Receive();
}

ffmpeg::FramePtr PreviewDecoder::PictureAt(double time)
{
    const AVFrame* decoded = DecodedAt(time);
    if (!decoded)
        return nullptr;
    ffmpeg::FramePtr picture = Filtered(*decoded);
    if (!picture)
        return nullptr;
    if (!m_Converter) {
        tInputStreamInfo info = m_Input.GetInfo();
        m_Converter = std::make_unique<AVFrameConverter>(
            PictureColour::ToShownRgb(*picture, info, info.displayWidth, info.displayHeight));
    }
    return m_Converter->Convert(*picture);
}
