#include "pipeline/Filmstrip.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iterator>
#include <memory>

#include "media/AVFrameConverter.h"
#include "media/InputStream.h"
#include "media/PictureColour.h"

namespace {

std::unique_ptr<AVFrameConverter> SmallPictures(const InputStream& input, const AVFrame& frame, wxSize fit)
{
    tInputStreamInfo info = input.GetInfo();
    double scale = std::min(double(fit.x) / info.displayWidth, double(fit.y) / info.displayHeight);
    ConvertParams params;
    params.srcWidth = frame.width;
    params.srcHeight = frame.height;
    params.srcPixFmt = frame.format;
    params.dstWidth = std::max(2, int(std::lround(info.displayWidth * scale)));
    params.dstHeight = std::max(2, int(std::lround(info.displayHeight * scale)));
    params.dstPixFmt = AV_PIX_FMT_RGB24;
    params.srcColour = PictureColour::Shown(info);
    params.dstColour = params.srcColour;
    params.dstColour.range = AVCOL_RANGE_JPEG;
    return std::make_unique<AVFrameConverter>(params);
}

// Key frames follow the places in order: a place between two places that
// found the same key frame finds it too, and needs no decoding.
bool LiesBetweenPlacesOfOneKeyFrame(const std::map<double, double>& keyOf, double place)
{
    auto after = keyOf.upper_bound(place);
    return after != keyOf.end() && after != keyOf.begin() && std::prev(after)->second == after->second;
}

ffmpeg::FramePtr FirstPicture(InputStream& input, const std::atomic<bool>& stop)
{
    while (!stop && !input.IsVideoEnded()) {
        if (ffmpeg::FramePtr frame = input.DecodeNextVideoFrame())
            return frame;
    }
    return nullptr;
}

}  // namespace

Filmstrip::Filmstrip(const std::string& fileName, Listener listener, int places, wxSize size)
    : m_FileName(fileName), m_Listener(std::move(listener)), m_Places(std::max(1, places)), m_Size(size)
{
    m_Worker = std::thread(&Filmstrip::Run, this);
}

Filmstrip::~Filmstrip()
{
    m_Stop = true;
    m_Worker.join();
}

size_t Filmstrip::Count() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Pictures.size();
}

bool Filmstrip::Nearest(double time, double& at) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_Pictures.empty())
        return false;
    auto after = m_Pictures.lower_bound(time);
    if (after == m_Pictures.end() || (after != m_Pictures.begin() && time - std::prev(after)->first < after->first - time))
        --after;
    at = after->first;
    return true;
}

wxImage Filmstrip::Picture(double at) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    auto found = m_Pictures.find(at);
    if (found == m_Pictures.end())
        return wxImage();
    const Pixels& pixels = found->second;
    auto* copy = static_cast<unsigned char*>(std::malloc(pixels.rgb.size()));
    if (!copy)
        return wxImage();
    std::memcpy(copy, pixels.rgb.data(), pixels.rgb.size());
    return wxImage(pixels.size.x, pixels.size.y, copy, false);
}

// Evenly spread places, every eighth first, then every fourth, and so on.
std::vector<double> Filmstrip::Places(double duration) const
{
    std::vector<double> places;
    std::vector<bool> taken(m_Places, false);
    for (int step = 8; step >= 1; step /= 2) {
        for (int i = 0; i < m_Places; i += step) {
            if (!taken[i])
                places.push_back(duration * (i + 0.5) / m_Places);
            taken[i] = true;
        }
    }
    return places;
}

void Filmstrip::Run()
{
    try {
        InputStream input(m_FileName.c_str(), true, false);
        std::unique_ptr<AVFrameConverter> converter;
        std::map<double, double> keyOf;  // place -> the time of the key frame found for it
        for (double place : Places(input.GetDuration())) {
            if (m_Stop)
                break;
            if (LiesBetweenPlacesOfOneKeyFrame(keyOf, place))
                continue;
            if (m_Listener.beforePicture)
                m_Listener.beforePicture();
            // A coarse seek lands on the key frame before the place: that picture is the one shown.
            if (!input.Seek(input.GetStartTime() + place))
                continue;
            ffmpeg::FramePtr frame = FirstPicture(input, m_Stop);
            if (!frame)
                continue;
            double at = input.GetPictureTime(*frame) - input.GetStartTime();
            keyOf[place] = at;
            if (!converter)
                converter = SmallPictures(input, *frame, m_Size);
            ffmpeg::FramePtr rgb = converter->Convert(*frame);
            if (!rgb)
                continue;
            Pixels pixels{wxSize(rgb->width, rgb->height), {}};
            size_t rowBytes = size_t(rgb->width) * 3;
            pixels.rgb.resize(rowBytes * rgb->height);
            for (int y = 0; y < rgb->height; ++y)
                std::memcpy(pixels.rgb.data() + y * rowBytes, rgb->data[0] + ptrdiff_t(y) * rgb->linesize[0], rowBytes);
            {
                std::lock_guard<std::mutex> lock(m_Mutex);
                if (!m_Pictures.emplace(at, std::move(pixels)).second)
                    continue;  // the same key frame as a place before
            }
            if (m_Listener.pictureAdded)
                m_Listener.pictureAdded();
        }
    } catch (const char*) {
        // A file that cannot be read gives the pictures made so far.
    } catch (const std::exception&) {
        // So does one that runs out of memory.
    }
    if (m_Listener.finished)
        m_Listener.finished();
}
