#pragma once
// Decoded pictures around the preview's time, so that a step back by a frame
// needs no decoding: one unbroken run of consecutive pictures, in time
// order, held within a byte budget (the earliest go first when it is full).
#include <cmath>
#include <cstddef>
#include <deque>

#include "media/FFmpegPtr.h"

class PictureCache {
public:
    // 200 MB: 16 pictures of 4K in 8-bit 4:2:0 (12.4 MB each), 8 in 10-bit.
    static constexpr size_t defaultBudget = size_t(200) << 20;

    explicit PictureCache(size_t budget = defaultBudget) : m_Budget(budget) {}

    // Empties the run. With `from`, the run's first picture will be the
    // first one at or after that time, and it is found for times from there.
    void Clear(double from = NAN);
    // `picture` at `time` (seconds) comes right after the last one held.
    void Append(double time, ffmpeg::FramePtr picture);
    // The first picture at or after `time` when the run covers `time`, else null.
    const AVFrame* Find(double time) const;
    const AVFrame* Last() const { return m_Run.empty() ? nullptr : m_Run.back().picture.get(); }
    bool Empty() const { return m_Run.empty(); }
    double FirstTime() const { return m_Run.front().time; }
    double LastTime() const { return m_Run.back().time; }
    size_t Count() const { return m_Run.size(); }
    size_t Bytes() const { return m_Bytes; }
    size_t Budget() const { return m_Budget; }
    // The bytes a picture holds in its buffers.
    static size_t PictureBytes(const AVFrame& picture);

private:
    struct Entry {
        double time;
        ffmpeg::FramePtr picture;
        size_t bytes;
    };
    std::deque<Entry> m_Run;
    size_t m_Budget;
    size_t m_Bytes = 0;
    double m_From = NAN;  // the earliest time the run answers for
};
