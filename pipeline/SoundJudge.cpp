#include "pipeline/SoundJudge.h"

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace {

// Codecs delay or lead their sound by a few milliseconds; the comparison
// looks for the best match within this much either way.
const double leeway = 0.03;
// A channel whose best match with its share of the source stays below this
// carries something else (lossy coding of the right mix stays far above).
const double lowestMatch = 0.9;
// Below this mean square a stretch counts as silence.
const double silence = 1e-7;

// Where one channel lies in the side-or-back pairs, both count as surrounds.
uint64_t Surrounds(uint64_t mask)
{
    uint64_t side = AV_CH_SIDE_LEFT | AV_CH_SIDE_RIGHT;
    if (mask & side)
        mask = (mask & ~side) | AV_CH_BACK_LEFT | AV_CH_BACK_RIGHT;
    return mask;
}

void LayoutOf(const AVFrame& frame, AVChannelLayout& layout)
{
    if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || av_channel_layout_copy(&layout, &frame.ch_layout) < 0)
        av_channel_layout_default(&layout, frame.ch_layout.nb_channels);
}

// The best normalised correlation of `out` with `ref` moved by up to `lag`
// samples either way; `ref` holds `lag` samples more at each end.
double BestMatch(const std::vector<float>& out, const std::vector<float>& ref, int lag)
{
    size_t n = out.size();
    double outEnergy = 0.0;
    for (float v : out)
        outEnergy += double(v) * v;
    double best = -1.0, refEnergy = 0.0, loudest = 0.0;
    for (size_t i = 0; i < n; ++i)
        refEnergy += double(ref[i]) * ref[i];
    for (int shift = 0; shift <= 2 * lag; ++shift) {
        if (shift > 0)
            refEnergy += double(ref[shift + n - 1]) * ref[shift + n - 1] - double(ref[shift - 1]) * ref[shift - 1];
        loudest = std::max(loudest, refEnergy);
        if (outEnergy < silence * n || refEnergy < silence * n)
            continue;
        double dot = 0.0;
        for (size_t i = 0; i < n; ++i)
            dot += double(out[i]) * ref[shift + i];
        best = std::max(best, dot / std::sqrt(outEnergy * refEnergy));
    }
    bool bothSilent = outEnergy < silence * n && loudest < silence * n;
    return bothSilent ? 1.0 : best;
}

// The file's stream index of its `track`-th sound track (from 1), or -1.
int StreamOfTrack(const std::string& fileName, int track)
{
    AVFormatContext* context = nullptr;
    if (track < 1 || avformat_open_input(&context, fileName.c_str(), nullptr, nullptr) < 0)
        return -1;
    ffmpeg::InputContextPtr file(context);
    for (unsigned i = 0; i < context->nb_streams; ++i)
        if (context->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && --track == 0)
            return int(i);
    return -1;
}

}  // namespace

SoundJudge::SoundJudge(const tExportSource& source, const char* outputName)
    : m_Source(source.fileName.c_str(), AVMEDIA_TYPE_AUDIO, StreamOfTrack(source.fileName, source.iAudioTrack)),
      m_Output(outputName, AVMEDIA_TYPE_AUDIO), m_SourceOrigin(source.dStart)
{
    if (m_Source.IsOpen())
        m_SourceOrigin += m_Source.StartTime();
}

bool SoundJudge::LayoutAsAsked(int channels) const
{
    const AVChannelLayout& found = m_Output.Stream().codecpar->ch_layout;
    AVChannelLayout usual{};
    av_channel_layout_default(&usual, channels);
    bool same = found.nb_channels == channels &&
                (found.order != AV_CHANNEL_ORDER_NATIVE || usual.order != AV_CHANNEL_ORDER_NATIVE ||
                 Surrounds(found.u.mask) == Surrounds(usual.u.mask));
    av_channel_layout_uninit(&usual);
    return same;
}

