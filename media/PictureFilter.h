#pragma once
// What a source's pictures need before they are shown or written: fields
// woven into whole pictures (bwdif, one picture per frame) and HDR
// tone-mapped to SDR BT.709 (zscale and tonemap) unless it is kept, in one
// libavfilter graph.
// Pictures go in in order and come out in order, with their times, a little
// later (the deinterlacer looks one picture ahead); Flush() lets the last
// ones out. Failures are thrown as constant messages.
#include <memory>
#include <string>

#include "media/FFmpegPtr.h"

struct AVFilterGraph;
struct AVFilterContext;
struct tInputStreamInfo;

class PictureFilter {
public:
    // The filter the source's pictures need, or null when they need none.
    // `keepFields` leaves interlaced pictures as they are; `keepHdr` leaves
    // HDR pictures as they are, for an output that keeps them.
    static std::unique_ptr<PictureFilter> For(const tInputStreamInfo& info, bool keepFields, bool keepHdr = false);

    // `chain`: libavfilter's description of the filters.
    PictureFilter(const tInputStreamInfo& info, const std::string& chain);
    ~PictureFilter();
    PictureFilter(const PictureFilter&) = delete;
    PictureFilter& operator=(const PictureFilter&) = delete;

    // `frame` as InputStream delivers it; only read.
    void Send(const AVFrame& frame);
    void Flush();
    // The next filtered picture, or null when none is ready.
    ffmpeg::FramePtr Receive();
    // The AVPixelFormat of the filtered pictures (their size is the source's).
    int OutputFormat() const;

private:
    // The filters the source needs, in libavfilter's words ("" for none).
    static std::string Chain(const tInputStreamInfo& info, bool keepFields, bool keepHdr);

    struct GraphDeleter {
        void operator()(AVFilterGraph* graph) const;
    };
    std::unique_ptr<AVFilterGraph, GraphDeleter> m_Graph;
    AVFilterContext* m_Source = nullptr;  // owned by the graph
    AVFilterContext* m_Sink = nullptr;
};
