#include "pipeline/PictureJudge.h"

#include <algorithm>
#include <cmath>

#include "media/MediaError.h"
#include "media/PictureColour.h"
#include "media/PictureFilter.h"
#include "media/PictureRotator.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace {

// Region means are taken on a grid of this many regions a side: coarse
// enough that coding noise averages out, fine enough for colour bars.
const int regionsPerSide = 8;

// 2 is "unspecified" and 3 "reserved" in each of the colour tags' enumerations.
bool Told(int tag) { return tag != 2 && tag != 3; }

// What players assume for an untagged picture of this size.
int PlayersGuess(const AVFrame& frame)
{
    return frame.width >= 1280 || frame.height > 576 ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
}

// The matrix a file's pictures are read with: its tags, else `guess`.
int Matrix(const AVFrame& frame, const AVCodecParameters& file, int guess)
{
    int matrix = frame.colorspace != AVCOL_SPC_UNSPECIFIED ? frame.colorspace : file.color_space;
    return matrix != AVCOL_SPC_UNSPECIFIED && matrix != AVCOL_SPC_RESERVED ? matrix : guess;
}

bool FullRange(const AVFrame& frame, const AVCodecParameters& file)
{
    int range = frame.color_range != AVCOL_RANGE_UNSPECIFIED ? frame.color_range : file.color_range;
    if (range != AVCOL_RANGE_UNSPECIFIED)
        return range == AVCOL_RANGE_JPEG;
    const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(AVPixelFormat(frame.format));
    return format && std::string(format->name).rfind("yuvj", 0) == 0;
}

ffmpeg::FramePtr NewRgb(int width, int height)
{
    ffmpeg::FramePtr rgb(av_frame_alloc());
    if (!rgb)
        return nullptr;
    rgb->format = AV_PIX_FMT_GBRP;
    rgb->width = width;
    rgb->height = height;
    return av_frame_get_buffer(rgb.get(), 64) >= 0 ? std::move(rgb) : nullptr;
}

// `frame` scaled to width x height as planar RGB, its colours read with
// `matrix` and `fullRange`; area averaging to shrink, bicubic to grow.
ffmpeg::FramePtr ToRgb(const AVFrame& frame, int width, int height, int matrix, bool fullRange)
{
    ffmpeg::FramePtr rgb = NewRgb(width, height);
    int flags = frame.width >= width && frame.height >= height ? SWS_AREA : SWS_BICUBIC;
    ffmpeg::SwsPtr scaler(sws_getContext(frame.width, frame.height, AVPixelFormat(frame.format), width, height,
                                         AV_PIX_FMT_GBRP, flags | SWS_ACCURATE_RND, nullptr, nullptr, nullptr));
    if (!rgb || !scaler)
        return nullptr;
    sws_setColorspaceDetails(scaler.get(), sws_getCoefficients(matrix), fullRange, sws_getCoefficients(SWS_CS_DEFAULT),
                             1, 0, 1 << 16, 1 << 16);
    sws_scale(scaler.get(), frame.data, frame.linesize, 0, frame.height, rgb->data, rgb->linesize);
    return rgb;
}

// The PSNR of `b` against `a` and the largest difference between the mean
// colours of their regions; both planar RGB of one size.
void Measure(const AVFrame& a, const AVFrame& b, double& psnr, double& shift)
{
    double squares = 0.0;
    shift = 0.0;
    for (int plane = 0; plane < 3; ++plane) {
        std::vector<double> sums(regionsPerSide * regionsPerSide * 2, 0.0);
        std::vector<int> counts(regionsPerSide * regionsPerSide, 0);
        for (int y = 0; y < a.height; ++y) {
            const uint8_t* p = a.data[plane] + y * a.linesize[plane];
            const uint8_t* q = b.data[plane] + y * b.linesize[plane];
            int row = y * regionsPerSide / a.height;
            for (int x = 0; x < a.width; ++x) {
                double d = double(p[x]) - q[x];
                squares += d * d;
                int region = row * regionsPerSide + x * regionsPerSide / a.width;
                sums[2 * region] += p[x];
                sums[2 * region + 1] += q[x];
                ++counts[region];
            }
        }
        for (size_t r = 0; r < counts.size(); ++r)
            if (counts[r] > 0)
                shift = std::max(shift, std::fabs(sums[2 * r] - sums[2 * r + 1]) / counts[r]);
    }
    double mse = squares / (3.0 * a.width * a.height);
    psnr = mse > 0 ? 10.0 * std::log10(255.0 * 255.0 / mse) : 99.0;
}

