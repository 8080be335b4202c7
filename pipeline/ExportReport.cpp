#include "pipeline/ExportReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace {

template <typename... Args>
std::string Format(const char* format, Args... args)
{
    char text[160];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

std::string CodecName(int codec)
{
    switch (codec) {
    case AV_CODEC_ID_MPEG4: return "MPEG-4";
    case AV_CODEC_ID_H264: return "H.264";
    case AV_CODEC_ID_H263: return "H.263";
    case AV_CODEC_ID_FLV1: return "Sorenson H.263";
    case AV_CODEC_ID_MPEG1VIDEO: return "MPEG-1";
    case AV_CODEC_ID_MPEG2VIDEO: return "MPEG-2";
    case AV_CODEC_ID_AAC: return "AAC";
    case AV_CODEC_ID_MP3: return "MP3";
    case AV_CODEC_ID_MP2: return "MP2";
    case AV_CODEC_ID_AMR_NB: return "AMR-NB";
    }
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(AVCodecID(codec));
    return descriptor ? descriptor->name : "an unknown codec";
}

// "1:00.0"; "1:02:03.5" from an hour on.
std::string Clock(double seconds)
{
    long long tenths = std::llround(std::max(seconds, 0.0) * 10);
    long long s = tenths / 10, minutes = s / 60, hours = minutes / 60;
    if (hours > 0)
        return Format("%lld:%02lld:%02lld.%lld", hours, minutes % 60, s % 60, tenths % 10);
    return Format("%lld:%02lld.%lld", minutes, s % 60, tenths % 10);
}

// A difference: "60 ms" under a tenth of a second, else "0.4 s".
std::string Amount(double seconds)
{
    seconds = std::fabs(seconds);
    if (seconds < 0.1)
        return Format("%d ms", int(std::lround(seconds * 1000)));
    return Format("%.1f s", seconds);
}

// "mono", "stereo", "5.1", "7.1" or "4 channels": the usual layout of the count.
std::string Channels(int count)
{
    switch (count) {
    case 1: return "mono";
    case 2: return "stereo";
    case 6: return "5.1";
    case 8: return "7.1";
    }
    return Format("%d channels", count);
}

// "44.1 kHz stereo"
std::string SoundFormat(int sampleRate, int channels)
{
    std::string rate = Format("%.2f", sampleRate / 1000.0);
    rate.erase(rate.find_last_not_of('0') + 1);
    if (rate.back() == '.')
        rate.pop_back();
    return rate + " kHz " + Channels(channels);
}

std::string Count(long long n, const char* one, const char* many)
{
    return Format("%lld %s", n, n == 1 ? one : many);
}

std::string PictureCountWarning(const tExportCheck& check, double difference)
{
    long long found = check.video.iPackets;
    long long due = found - std::llround(difference);
    std::string what = difference < 0 ? Count(-std::llround(difference), "picture", "pictures") + " missing"
                                       : Count(std::llround(difference), "picture", "pictures") + " too many";
    return what + Format(": %lld where %lld were due at %.4g fps", found, due, check.asked.dFps);
}

std::string Warning(const tExportCheck& check, const tExportFault& fault)
{
    const tExportRequest& asked = check.asked;
    double d = fault.dAmount;
    switch (fault.eKind) {
    case EF_DOES_NOT_OPEN: return "the file does not open";
    case EF_READ_ERROR: return "the file cannot be read past " + Clock(d);
    case EF_NO_VIDEO: return "the file has no picture";
    case EF_VIDEO_CODEC: return "the picture is " + CodecName(check.video.iCodec) + ", not " + CodecName(asked.iVideoCodec);
    case EF_PICTURE_SIZE:
        return Format("the picture is %dx%d, not %dx%d", check.iWidth, check.iHeight, asked.iWidth, asked.iHeight);
    case EF_NO_AUDIO: return "the file has no sound";
    case EF_AUDIO_CODEC: return "the sound is " + CodecName(check.audio.iCodec) + ", not " + CodecName(asked.iAudioCodec);
    case EF_AUDIO_FORMAT:
        return "the sound is " + SoundFormat(check.iSampleRate, check.iChannels) + ", not " +
               SoundFormat(asked.iSampleRate, asked.iChannels);
    case EF_PICTURE_COUNT: return PictureCountWarning(check, d);
    case EF_VIDEO_LENGTH: return "the picture lasts " + Amount(d) + (d < 0 ? " less" : " more") + " than the range";
    case EF_AUDIO_LENGTH: return "the sound lasts " + Amount(d) + (d < 0 ? " less" : " more") + " than the range";
    case EF_AUDIO_END: return "the sound ends " + Amount(d) + (d < 0 ? " before" : " after") + " the picture";
    case EF_OUT_OF_ORDER:
        return Count(std::llround(d), "packet is", "packets are") + " out of order";
    case EF_DISPLAY_SHAPE:
        return Format("the picture is shown %.2f:1 where the source's is %.2f:1", check.content.dAspect,
                      check.content.dSourceAspect);
    case EF_PICTURE_CONTENT: return Format("the pictures differ from the source's (PSNR %.1f dB)", d);
    case EF_COLOURS: return Format("the colours differ from the source's by up to %d of 255", int(std::lround(d)));
    case EF_COLOUR_TAGS: return "the file does not say how its colours are to be read";
    case EF_CHANNEL_LAYOUT: return "the sound's channels are not laid out as " + Channels(asked.iChannels);
    case EF_CHANNEL_MIX: return Format("sound channel %d does not carry its share of the source's sound", int(d) + 1);
    }
    return "";
}

}  // namespace

std::string ExportSummaryLine(const tExportCheck& check)
{
    if (!check.bOpened)
        return "nothing could be read back";
    std::string line = Count(check.video.iPackets, "picture", "pictures") + ", " + Clock(check.video.Length());
    if (check.video.bPresent)
        line += Format(", %dx%d ", check.iWidth, check.iHeight) + CodecName(check.video.iCodec);
    if (check.audio.bPresent && !check.content.sTrack.empty())
        line += ", sound " + SoundFormat(check.iSampleRate, check.iChannels) + " from " + check.content.sTrack;
    else if (check.audio.bPresent)
        line += ", sound " + SoundFormat(check.iSampleRate, check.iChannels);
    else
        line += ", no sound";
    if (check.asked.dCopiedFrom >= 0)
        line += ", copied from the key frame at " + Clock(check.asked.dCopiedFrom);
    return check.Passed() ? line + " \u2014 checked" : line;
}

std::vector<std::string> ExportWarnings(const tExportCheck& check)
{
    std::vector<std::string> warnings;
    for (const tExportFault& fault : check.faults)
        warnings.push_back(Warning(check, fault));
    return warnings;
}

std::string ExportReportText(const tExportCheck& check)
{
    std::string text = ExportSummaryLine(check);
    for (const std::string& warning : ExportWarnings(check))
        text += "\nWarning: " + warning;
    return text;
}
