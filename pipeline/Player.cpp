#include "pipeline/Player.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "media/PictureColour.h"
#include "pipeline/SoundOutput.h"
#include "pipeline/WallClock.h"

namespace {

// Sound is decoded this far ahead of the picture waiting to be shown, so
// that the device never runs dry while a picture is decoded.
const double soundLead = 0.3;

std::unique_ptr<PlaybackClock> ClockFor(const InputStream& input)
{
    if (input.IsAudioPresent()) {
        try {
            return std::make_unique<SoundOutput>(input.GetInfo().sampleRate, input.GetInfo().channels);
        } catch (const char*) {
            // No sound device: the pictures play on their own.
        }
    }
    return std::make_unique<WallClock>();
}

// The size shown, made smaller to fit in `fit` with its shape kept.
wxSize FittedSize(const tInputStreamInfo& info, wxSize fit)
{
    double scale = 1.0;
    if (fit.x > 0 && fit.y > 0)
        scale = std::min({1.0, double(fit.x) / info.displayWidth, double(fit.y) / info.displayHeight});
    return wxSize(std::max(2, int(info.displayWidth * scale) & ~1), std::max(2, int(info.displayHeight * scale) & ~1));
}

}  // namespace

Player::Player(const std::string& fileName, Listener listener, wxSize fit, std::unique_ptr<PlaybackClock> clock,
               int soundTrack)
    : m_Input(fileName.c_str(), false, false, soundTrack), m_Listener(std::move(listener)), m_Fit(fit),
      m_Clock(clock ? std::move(clock) : ClockFor(m_Input))
{
    double rate = m_Input.GetInfo().frameRate;
    m_FrameDuration = rate > 0.0 ? 1.0 / rate : 0.04;
}

Player::~Player()
{
    Stop();
}

void Player::Play(double from, double until)
{
    Stop();
    m_Stop = false;
    m_Playing = true;
    m_Worker = std::thread(&Player::Run, this, from, until);
}

void Player::Stop()
{
    m_Stop = true;
    m_Clock->Wake();
    if (m_Worker.joinable())
        m_Worker.join();
    m_Playing = false;
    // A picture not yet taken would move the window back after the stop.
    std::lock_guard<std::mutex> lock(m_PictureMutex);
    m_Picture = wxImage();
}

void Player::SetFit(wxSize fit)
{
    Stop();
    if (fit != m_Fit)
        m_Converter.reset();
    m_Fit = fit;
}

wxImage Player::TakePicture(double& time)
{
    std::lock_guard<std::mutex> lock(m_PictureMutex);
    time = m_PictureTime;
    wxImage picture = m_Picture;
    m_Picture = wxImage();
    return picture;
}

void Player::Run(double from, double until)
{
    bool ended = false;
    try {
        const double start = m_Input.GetStartTime();
        if (m_Input.SeekAccurate(start + from)) {
            m_Clock->Begin(from);
            while (!m_Stop) {
                ffmpeg::FramePtr frame = NextPicture();
                double time = frame ? m_Input.GetPictureTime(*frame) - start : INFINITY;
                if (time >= until - 0.0005) {
                    ended = true;
                    break;
                }
                m_LastTime = time;
                FeedSound(time + soundLead);
                Show(*frame, time);
            }
        }
    } catch (const char*) {
        ended = true;  // a damaged clip plays up to where it can be decoded
    } catch (const std::exception&) {
        ended = true;  // out of memory: playing stops, the window goes on
    }
    m_Clock->End();
    m_Playing = false;
    if (ended && !m_Stop && m_Listener.ended)
        m_Listener.ended();
}

ffmpeg::FramePtr Player::NextPicture()
{
    while (!m_Stop && !m_Input.IsVideoEnded()) {
        if (ffmpeg::FramePtr frame = m_Input.DecodeNextVideoFrame())
            return frame;
    }
    return nullptr;
}

void Player::FeedSound(double upTo)
{
    if (!m_Clock->TakesSound() || !m_Input.IsAudioPresent())
        return;
    const double start = m_Input.GetStartTime();
    while (!m_Stop && !m_Input.IsAudioEnded()) {
        double next = m_Input.GetNextAudioTime();
        if (!std::isnan(next) && next - start >= upTo)
            return;
        ffmpeg::FramePtr sound = m_Input.DecodeNextAudioFrame();
        if (!sound)
            return;
        double end = m_Input.GetNextAudioTime() - start;
        m_Clock->PutSound(*sound, end - double(sound->nb_samples) / sound->sample_rate);
    }
}

// A picture later than a frame is dropped; one that would be shown late
// would hold back every picture after it.
void Player::Show(const AVFrame& frame, double time)
{
    if (IsLate(time))
        return;
    m_Clock->WaitUntil(time);
    if (m_Stop || IsLate(time))
        return;
    wxSize size;
    unsigned char* pixels = ToPixels(frame, size);
    if (!pixels)
        return;
    bool wasEmpty;
    {
        // wxImage counts its references without locking: the image is made
        // and handed over under the lock only.
        std::lock_guard<std::mutex> lock(m_PictureMutex);
        wasEmpty = !m_Picture.IsOk();
        m_Picture.Create(size.x, size.y, pixels, false);
        m_PictureTime = time;
    }
    ++m_Shown;
    if (wasEmpty && m_Listener.pictureReady)
        m_Listener.pictureReady();
}

bool Player::IsLate(double time)
{
    if (m_Clock->Now() <= time + m_FrameDuration + 1e-6)
        return false;
    ++m_Dropped;
    return true;
}

// The picture in 24-bit RGB, in memory that a wxImage can take over.
unsigned char* Player::ToPixels(const AVFrame& frame, wxSize& size)
{
    if (!m_Converter) {
        tInputStreamInfo info = m_Input.GetInfo();
        wxSize fitted = FittedSize(info, m_Fit);
        m_Converter = std::make_unique<AVFrameConverter>(PictureColour::ToShownRgb(frame, info, fitted.x, fitted.y));
    }
    ffmpeg::FramePtr rgb = m_Converter->Convert(frame);
    if (!rgb)
        return nullptr;
    size_t rowBytes = size_t(rgb->width) * 3;
    auto* pixels = static_cast<unsigned char*>(std::malloc(rowBytes * rgb->height));
    if (!pixels)
        return nullptr;
    for (int y = 0; y < rgb->height; ++y)
        std::memcpy(pixels + y * rowBytes, rgb->data[0] + ptrdiff_t(y) * rgb->linesize[0], rowBytes);
    size = wxSize(rgb->width, rgb->height);
    return pixels;
}