AVRational PixelShape(const FileDecoder& file)
{
    AVRational shape = av_guess_sample_aspect_ratio(const_cast<AVFormatContext*>(&file.File()),
                                                    const_cast<AVStream*>(&file.Stream()), nullptr);
    return shape.num > 0 && shape.den > 0 ? shape : AVRational{1, 1};
}

}  // namespace

PictureJudge::PictureJudge(const tExportSource& source, const char* outputName)
    : m_Request(source), m_Source(source.fileName.c_str(), AVMEDIA_TYPE_VIDEO),
      m_Output(outputName, AVMEDIA_TYPE_VIDEO)
{
    if (!IsOpen())
        return;
    m_QuarterTurns = PictureRotator::QuarterTurnsOf(m_Source.Stream());
    // A copy keeps its source's turn, and is judged upright like it.
    m_OutputTurns = PictureRotator::QuarterTurnsOf(m_Output.Stream());
    m_Width = m_Output.Stream().codecpar->width;
    m_Height = m_Output.Stream().codecpar->height;
    if (m_OutputTurns % 2 == 1)
        std::swap(m_Width, m_Height);
    try {
        m_SourceInfo = InputStream(source.fileName.c_str(), true, false).GetInfo();
    } catch (const char*) {
        m_SourceInfo = tInputStreamInfo();
    } catch (const MediaError&) {
        m_SourceInfo = tInputStreamInfo();
    }
}

PictureJudge::~PictureJudge() = default;

double PictureJudge::KeyFrameFrom(double time, double end) const
{
    AVStream& stream = const_cast<AVStream&>(m_Source.Stream());
    double origin = m_Source.StartTime() + m_Request.dStart, unit = av_q2d(stream.time_base);
    const AVIndexEntry* key = avformat_index_get_entry_from_timestamp(
        &stream, int64_t(std::ceil((origin + time) / unit)), 0);
    double found = key ? key->timestamp * unit - origin : end;
    return found >= time && found < end ? found : time;
}

double PictureJudge::OutputAspect() const
{
    AVRational shape = PixelShape(m_Output);
    double pixel = m_OutputTurns % 2 == 1 ? 1.0 / av_q2d(shape) : av_q2d(shape);
    return m_Height > 0 ? m_Width * pixel / m_Height : 0.0;
}

double PictureJudge::SourceAspect() const
{
    const AVCodecParameters& source = *m_Source.Stream().codecpar;
    AVRational shape = PixelShape(m_Source);
    bool turned = m_QuarterTurns % 2 == 1;
    int width = turned ? source.height : source.width, height = turned ? source.width : source.height;
    double pixel = turned ? 1.0 / av_q2d(shape) : av_q2d(shape);
    int x, y, w, h;
    CropRect(x, y, w, h, width, height);
    return h > 0 ? w * pixel / h : 0.0;
}

bool PictureJudge::OutputColourTagged() const
{
    const AVCodecParameters& output = *m_Output.Stream().codecpar;
    switch (output.codec_id) {
    case AV_CODEC_ID_H264: case AV_CODEC_ID_HEVC: case AV_CODEC_ID_AV1: case AV_CODEC_ID_VP9:
    case AV_CODEC_ID_MPEG2VIDEO:
        return Told(output.color_space) && Told(output.color_primaries) && Told(output.color_trc) &&
               output.color_range != AVCOL_RANGE_UNSPECIFIED;
    default:
        return true;  // nothing in the file could say it: players go by the size
    }
}

