#include "pipeline/ExportCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "media/ContainerProfiles.h"
#include "media/FFmpegPtr.h"
#include "media/OutputFormats.h"
#include "media/OutputStream.h"
#include "pipeline/PictureJudge.h"
#include "pipeline/SoundJudge.h"

extern "C" {
#include <libavutil/intreadwrite.h>
}

namespace {

// Timestamps are rounded to their time base; a millisecond covers every one in use.
const double timestampSlack = 0.001;
// Content comparisons: the shape may differ by the rounding of sizes to a
// codec's step; pictures coded at the lowest rates on offer stay above the
// PSNR floor, and a region's mean colour moves far less than by misread
// colours (BT.601 read as BT.709 shifts saturated colours by 20 to 30).
const double shapeTolerance = 0.02;
const double psnrFloor = 20.0;
const double largestColourShift = 16.0;
// The stretch of sound compared, from the middle of the range.
const double soundSeconds = 0.2;

// Follows one stream's packets: their order and the time they cover.
class StreamReader {
public:
    StreamReader(AVFormatContext& file, AVMediaType type, tStreamReadBack& result)
        : m_Result(result)
    {
        m_Index = av_find_best_stream(&file, type, -1, -1, nullptr, 0);
        if (m_Index < 0)
            return;
        m_Stream = file.streams[m_Index];
        m_Result.bPresent = true;
        m_Result.iCodec = m_Stream->codecpar->codec_id;
    }

    const AVCodecParameters* Parameters() const { return m_Stream ? m_Stream->codecpar : nullptr; }
    // Fewer packets came than the file's index lists: the file was cut short.
    bool Incomplete() const { return m_Stream && m_Result.iPackets < m_Stream->nb_frames; }

    void Take(const AVPacket& packet)
    {
        if (packet.stream_index != m_Index)
            return;
        ++m_Result.iPackets;
        if (packet.dts != AV_NOPTS_VALUE) {
            if (m_Ordered && packet.dts <= m_LastDts)
                ++m_Result.iOutOfOrder;
            m_Ordered = true;
            m_LastDts = packet.dts;
        }
        if (packet.pts != AV_NOPTS_VALUE && packet.dts != AV_NOPTS_VALUE)
            m_Delay = packet.pts - packet.dts;
        if (packet.pts != AV_NOPTS_VALUE)
            Cover(packet, packet.pts);
        else if (packet.dts != AV_NOPTS_VALUE)
            Cover(packet, packet.dts + m_Delay);
    }

private:
    void Cover(const AVPacket& packet, int64_t time)
    {
        double unit = av_q2d(m_Stream->time_base);
        double start = time * unit;
        double end = (time + packet.duration) * unit;
        TrimEncoderPadding(packet, start, end);
        if (!m_Timed || start < m_Result.dStart)
            m_Result.dStart = start;
        if (!m_Timed || end > m_Result.dEnd)
            m_Result.dEnd = end;
        m_Timed = true;
    }

    // Sound encoders prime with samples that a player skips; containers that
    // say so mark the packets.
    void TrimEncoderPadding(const AVPacket& packet, double& start, double& end) const
    {
        size_t size = 0;
        const uint8_t* skip = av_packet_get_side_data(&packet, AV_PKT_DATA_SKIP_SAMPLES, &size);
        int rate = m_Stream->codecpar->sample_rate;
        if (!skip || size < 8 || rate <= 0)
            return;
        start += double(AV_RL32(skip)) / rate;
        end -= double(AV_RL32(skip + 4)) / rate;
    }

    tStreamReadBack& m_Result;
    int m_Index = -1;
    const AVStream* m_Stream = nullptr;
    bool m_Timed = false;
    bool m_Ordered = false;
    int64_t m_LastDts = 0;
    // Between decoding and showing; stands in for the time of packets that
    // carry only a decoding time, as program streams leave some.
    int64_t m_Delay = 0;
};

ffmpeg::InputContextPtr OpenFile(const char* fileName)
{
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, fileName, nullptr, nullptr) < 0)
        return nullptr;
    ffmpeg::InputContextPtr file(context);
    if (avformat_find_stream_info(context, nullptr) < 0)
        return nullptr;
    return file;
}

