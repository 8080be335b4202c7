#include "pipeline/SoundOutput.h"

#include <algorithm>
#include <vector>

SoundOutput::SoundOutput(int sampleRate, int channels)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        throw "Can't open sound output.";
    SDL_AudioSpec wanted{};
    wanted.freq = sampleRate > 0 ? sampleRate : 48000;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = Uint8(std::clamp(channels, 1, 2));
    wanted.samples = 1024;
    m_Device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &m_Spec, 0);
    if (m_Device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        throw "Can't open sound output.";
    }
    m_IdleSince = std::chrono::steady_clock::now();
}

SoundOutput::~SoundOutput()
{
    SDL_CloseAudioDevice(m_Device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SoundOutput::Begin(double time)
{
    ForgetWake();
    SDL_PauseAudioDevice(m_Device, 1);
    SDL_ClearQueuedAudio(m_Device);
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Start = time;
    m_Queued = 0;
    m_Idle = true;
    m_IdleFrom = time;
    m_IdleSince = std::chrono::steady_clock::now();
    SDL_PauseAudioDevice(m_Device, 0);
}

void SoundOutput::End()
{
    SDL_PauseAudioDevice(m_Device, 1);
    SDL_ClearQueuedAudio(m_Device);
}

// Seconds of sound the device has taken since Begin.
double SoundOutput::Played() const
{
    int64_t waiting = SDL_GetQueuedAudioSize(m_Device) / (sizeof(float) * m_Spec.channels);
    return double(m_Queued - waiting) / m_Spec.freq;
}

double SoundOutput::Now()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return NowLocked();
}

double SoundOutput::NowLocked()
{
    auto now = std::chrono::steady_clock::now();
    if (SDL_GetQueuedAudioSize(m_Device) > 0) {
        m_Idle = false;
        return m_Start + Played();
    }
    if (!m_Idle) {
        m_Idle = true;
        m_IdleFrom = m_Start + Played();
        m_IdleSince = now;
    }
    return m_IdleFrom + std::chrono::duration<double>(now - m_IdleSince).count();
}

bool SoundOutput::Prepare(const AVFrame& sound)
{
    if (m_Swr && sound.format == m_InFormat && sound.sample_rate == m_InRate)
        return true;
    AVChannelLayout out{};
    av_channel_layout_default(&out, m_Spec.channels);
    AVChannelLayout in{};
    if (av_channel_layout_copy(&in, &sound.ch_layout) < 0 || in.order == AV_CHANNEL_ORDER_UNSPEC) {
        av_channel_layout_uninit(&in);
        av_channel_layout_default(&in, sound.ch_layout.nb_channels);
    }
    SwrContext* swr = nullptr;
    int made = swr_alloc_set_opts2(&swr, &out, AV_SAMPLE_FMT_FLT, m_Spec.freq, &in, AVSampleFormat(sound.format),
                                   sound.sample_rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    m_Swr.reset(swr);
    if (made < 0 || swr_init(swr) < 0) {
        m_Swr.reset();
        return false;
    }
    m_InFormat = sound.format;
    m_InRate = sound.sample_rate;
    return true;
}

void SoundOutput::PutSound(const AVFrame& sound, double time)
{
    if (!Prepare(sound))
        return;
    int room = swr_get_out_samples(m_Swr.get(), sound.nb_samples);
    if (room <= 0)
        return;
    std::vector<float> samples(size_t(room) * m_Spec.channels);
    uint8_t* out = reinterpret_cast<uint8_t*>(samples.data());
    int made = swr_convert(m_Swr.get(), &out, room, const_cast<const uint8_t**>(sound.extended_data), sound.nb_samples);
    if (made <= 0)
        return;
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (SDL_GetQueuedAudioSize(m_Device) == 0) {
        // The sound starts, or comes again after the device ran dry: sound
        // already late is left out, and the clock goes on from this sound.
        if (time + double(made) / m_Spec.freq < NowLocked())
            return;
        m_Start = time;
        m_Queued = 0;
    }
    SDL_QueueAudio(m_Device, out, Uint32(made * sizeof(float) * m_Spec.channels));
    m_Queued += made;
}
