#include "media/PacketCopier.h"

#include <algorithm>
#include <cmath>

#include "media/MediaError.h"
#include "media/OutputFormats.h"
#include "media/OutputStream.h"
#include "media/StreamCopy.h"

namespace {

AVCodecID SoundCodecFor(const tCodecParams& params)
{
    switch (params.eSoundCodec) {
    case SC_OPUS: return AV_CODEC_ID_OPUS;
    case SC_AAC: return AV_CODEC_ID_AAC;
    default: return OutputFormat(params.eCodec).audioCodec;
    }
}

// A picture far past the end with no key frame since: nothing shown before
// the end still waits for it.
const double longestReach = 10.0;

int WriteHeader(AVFormatContext* file, const char* muxerOptions)
{
    AVDictionary* options = nullptr;
    if (muxerOptions && av_dict_parse_string(&options, muxerOptions, "=", ":", 0) < 0) {
        av_dict_free(&options);
        return AVERROR(EINVAL);
    }
    int result = avformat_write_header(file, &options);
    av_dict_free(&options);
    return result;
}

// The turn of a picture and the like travel with the stream.
bool CopySideData(const AVStream& source, AVStream& copy)
{
    for (int i = 0; i < source.nb_side_data; ++i) {
        const AVPacketSideData& data = source.side_data[i];
        uint8_t* room = av_stream_new_side_data(&copy, data.type, data.size);
        if (!room)
            return false;
        std::copy(data.data, data.data + data.size, room);
    }
    return true;
}

// Damaged sources repeat or step back a decoding time, which muxers refuse:
// such a packet comes a tick after the one before.
void KeepDecodingOrder(AVPacket& packet, int64_t& last)
{
    if (packet.dts == AV_NOPTS_VALUE)
        return;
    if (last != AV_NOPTS_VALUE && packet.dts <= last) {
        packet.dts = last + 1;
        if (packet.pts != AV_NOPTS_VALUE && packet.pts < packet.dts)
            packet.pts = packet.dts;
    }
    last = packet.dts;
}

}  // namespace

PacketCopier::PacketCopier(const char* inputName, const char* outputName, const tCodecParams& params,
                           double start, double end)
    : m_Source(inputName, params.iAudioTrack, params.bAudioEnabled && params.eSoundCodec == SC_COPY)
{
    enumOutputCodec codec = params.eCodec;
    if (!CanHoldPictures(codec, m_Source.Video().codecpar->codec_id))
        throw "This output's container can't hold the source's pictures as they are.";
    const AVStream* sound = m_Source.Sound();
    if (sound && !CanCopySound(codec, sound->codecpar->codec_id))
        throw "This output's container can't hold the source's sound as it is.";
    double duration = m_Source.Duration();
    if (end > 0 && (end < duration || duration <= 0))
        m_End = end;
    else
        m_End = duration > 0 ? duration : INFINITY;
    m_Start = m_Source.StartAt(std::min(std::max(start, 0.0), m_End));
    m_VideoEnd = m_Start;
    if (params.bAudioEnabled && params.eSoundCodec != SC_COPY)
        OpenSoundInput(inputName, params);
    OpenOutput(outputName, params);
}

// Encoded sound starts with the key frame.
void PacketCopier::OpenSoundInput(const char* inputName, const tCodecParams& params)
{
    m_SoundInput = std::make_unique<InputStream>(inputName, false, true, params.iAudioTrack);
    if (!m_SoundInput->SeekAccurate(m_Start + m_SoundInput->GetStartTime()))
        throw "Can't seek to begin in audio or video stream.";
}

// A copy that was not finished is thrown away: its end is not written.
PacketCopier::~PacketCopier() = default;

void PacketCopier::OpenOutput(const char* outputName, const tCodecParams& params)
{
    const tOutputFormat& row = OutputFormat(params.eCodec);
    AVFormatContext* file = nullptr;
    CheckMedia(avformat_alloc_output_context2(&file, nullptr, row.muxer, outputName), cantCreateOutput);
    m_File.reset(file);
    m_VideoOut = AddStream(m_Source.Video());
    if (row.videoTag && row.videoCodec == m_VideoOut->codecpar->codec_id)
        m_VideoOut->codecpar->codec_tag = MKTAG(row.videoTag[0], row.videoTag[1], row.videoTag[2], row.videoTag[3]);
    if (const AVStream* sound = m_Source.Sound())
        m_SoundOut = AddStream(*sound);
    if (m_SoundInput) {
        int channels = OutputStream::ChannelsFor(params);
        // Surround is kept as the source has it: never more channels than it has.
        if (channels > 2)
            channels = std::min(channels, m_SoundInput->GetInfo().channels);
        m_SoundEncoder = std::make_unique<SoundEncoder>(
            *file, SoundCodecFor(params), tAudioParamsMP4{params.iAudioBitrate, params.iAudioSampleRate, channels});
        m_SoundOut = &m_SoundEncoder->Stream();
    }
    CheckMedia(avio_open(&file->pb, outputName, AVIO_FLAG_WRITE), cantCreateOutput);
    CheckMedia(WriteHeader(file, row.muxerOptions), cantCreateOutput);
}