// The crop of an upright picture as a view on its planes, its left and top
// edges on the colour planes' grid; null for formats that cannot be cut so.
ffmpeg::FramePtr PictureJudge::CropView(const AVFrame& frame) const
{
    const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(AVPixelFormat(frame.format));
    const uint64_t uncuttable = AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_HWACCEL |
                                AV_PIX_FMT_FLAG_BAYER;
    ffmpeg::FramePtr view(format && !(format->flags & uncuttable) ? av_frame_clone(&frame) : nullptr);
    if (!view)
        return nullptr;
    int x, y, width, height;
    CropRect(x, y, width, height, frame.width, frame.height);
    bool rgb = format->flags & AV_PIX_FMT_FLAG_RGB;
    int chromaX = rgb ? 0 : format->log2_chroma_w, chromaY = rgb ? 0 : format->log2_chroma_h;
    x -= x % (1 << chromaX);
    y -= y % (1 << chromaY);
    bool moved[4] = {};  // packed components share a plane, which moves once
    for (int c = 0; c < format->nb_components; ++c) {
        const AVComponentDescriptor& component = format->comp[c];
        int p = component.plane;
        if (moved[p])
            continue;
        moved[p] = true;
        bool chroma = !rgb && (c == 1 || c == 2);
        view->data[p] += (y >> (chroma ? chromaY : 0)) * view->linesize[p] + (x >> (chroma ? chromaX : 0)) * component.step;
    }
    view->width = width;
    view->height = height;
    return view;
}

// The crop clipped to the picture, its left and top edges on the colour
// planes' grid, as the export takes it; an empty one is the whole picture.
void PictureJudge::CropRect(int& x, int& y, int& width, int& height, int pictureWidth, int pictureHeight) const
{
    x = std::clamp(m_Request.iCropX, 0, pictureWidth);
    y = std::clamp(m_Request.iCropY, 0, pictureHeight);
    width = std::min(m_Request.iCropWidth, pictureWidth - x);
    height = std::min(m_Request.iCropHeight, pictureHeight - y);
    if (width < 1 || height < 1)
        x = 0, y = 0, width = pictureWidth, height = pictureHeight;
}

void PictureJudge::Compare(double origin, const std::vector<double>& times, tContentReadBack& content)
{
    content.iPictures = 0;
    content.dLowestPsnr = 99.0;
    content.dLargestShift = 0.0;
    for (double time : times) {
        double shownSince = origin + time;
        ffmpeg::FramePtr output = OutputPicture(origin + time, shownSince);
        if (!output)
            continue;
        double best = -1.0, bestShift = 0.0;
        std::vector<ffmpeg::FramePtr> sources;
        try {
            sources = SourcePictures(shownSince - origin);
        } catch (const char*) {
            continue;  // a source the filters refuse is judged by its packets alone
        }
        for (ffmpeg::FramePtr& source : sources) {
            double psnr, shift;
            Measure(*source, *output, psnr, shift);
            if (psnr > best)
                best = psnr, bestShift = shift;
        }
        if (best < 0)
            continue;
        ++content.iPictures;
        content.dLowestPsnr = std::min(content.dLowestPsnr, best);
        content.dLargestShift = std::max(content.dLargestShift, bestShift);
    }
}

// In RGB.
ffmpeg::FramePtr PictureJudge::OutputPicture(double target, double& shownSince)
{
    const AVCodecParameters& file = *m_Output.Stream().codecpar;
    const double slack = 0.002;
    ffmpeg::FramePtr shown;  // only the one shown is converted
    m_Output.DecodeFrom(target, [&](const AVFrame& frame, double at) {
        bool late = at > target + slack;
        if (!late || !shown) {
            shown.reset(av_frame_clone(&frame));
            shownSince = at;
        }
        return !late;
    });
    if (!shown)
        return nullptr;
    int matrix = Matrix(*shown, file, PlayersGuess(*shown));
    if (m_OutputTurns == 0)
        return ToRgb(*shown, m_Width, m_Height, matrix, FullRange(*shown, file));
    ffmpeg::FramePtr rgb = ToRgb(*shown, shown->width, shown->height, matrix, FullRange(*shown, file));
    return rgb ? PictureRotator(m_OutputTurns).Turn(*rgb) : nullptr;
}

