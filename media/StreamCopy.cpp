#include "media/StreamCopy.h"

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "media/ContainerProfiles.h"
#include "media/InputStream.h"
#include "media/OutputFormats.h"

namespace {

// Sound codecs of the row's other choices.
AVCodecID SoundCodecOf(enumSoundCodec sound)
{
    switch (sound) {
    case SC_OPUS: return AV_CODEC_ID_OPUS;
    case SC_AAC: return AV_CODEC_ID_AAC;
    default: return AV_CODEC_ID_NONE;
    }
}

// Only a muxer's certain yes counts: FFmpeg answers "don't know" for muxers
// that keep no list.
bool MuxerTakes(const tOutputFormat& row, AVCodecID id)
{
    const AVOutputFormat* muxer = av_guess_format(row.muxer, nullptr, nullptr);
    return muxer && avformat_query_codec(muxer, id, FF_COMPLIANCE_NORMAL) == 1;
}

bool WholePicture(const tCropRect& crop, const tInputStreamInfo& source)
{
    bool empty = crop.width <= 0 || crop.height <= 0;
    return empty || (crop.x == 0 && crop.y == 0 && crop.width == source.width && crop.height == source.height);
}

// The stored size, or the size shown where the pixels are not square.
bool SameSize(const tCodecParams& params, const tInputStreamInfo& source)
{
    return (params.iWidth == source.width && params.iHeight == source.height) ||
           (params.iWidth == source.displayWidth && params.iHeight == source.displayHeight);
}

bool SameRate(const tCodecParams& params, const tInputStreamInfo& source)
{
    const double slack = 0.001;  // of the rate: the rounding of a fraction
    double rate = av_q2d(OutputFrameRate(params));
    return source.frameRate > 0 && std::fabs(rate / source.frameRate - 1.0) < slack;
}

}  // namespace

bool CanCopySound(enumOutputCodec codec, AVCodecID source)
{
    if (!IsOutputCodec(codec) || source == AV_CODEC_ID_NONE)
        return false;
    const tOutputFormat& row = OutputFormat(codec);
    // The phone formats' players take their one narrow-band sound only.
    if (!row.fixedSizes.empty())
        return false;
    bool listed = row.audioCodec == source ||
                  std::any_of(row.otherSound.begin(), row.otherSound.end(),
                              [source](enumSoundCodec other) { return SoundCodecOf(other) == source; });
    return listed || MuxerTakes(row, source);
}

bool CanHoldPictures(enumOutputCodec codec, AVCodecID source)
{
    if (!IsOutputCodec(codec) || source == AV_CODEC_ID_NONE)
        return false;
    const tOutputFormat& row = OutputFormat(codec);
    return row.videoCodec == source || MuxerTakes(row, source);
}

bool CanCopyVideo(const tCodecParams& params, const tInputStreamInfo& source, const tCropRect& crop)
{
    return WholePicture(crop, source) && SameSize(params, source) && SameRate(params, source) &&
           CanHoldPictures(params.eCodec, CodecByName(source.videoCodec));
}

AVCodecID CodecByName(const char* name)
{
    const AVCodecDescriptor* descriptor = name ? avcodec_descriptor_get_by_name(name) : nullptr;
    return descriptor ? descriptor->id : AV_CODEC_ID_NONE;
}