AVStream* PacketCopier::AddStream(const AVStream& source)
{
    AVStream* copy = avformat_new_stream(m_File.get(), nullptr);
    if (!copy || avcodec_parameters_copy(copy->codecpar, source.codecpar) < 0 || !CopySideData(source, *copy))
        throw cantCreateOutput;
    // The source container's tag may mean nothing in this one.
    copy->codecpar->codec_tag = 0;
    copy->time_base = source.time_base;
    copy->sample_aspect_ratio = source.sample_aspect_ratio;
    copy->avg_frame_rate = source.avg_frame_rate;
    copy->r_frame_rate = source.r_frame_rate;
    copy->disposition = source.disposition;
    av_dict_copy(&copy->metadata, source.metadata, 0);
    return copy;
}

bool PacketCopier::Copy()
{
    if (Done())
        return false;
    if (SoundIsBehind()) {
        EncodeSound();
        return !Done();
    }
    ffmpeg::PacketPtr packet = m_Source.Next();
    if (!packet) {
        EndPictures();
        m_SoundDone = m_SoundDone || !m_SoundEncoder;
        return !Done();
    }
    if (m_Source.IsVideo(*packet))
        TakePicture(std::move(packet));
    else
        TakeSound(std::move(packet));
    return !Done();
}

// Pictures shown before the end are copied with the pictures they are
// decoded from; a key frame after the end ends them.
void PacketCopier::TakePicture(ffmpeg::PacketPtr packet)
{
    if (m_VideoDone)
        return;
    double time = m_Source.Seconds(*packet);
    if (time < m_End) {
        for (ffmpeg::PacketPtr& late : m_LatePictures)
            Write(std::move(late));
        m_LatePictures.clear();
        Write(std::move(packet));
        WriteHeardSound();
    } else if ((packet->flags & AV_PKT_FLAG_KEY) || time > m_End + longestReach) {
        EndPictures();
    } else {
        m_LatePictures.push_back(std::move(packet));
    }
}

// Sound is heard while the pictures copied so far are shown; it ends where
// they end.
void PacketCopier::TakeSound(ffmpeg::PacketPtr packet)
{
    if (m_SoundDone)
        return;
    if (!m_VideoDone) {
        m_LateSound.push_back(std::move(packet));
        WriteHeardSound();
    } else if (m_Source.Seconds(*packet) < m_VideoEnd) {
        Write(std::move(packet));
    } else {
        m_SoundDone = true;
    }
}

void PacketCopier::WriteHeardSound()
{
    while (!m_LateSound.empty() && m_Source.Seconds(*m_LateSound.front()) < m_VideoEnd) {
        Write(std::move(m_LateSound.front()));
        m_LateSound.pop_front();
    }
}

void PacketCopier::EndPictures()
{
    if (m_VideoDone)
        return;
    m_VideoDone = true;
    m_LatePictures.clear();
    WriteHeardSound();
    m_SoundDone = !m_LateSound.empty();
    m_LateSound.clear();
}

bool PacketCopier::SoundIsBehind() const
{
    if (!m_SoundEncoder || m_SoundDone)
        return false;
    return m_VideoDone || double(m_SoundWritten) / m_SoundEncoder->SampleRate() <= Position();
}

// Sound up to the pictures' end, once that is known.
void PacketCopier::EncodeSound()
{
    int rate = m_SoundEncoder->SampleRate();
    int64_t room = m_VideoDone ? std::llround(Position() * rate) - m_SoundWritten : INT64_MAX;
    ffmpeg::FramePtr frame = room > 0 ? m_SoundInput->DecodeNextAudioFrame() : nullptr;
    if (!frame) {
        m_SoundEncoder->Finish();
        m_SoundDone = true;
        return;
    }
    m_SoundWritten += m_SoundEncoder->Write(*frame, room);
}

void PacketCopier::Write(ffmpeg::PacketPtr packet)
{
    bool video = m_Source.IsVideo(*packet);
    if (video) {
        m_VideoEnd = std::max(m_VideoEnd, m_Source.EndSeconds(*packet));
        ++m_Pictures;
    }
    const AVStream& in = video ? m_Source.Video() : *m_Source.Sound();
    AVStream* out = video ? m_VideoOut : m_SoundOut;
    m_Source.Rebase(*packet, m_Start);
    av_packet_rescale_ts(packet.get(), in.time_base, out->time_base);
    KeepDecodingOrder(*packet, video ? m_LastVideoDts : m_LastSoundDts);
    packet->stream_index = out->index;
    packet->pos = -1;
    // A packet the muxer refuses is left out and the copy goes on; a file
    // that cannot be written ends it.
    if (av_interleaved_write_frame(m_File.get(), packet.get()) < 0 && m_File->pb && m_File->pb->error < 0)
        ThrowOutputFailure(m_File->pb->error, "Can't write the copied packets.");
}

void PacketCopier::Finish()
{
    if (m_SoundEncoder && !m_SoundDone)
        m_SoundEncoder->Finish();
    int result = av_write_trailer(m_File.get());
    if (m_File->pb) {
        avio_flush(m_File->pb);
        if (m_File->pb->error < 0)
            result = m_File->pb->error;
    }
    if (result < 0)
        ThrowOutputFailure(result, "Can't finish the output file.");
}