// The source pictures around `time`: the last one shown by then and the
// next, since an export to another frame rate may take either.
std::vector<ffmpeg::FramePtr> PictureJudge::SourcePictures(double time)
{
    double target = m_Source.StartTime() + m_Request.dStart + time, slack = 0.002;
    ffmpeg::FramePtr before, after;  // only these two are converted
    DecodeSourceFrom(target, [&](const AVFrame& frame, double at) {
        (at <= target + slack ? before : after).reset(av_frame_clone(&frame));
        return !after;
    });
    std::vector<ffmpeg::FramePtr> pictures;
    for (const ffmpeg::FramePtr& frame : {std::move(before), std::move(after)})
        if (ffmpeg::FramePtr picture = frame ? SourceAsExported(*frame) : nullptr)
            pictures.push_back(std::move(picture));
    return pictures;
}

void PictureJudge::DecodeSourceFrom(double time, const Consider& consider)
{
    // The filter takes pictures as they are stored; a turned source's are
    // judged unfiltered.
    std::unique_ptr<PictureFilter> filter;
    if (m_SourceInfo.width > 0 && m_QuarterTurns == 0)
        filter = PictureFilter::For(m_SourceInfo, m_Request.bKeepFields, m_Request.bKeepHdr);
    if (!filter) {
        m_Source.DecodeFrom(time, consider);
        return;
    }
    double unit = av_q2d(m_Source.Stream().time_base);
    auto filtered = [&]() {
        while (ffmpeg::FramePtr picture = filter->Receive())
            if (!consider(*picture, picture->best_effort_timestamp * unit))
                return false;
        return true;
    };
    bool more = true;
    m_Source.DecodeFrom(time, [&](const AVFrame& frame, double) {
        filter->Send(frame);
        return more = filtered();
    });
    if (more) {
        filter->Flush();
        filtered();
    }
}

// An untagged source is read as the program reads it.
int PictureJudge::SourceGuess(const AVFrame& frame) const
{
    return m_SourceInfo.width > 0 ? PictureColour::OfSource(m_SourceInfo).matrix : PlayersGuess(frame);
}

// A source picture turned upright, cropped and scaled to the output's size.
// A picture that needs no turning is cut where it lies and converted in one
// pass; a turned one is converted whole, turned, then cut.
ffmpeg::FramePtr PictureJudge::SourceAsExported(const AVFrame& frame) const
{
    const AVCodecParameters& file = *m_Source.Stream().codecpar;
    ffmpeg::FramePtr view = m_QuarterTurns == 0 ? CropView(frame) : nullptr;
    if (view)
        return ToRgb(*view, m_Width, m_Height, Matrix(frame, file, SourceGuess(frame)), FullRange(frame, file));
    ffmpeg::FramePtr rgb =
        ToRgb(frame, frame.width, frame.height, Matrix(frame, file, SourceGuess(frame)), FullRange(frame, file));
    if (rgb && m_QuarterTurns != 0)
        rgb = PictureRotator(m_QuarterTurns).Turn(*rgb);
    if (!rgb)
        return nullptr;
    const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(AVPixelFormat(frame.format));
    int x, y, width, height;
    CropRect(x, y, width, height, rgb->width, rgb->height);
    if (format && !(format->flags & AV_PIX_FMT_FLAG_RGB)) {
        x -= x % (1 << format->log2_chroma_w);
        y -= y % (1 << format->log2_chroma_h);
    }
    ffmpeg::FramePtr crop(av_frame_clone(rgb.get()));
    if (!crop)
        return nullptr;
    for (int plane = 0; plane < 3; ++plane)
        crop->data[plane] += y * crop->linesize[plane] + x;
    crop->width = width;
    crop->height = height;
    return ToRgb(*crop, m_Width, m_Height, SWS_CS_DEFAULT, true);
}
