#pragma once
// An export that copies the source's pictures as they are, its sound
// copied or encoded or left out: the range starts at the key frame at or before its
// start. Written to a hidden file beside the output's name like an encoded
// export; Finish() gives it the output's name. Failures are thrown as
// constant messages (const char*).
#include <memory>

#include <wx/gdicmn.h>

#include "media/CodecParams.h"
#include "media/PacketCopier.h"
#include "pipeline/ExportCheck.h"
#include "pipeline/PendingOutput.h"

class StreamCopier {
public:
    // Refuses what cannot be copied: a container that does not take the
    // source's codecs, a crop, size or rate that changes the pictures.
    StreamCopier(const char* inputName, const char* outputName, const tCodecParams& params, const wxRect& crop,
                 double startTime, double endTime);

    void Copy() { m_Ended = !m_Copier->Copy(); }
    bool IsEnded() const { return m_Ended; }
    // Finishes the file with what was copied and gives it the output's name.
    void Finish();

    double GetPosition() const { return m_Copier->Position(); }
    double GetDuration() const { return m_Copier->RangeEnd() - m_Copier->RealStart(); }
    uint64_t GetPictures() const { return m_Copier->Pictures(); }
    // What the file is to be read back against: the source's codecs and
    // shape, from the key frame on.
    tExportRequest Request(bool cancelled) const;

private:
    tExportRequest m_Request;
    std::unique_ptr<PendingOutput> m_File;
    std::unique_ptr<PacketCopier> m_Copier;
    bool m_Ended = false;
};
