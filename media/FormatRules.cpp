#include "media/FormatRules.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "media/ContainerProfiles.h"
#include "media/InputStream.h"

namespace {

// The first entry not above `value` in a list sorted highest first; the
// last (lowest) entry when all are above.
int HighestNotAbove(const std::vector<int>& list, int value)
{
    auto found = std::find_if(list.begin(), list.end(), [value](int entry) { return entry <= value; });
    return found == list.end() ? list.back() : *found;
}

int Nearest(const std::vector<int>& list, int value)
{
    return *std::min_element(list.begin(), list.end(), [value](int a, int b) {
        return std::llabs(1LL * a - value) < std::llabs(1LL * b - value);
    });
}

// The small allowance keeps a side that scales exactly (2048 of 3840) from
// losing a step to rounding.
int RoundDownToStep(double value, int step, int least)
{
    return std::max(int(value + 1e-6) / step * step, least);
}

// The fixed size nearest in width and height together, taken half-way
// between the first that is wide enough and the first that is high enough.
tPictureSize NearestFixedSize(const std::vector<tPictureSize>& sizes, int width, int height)
{
    auto firstNotBelow = [&sizes](auto side) {
        size_t i = 0;
        while (i + 1 < sizes.size() && side(sizes[i]) < 0)
            ++i;
        return i;
    };
    size_t byWidth = firstNotBelow([width](tPictureSize s) { return s.width - width; });
    size_t byHeight = firstNotBelow([height](tPictureSize s) { return s.height - height; });
    return sizes[(byWidth + byHeight) / 2];
}

int FitFps(const tOutputFormat& format, int fps)
{
    if (!format.fixedRates.empty())
        return Nearest(format.fixedRates, fps);
    return std::clamp(fps, minFps, format.maxFps);
}

void NormaliseSound(const tSoundLimits& sound, tCodecParams& p)
{
    p.iAudioSampleRate = HighestNotAbove(sound.sampleRates, p.iAudioSampleRate);
    p.iAudioChannels = std::clamp(p.iAudioChannels, 1, sound.maxChannels);
    p.iAudioBitrate = HighestNotAbove(SoundBitrates(sound, p.iAudioSampleRate, p.iAudioChannels),
                                      p.iAudioBitrate);
}

void NormalisePicture(const tOutputFormat& format, tCodecParams& p)
{
    tPictureSize size = FitPictureSize(format, p.iWidth, p.iHeight);
    p.iWidth = size.width;
    p.iHeight = size.height;
    p.iFps = FitFps(format, p.iFps);
    // The source's exact rate is kept only while the whole rate is its rounding.
    bool exact = p.iSourceFpsNum > 0 && p.iSourceFpsDen > 0 &&
                 std::lround(double(p.iSourceFpsNum) / p.iSourceFpsDen) == p.iFps;
    if (!exact)
        p.iSourceFpsNum = p.iSourceFpsDen = 0;
    p.iGopSize = std::clamp(p.iGopSize, 0, maxGopSize);
    // Bit rates are chosen in whole kbit/s.
    p.iVideoBitrate = std::clamp(p.iVideoBitrate, minVideoBitrate, format.maxVideoBitrate) / 1000 * 1000;
}

// Choices an output does not offer fall back to its own: its sound codec,
// bit rate mode, default speed, 8 bits.
void NormaliseEncoding(const tOutputFormat& format, tCodecParams& p)
{
    const tEncoderChoices& choices = format.encoder;
    if (p.eSoundCodec < SC_OUTPUT || p.eSoundCodec > SC_COPY ||
        (p.eSoundCodec != SC_COPY && !TakesSound(format.codec, p.eSoundCodec)))
        p.eSoundCodec = SC_OUTPUT;
    if (p.eVideoRate < VR_BITRATE || p.eVideoRate > VR_TARGET_SIZE || (p.eVideoRate == VR_QUALITY && !choices.quality))
        p.eVideoRate = VR_BITRATE;
    if (choices.quality)
        p.iQuality = std::clamp(p.iQuality, choices.minQuality, choices.maxQuality);
    if (p.iSpeed < 0 || p.iSpeed >= int(choices.speeds.size()))
        p.iSpeed = -1;
    p.bKeepHdr = p.bKeepHdr && choices.tenBit;
    p.iTargetKB = std::max(p.iTargetKB, minTargetKB);
}

}  // namespace

