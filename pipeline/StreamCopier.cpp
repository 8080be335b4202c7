#include "pipeline/StreamCopier.h"

#include "media/InputStream.h"
#include "media/StreamCopy.h"

namespace {

tExportRequest Describe(const tCodecParams& params, const wxRect& crop, const char* inputName)
{
    InputStream source(inputName, true, false);
    tInputStreamInfo info = source.GetInfo();
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
    bool withSound = params.bAudioEnabled;
    if (withSound && params.eSoundCodec != SC_COPY)
        throw "Copied pictures go with copied sound or none.";
    m_File = std::make_unique<PendingOutput>(outputName);
    m_Copier = std::make_unique<PacketCopier>(inputName, m_File->GetPath().c_str(), params.eCodec, withSound,
                                              params.iAudioTrack, startTime, endTime);
    m_Request = Describe(params, crop, inputName);
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
    request.bCancelled = cancelled;
    return request;
}