void ReadBack(AVFormatContext& file, tExportCheck& found)
{
    StreamReader video(file, AVMEDIA_TYPE_VIDEO, found.video);
    StreamReader audio(file, AVMEDIA_TYPE_AUDIO, found.audio);
    if (const AVCodecParameters* p = video.Parameters()) {
        found.iWidth = p->width;
        found.iHeight = p->height;
    }
    if (const AVCodecParameters* p = audio.Parameters()) {
        found.iSampleRate = p->sample_rate;
        found.iChannels = p->ch_layout.nb_channels;
        found.iAudioFrameSize = p->frame_size;
    }
    ffmpeg::PacketPtr packet(av_packet_alloc());
    int error = AVERROR(ENOMEM);
    while (packet && (error = av_read_frame(&file, packet.get())) >= 0) {
        video.Take(*packet);
        audio.Take(*packet);
        av_packet_unref(packet.get());
    }
    found.bReadError = error != AVERROR_EOF || video.Incomplete() || audio.Incomplete();
}

// Decodes the first, middle and last pictures and a stretch of sound from
// the middle, beside the source's.
// One pair of files open at a time: a long file's index is megabytes.
void ReadPictures(const tExportRequest& asked, const char* fileName, tExportCheck& found)
{
    tContentReadBack& content = found.content;
    double length = found.video.Length(), origin = found.video.dStart;
    PictureJudge pictures(asked.source, fileName);
    if (!pictures.IsOpen() || asked.dFps <= 0)
        return;
    double last = std::max(0.0, length - 1.0 / asked.dFps);
    pictures.Compare(origin, {0.0, pictures.KeyFrameFrom(length / 2, last), last}, content);
    content.dAspect = pictures.OutputAspect();
    content.dSourceAspect = pictures.SourceAspect();
    // A copy says what its source says.
    content.bColourTagged = asked.dCopiedFrom >= 0 || pictures.OutputColourTagged();
}

void ReadContent(const tExportRequest& asked, const char* fileName, tExportCheck& found)
{
    ReadPictures(asked, fileName, found);
    if (!asked.bAudio || !found.audio.bPresent)
        return;
    tContentReadBack& content = found.content;
    double length = found.video.Length(), origin = found.video.dStart;
    SoundJudge sound(asked.source, fileName);
    if (!sound.IsOpen())
        return;
    content.bLayoutAsAsked = sound.LayoutAsAsked(asked.iChannels);
    content.sTrack = sound.TrackName();
    double seconds = std::min(soundSeconds, length / 2);
    sound.Compare(origin, (length - seconds) / 2, seconds, content);
}

double AudioFrameSeconds(const tExportCheck& found)
{
    const int usualFrame = 1024;  // when the container does not tell
    int samples = found.iAudioFrameSize > 0 ? found.iAudioFrameSize : usualFrame;
    return found.iSampleRate > 0 ? double(samples) / found.iSampleRate : 0.0;
}

bool Beyond(double difference, double tolerance)
{
    return std::fabs(difference) > tolerance + timestampSlack;
}

// MPEG audio's layers share one tag in most containers, and read back as
// either.
bool SameSoundCodec(int found, int asked)
{
    auto mpeg = [](int codec) { return codec == AV_CODEC_ID_MP2 || codec == AV_CODEC_ID_MP3; };
    return found == asked || (mpeg(found) && mpeg(asked));
}

// Surround is asked for as the source has it, up to 5.1: a source with fewer
// channels keeps its own.
bool ChannelsAsAsked(int found, int asked)
{
    return found == asked || (asked > 2 && found >= 1 && found < asked);
}

}  // namespace

tExportRequest ExportCheck::RequestFor(const tCodecParams& params, double rangeSeconds, bool cancelled)
{
    tExportRequest request;
    request.dRangeSeconds = rangeSeconds;
    request.bCancelled = cancelled;
    request.dFps = av_q2d(OutputFrameRate(params));
    request.iWidth = params.iWidth;
    request.iHeight = params.iHeight;
    request.bAudio = params.bAudioEnabled;
    request.iSampleRate = params.iAudioSampleRate;
    request.iChannels = OutputStream::ChannelsFor(params);
    tProfileCodecs codecs = ProfileCodecs(params.eCodec);
    request.iVideoCodec = codecs.video;
    request.iAudioCodec = SoundCodec(params.eCodec, params.eSoundCodec);
    // 3GP's narrow-band sound has its one rate whatever the record says (and
    // one channel, which ChannelsFor takes from the same row).
    if (params.eCodec == OC_3GP || params.eCodec == OC_3G2)
        request.iSampleRate = OutputFormat(params.eCodec).sound.sampleRates.front();
    return request;
}

tExportCheck ExportCheck::Check(const char* fileName) const
{
    tExportCheck found;
    if (ffmpeg::InputContextPtr file = OpenFile(fileName)) {
        found.bOpened = true;
        ReadBack(*file, found);
    }
    // A cancel is answered at once: what was written is judged by its packets.
    if (found.bOpened && !m_Request.source.fileName.empty() && !m_Request.bCancelled)
        ReadContent(m_Request, fileName, found);
    Compare(found);
    return found;
}

