#include "pipeline/StreamCopier.h"

#include "media/InputStream.h"
#include "media/StreamCopy.h"

namespace {

// An input without sound gives a copy without sound.
tExportRequest Describe(tCodecParams& params, const wxRect& crop, const char* inputName)
{
    InputStream source(inputName, true, false);
    tInputStreamInfo info = source.GetInfo();
    params.bAudioEnabled = params.bAudioEnabled && !source.GetSoundTracks().empty();
    if (!CanHoldPictures(params.eCodec, CodecByName(info.videoCodec)))
        throw "This output's container can't hold the source's pictures as they are.";
    if (!CanCopyVideo(params, info, {crop.x, crop.y, crop.width, crop.height}))
        throw "The pictures can't be copied: the crop, size or frame rate asked for changes them.";
    tExportRequest request;
    request.source.fileName = inputName;
    request.source.iAudioTrack = params.iAudioTrack;
    request.source.bKeepFields = true;
    request.dFps = info.frameRate;
    return request;
}

}  // namespace

StreamCopier::StreamCopier(const char* inputName, const char* outputName, const tCodecParams& params,
                           const wxRect& crop, double startTime, double endTime)
{
    tCodecParams asked = params;
    m_Request = Describe(asked, crop, inputName);
    m_File = std::make_unique<PendingOutput>(outputName);
    m_Copier = std::make_unique<PacketCopier>(inputName, m_File->GetPath().c_str(), asked, startTime, endTime);
    m_Request.source.dStart = m_Copier->RealStart();
    m_Request.dCopiedFrom = m_Copier->RealStart();
    const AVCodecParameters& video = m_Copier->VideoParameters();
    m_Request.iVideoCodec = video.codec_id;
    m_Request.iWidth = video.width;
    m_Request.iHeight = video.height;
    if (const AVCodecParameters* sound = m_Copier->SoundParameters()) {
        m_Request.bAudio = true;
        m_Request.iAudioCodec = sound->codec_id;
        m_Request.iSampleRate = sound->sample_rate;
        m_Request.iChannels = sound->ch_layout.nb_channels;
    }
}

void StreamCopier::Finish()
{
    m_Copier->Finish();
    m_File->Commit();
}

tExportRequest StreamCopier::Request(bool cancelled) const
{
    tExportRequest request = m_Request;
    request.dRangeSeconds = GetPosition();
    // Copied pictures keep their own times, which a source of varying rate
    // spaces unevenly.
    if (GetPosition() > 0)
        request.dFps = GetPictures() / GetPosition();
    request.bCancelled = cancelled;
    return request;
}
