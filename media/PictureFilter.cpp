#include "media/PictureFilter.h"

#include "media/InputStream.h"
#include "media/PictureColour.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

namespace {

const char* const cantFilter = "Can't set up the picture filter.";

// HDR to SDR BT.709 4:2:0: the source's light made linear, tone-mapped
// (mobius leaves the colours below the highlights as they are), then
// encoded as BT.709.
std::string ToneMapping(const tInputStreamInfo& info)
{
    const char* transfer = info.colour.transfer == AVCOL_TRC_ARIB_STD_B67 ? "arib-std-b67" : "smpte2084";
    const char* matrix = info.colour.matrix == AVCOL_SPC_BT2020_CL ? "2020_cl" : "2020_ncl";
    const char* range = info.colour.range == AVCOL_RANGE_JPEG ? "full" : "limited";
    return std::string("zscale=tin=") + transfer + ":min=" + matrix + ":pin=2020:rin=" + range +
           ":t=linear:npl=100,format=gbrpf32le,zscale=p=709,tonemap=tonemap=mobius:desat=0,"
           "zscale=t=709:m=709:r=limited,format=yuv420p";
}

void Check(int result)
{
    if (result < 0) throw cantFilter;
}

}  // namespace

void PictureFilter::GraphDeleter::operator()(AVFilterGraph* graph) const
{
    avfilter_graph_free(&graph);
}

std::string PictureFilter::Chain(const tInputStreamInfo& info, bool keepFields, bool keepHdr)
{
    std::string chain;
    if (info.interlaced && !keepFields)
        chain = "bwdif=mode=send_frame:parity=auto:deint=all";
    if (PictureColour::IsHdr(info) && !keepHdr)
        chain += (chain.empty() ? "" : ",") + ToneMapping(info);
    return chain;
}

std::unique_ptr<PictureFilter> PictureFilter::For(const tInputStreamInfo& info, bool keepFields, bool keepHdr)
{
    std::string chain = Chain(info, keepFields, keepHdr);
    if (chain.empty()) return nullptr;
    return std::make_unique<PictureFilter>(info, chain);
}

PictureFilter::PictureFilter(const tInputStreamInfo& info, const std::string& chain)
    : m_Graph(avfilter_graph_alloc())
{
    if (!m_Graph) throw cantFilter;
    // The times pass through untouched; the time base only names their unit.
    std::string source = "video_size=" + std::to_string(info.width) + "x" + std::to_string(info.height) +
                         ":pix_fmt=" + std::to_string(info.pixFmt) + ":time_base=1/90000:pixel_aspect=" +
                         std::to_string(info.sampleAspectNum) + "/" + std::to_string(info.sampleAspectDen);
    Check(avfilter_graph_create_filter(&m_Source, avfilter_get_by_name("buffer"), "in", source.c_str(), nullptr,
                                       m_Graph.get()));
    Check(avfilter_graph_create_filter(&m_Sink, avfilter_get_by_name("buffersink"), "out", nullptr, nullptr,
                                       m_Graph.get()));
    AVFilterInOut* outputs = avfilter_inout_alloc();
    AVFilterInOut* inputs = avfilter_inout_alloc();
    if (outputs && inputs) {
        outputs->name = av_strdup("in");
        outputs->filter_ctx = m_Source;
        inputs->name = av_strdup("out");
        inputs->filter_ctx = m_Sink;
    }
    int parsed = outputs && inputs ? avfilter_graph_parse_ptr(m_Graph.get(), chain.c_str(), &inputs, &outputs, nullptr)
                                   : AVERROR(ENOMEM);
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    Check(parsed);
    Check(avfilter_graph_config(m_Graph.get(), nullptr));
}

PictureFilter::~PictureFilter() = default;

void PictureFilter::Send(const AVFrame& frame)
{
    ffmpeg::FramePtr picture(av_frame_clone(&frame));
    if (!picture) throw cantFilter;
    picture->pts = frame.best_effort_timestamp;
    if (av_buffersrc_add_frame(m_Source, picture.get()) < 0) throw "Can't filter the picture.";
}

void PictureFilter::Flush()
{
    if (av_buffersrc_add_frame(m_Source, nullptr) < 0) throw "Can't filter the picture.";
}

ffmpeg::FramePtr PictureFilter::Receive()
{
    ffmpeg::FramePtr picture(av_frame_alloc());
    if (!picture) throw cantFilter;
    int result = av_buffersink_get_frame(m_Sink, picture.get());
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return nullptr;
    if (result < 0) throw "Can't filter the picture.";
    picture->best_effort_timestamp = picture->pts;
    return picture;
}

int PictureFilter::OutputFormat() const
{
    return av_buffersink_get_format(m_Sink);
}