std::string SoundJudge::TrackName() const
{
    const AVFormatContext& file = m_Source.File();
    int tracks = 0, position = 0;
    for (unsigned i = 0; i < file.nb_streams; ++i) {
        if (file.streams[i]->codecpar->codec_type != AVMEDIA_TYPE_AUDIO)
            continue;
        ++tracks;
        if (file.streams[i] == &m_Source.Stream())
            position = tracks;
    }
    if (tracks < 2)
        return "";
    std::string name = "track " + std::to_string(position) + " of " + std::to_string(tracks), about;
    for (const char* key : {"language", "title"}) {
        const AVDictionaryEntry* entry = av_dict_get(m_Source.Stream().metadata, key, nullptr, 0);
        if (entry && *entry->value)
            about += (about.empty() ? "" : ", ") + std::string(entry->value);
    }
    return about.empty() ? name : name + " (" + about + ")";
}

void SoundJudge::Compare(double origin, double time, double seconds, tContentReadBack& content)
{
    const AVChannelLayout& layout = m_Output.Stream().codecpar->ch_layout;
    int rate = m_Output.Stream().codecpar->sample_rate;
    int samples = int(seconds * rate), lag = int(leeway * rate);
    if (rate < 1 || samples < 1)
        return;
    Channels out = Collect(m_Output, origin + time, samples, layout);
    Channels ref = Collect(m_Source, m_SourceOrigin + time - leeway, samples + 2 * lag, layout);
    if (out.empty() || ref.size() != out.size())
        return;
    content.bSoundCompared = true;
    content.iWrongChannel = -1;
    for (size_t channel = 0; channel < out.size() && content.iWrongChannel < 0; ++channel)
        if (BestMatch(out[channel], ref[channel], lag) < lowestMatch)
            content.iWrongChannel = int(channel);
}

// `samples` per channel from `from` (seconds on the file's time line),
// resampled to the output's rate and mixed to `layout`; silence where the
// sound has not begun; empty when it ends before.
SoundJudge::Channels SoundJudge::Collect(FileDecoder& file, double from, int samples, const AVChannelLayout& layout)
{
    int rate = m_Output.Stream().codecpar->sample_rate;
    Channels channels;
    ffmpeg::SwrPtr mixer;
    std::vector<float> block;
    int64_t skip = 0;
    file.DecodeFrom(from - 0.2, [&](const AVFrame& frame, double at) {
        if (!mixer) {
            AVChannelLayout in{};
            LayoutOf(frame, in);
            SwrContext* context = nullptr;
            int made = swr_alloc_set_opts2(&context, const_cast<AVChannelLayout*>(&layout), AV_SAMPLE_FMT_FLT, rate, &in,
                                           AVSampleFormat(frame.format), frame.sample_rate, 0, nullptr);
            av_channel_layout_uninit(&in);
            mixer.reset(context);
            if (made < 0 || swr_init(context) < 0)
                return false;
            channels.assign(layout.nb_channels, {});
            skip = std::llround((from - at) * rate);
            for (auto& channel : channels)
                channel.assign(size_t(std::max<int64_t>(-skip, 0)), 0.0f);
            skip = std::max<int64_t>(skip, 0);
        }
        int room = swr_get_out_samples(mixer.get(), frame.nb_samples);
        block.resize(size_t(std::max(room, 0)) * layout.nb_channels);
        uint8_t* to = reinterpret_cast<uint8_t*>(block.data());
        int got = swr_convert(mixer.get(), &to, room, const_cast<const uint8_t**>(frame.extended_data),
                              frame.nb_samples);
        for (int i = 0; i < got; ++i, --skip)
            for (size_t c = 0; skip <= 0 && c < channels.size(); ++c)
                channels[c].push_back(block[size_t(i) * channels.size() + c]);
        return channels.empty() || int(channels[0].size()) < samples;
    });
    if (channels.empty() || int(channels[0].size()) < samples)
        return {};
    for (auto& channel : channels)
        channel.resize(samples);
    return channels;
}