tSourceDescription DescribeSource(const tInputStreamInfo& info, bool hasAudio)
{
    double pixelAspect = info.sampleAspectNum > 0 && info.sampleAspectDen > 0
                             ? double(info.sampleAspectNum) / info.sampleAspectDen
                             : 1.0;
    return {info.displayWidth > 0 ? info.displayWidth : info.width,
            info.displayHeight > 0 ? info.displayHeight : info.height,
            pixelAspect, info.frameRateNum, info.frameRateDen, info.frameRate,
            hasAudio, info.sampleRate, info.channels};
}

tSourceDescription CropSource(tSourceDescription source, int cropWidth, int cropHeight)
{
    source.width = int(std::lround(cropWidth * source.pixelAspect));
    source.height = cropHeight;
    return source;
}

std::vector<int> SoundBitrates(const tSoundLimits& sound, int sampleRate, int channels)
{
    auto rate = std::find(sound.sampleRates.begin(), sound.sampleRates.end(), sampleRate);
    size_t position = rate == sound.sampleRates.end() ? 0 : size_t(rate - sound.sampleRates.begin());
    int first = channels > 1 ? sound.firstStereo[position] : sound.firstMono[position];
    return std::vector<int>(sound.bitrates.begin() + first, sound.bitrates.end());
}

tPictureSize FitPictureSize(const tOutputFormat& format, int width, int height)
{
    if (!format.fixedSizes.empty())
        return NearestFixedSize(format.fixedSizes, width, height);
    double w = std::max(width, 1), h = std::max(height, 1);
    double scale = std::min({1.0, format.maxSide / w, format.maxSide / h,
                             std::sqrt(double(format.maxArea) / (w * h))});
    int step = format.sizeStep;
    int least = format.minPictureSide;
    return {std::min(RoundDownToStep(w * scale, step, least), format.maxSide / step * step),
            std::min(RoundDownToStep(h * scale, step, least), format.maxSide / step * step)};
}

tCodecParams NormaliseForFormat(tCodecParams params)
{
    if (!IsOutputCodec(params.eCodec))
        params.eCodec = OC_MP4;
    const tOutputFormat& format = OutputFormat(params.eCodec);
    NormalisePicture(format, params);
    NormaliseEncoding(format, params);
    NormaliseSound(SoundLimits(params.eCodec, params.eSoundCodec), params);
    return params;
}

tCodecParams ProposeForSource(enumOutputCodec codec, const tSourceDescription& source)
{
    const tOutputFormat& format = OutputFormat(codec);
    tCodecParams p;
    p.eCodec = codec;
    p.iWidth = source.width;
    p.iHeight = source.height;
    p.iFps = int(std::lround(source.fps));
    p.iSourceFpsNum = source.fpsNum;
    p.iSourceFpsDen = source.fpsDen;
    p.iGopSize = 5;
    p.iVideoBitrate = format.defaultVideoBitrate;
    p.bAudioEnabled = source.hasAudio;
    p.iAudioSampleRate = source.hasAudio ? source.sampleRate : format.sound.sampleRates.front();
    // Surround is kept only when asked for; stereo is what plays everywhere.
    p.iAudioChannels = source.hasAudio ? std::min(source.channels, 2) : 2;
    p.iAudioBitrate = format.sound.defaultBitrate;
    if (format.encoder.quality) {
        p.eVideoRate = VR_QUALITY;
        p.iQuality = format.encoder.defaultQuality;
    }
    return NormaliseForFormat(p);
}

namespace {

// A little below the target, so that the encoders' misses stay under it.
const double targetAim = 0.995;
// The container's own bytes: its header and index, and a few bytes for
// every packet.
const double containerBytes = 4000;
const double packetBytes = 12;
const double soundFrame = 1024;  // samples per packet, about

}  // namespace

int TargetVideoBitrate(const tCodecParams& params, double seconds)
{
    const tOutputFormat& format = OutputFormat(params.eCodec);
    if (seconds <= 0)
        return format.maxVideoBitrate;
    double packets = seconds * av_q2d(OutputFrameRate(params));
    double soundBits = 0;
    if (params.bAudioEnabled) {
        packets += seconds * params.iAudioSampleRate / soundFrame;
        soundBits = double(params.iAudioBitrate) * seconds;
    }
    double bits = params.iTargetKB * 8000.0 * targetAim - soundBits - 8 * (containerBytes + packetBytes * packets);
    return int(std::clamp(bits / seconds, double(minVideoBitrate), double(format.maxVideoBitrate)));
}