void ExportCheck::Compare(tExportCheck& found) const
{
    found.asked = m_Request;
    found.faults.clear();
    if (!found.bOpened) {
        found.faults.push_back({EF_DOES_NOT_OPEN, 0.0});
        return;
    }
    if (found.bReadError)
        found.faults.push_back({EF_READ_ERROR, found.video.Length()});
    CompareStreams(found);
    CompareLengths(found);
    CompareContent(found);
}

void ExportCheck::CompareStreams(tExportCheck& found) const
{
    auto fault = [&found](enumExportFault kind, double amount) { found.faults.push_back({kind, amount}); };
    if (!found.video.bPresent)
        fault(EF_NO_VIDEO, 0.0);
    else if (found.video.iCodec != m_Request.iVideoCodec)
        fault(EF_VIDEO_CODEC, 0.0);
    else if (found.iWidth != m_Request.iWidth || found.iHeight != m_Request.iHeight)
        fault(EF_PICTURE_SIZE, 0.0);
    if (m_Request.bAudio && !found.audio.bPresent)
        fault(EF_NO_AUDIO, 0.0);
    else if (m_Request.bAudio && !SameSoundCodec(found.audio.iCodec, m_Request.iAudioCodec))
        fault(EF_AUDIO_CODEC, 0.0);
    else if (m_Request.bAudio && (found.iSampleRate != m_Request.iSampleRate || !ChannelsAsAsked(found.iChannels, m_Request.iChannels)))
        fault(EF_AUDIO_FORMAT, 0.0);
    int64_t outOfOrder = found.video.iOutOfOrder + found.audio.iOutOfOrder;
    if (outOfOrder > 0)
        fault(EF_OUT_OF_ORDER, double(outOfOrder));
}

void ExportCheck::CompareLengths(tExportCheck& found) const
{
    if (!found.video.bPresent || m_Request.dFps <= 0)
        return;
    auto fault = [&found](enumExportFault kind, double amount) { found.faults.push_back({kind, amount}); };
    const tStreamReadBack& video = found.video;
    double picture = 1.0 / m_Request.dFps;
    double length = m_Request.bCancelled ? video.Length() : m_Request.dRangeSeconds;
    int64_t pictures = std::llround(length * m_Request.dFps);
    if (std::llabs(video.iPackets - pictures) > 1)
        fault(EF_PICTURE_COUNT, double(video.iPackets - pictures));
    if (!m_Request.bCancelled && Beyond(video.Length() - length, picture))
        fault(EF_VIDEO_LENGTH, video.Length() - length);
    if (!m_Request.bAudio || !found.audio.bPresent)
        return;
    // Sound before the first picture is the encoder's lead-in, which
    // containers without a skip marker keep and place ahead of the picture.
    const tStreamReadBack& audio = found.audio;
    double audioLength = audio.dEnd - std::max(audio.dStart, video.dStart);
    double frame = AudioFrameSeconds(found);
    if (!m_Request.bCancelled && Beyond(audioLength - length, frame))
        fault(EF_AUDIO_LENGTH, audioLength - length);
    if (Beyond(audio.dEnd - video.dEnd, frame))
        fault(EF_AUDIO_END, audio.dEnd - video.dEnd);
}

void ExportCheck::CompareContent(tExportCheck& found) const
{
    auto fault = [&found](enumExportFault kind, double amount) { found.faults.push_back({kind, amount}); };
    const tContentReadBack& content = found.content;
    if (content.dAspect > 0 && content.dSourceAspect > 0 &&
        std::fabs(content.dAspect / content.dSourceAspect - 1.0) > shapeTolerance)
        fault(EF_DISPLAY_SHAPE, content.dAspect / content.dSourceAspect);
    // Colours are compared only on pictures that are otherwise the same.
    if (content.iPictures > 0 && content.dLowestPsnr < psnrFloor)
        fault(EF_PICTURE_CONTENT, content.dLowestPsnr);
    else if (content.iPictures > 0 && content.dLargestShift > largestColourShift)
        fault(EF_COLOURS, content.dLargestShift);
    if (!content.bColourTagged)
        fault(EF_COLOUR_TAGS, 0.0);
    if (!content.bLayoutAsAsked)
        fault(EF_CHANNEL_LAYOUT, 0.0);
    if (content.bSoundCompared && content.iWrongChannel >= 0)
        fault(EF_CHANNEL_MIX, content.iWrongChannel);
}
