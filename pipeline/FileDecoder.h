#pragma once
// One stream of a media file, decoded from any time on: a small, separate
// reader for judging what an export wrote against its source, so that the
// judge shares no code with the export it judges but FFmpeg's own.
#include <functional>

#include "media/FFmpegPtr.h"

class FileDecoder {
public:
    // The stream `streamIndex` of the file, or its best stream of `type`
    // when the index is negative. IsOpen() tells whether it can be decoded.
    FileDecoder(const char* fileName, AVMediaType type, int streamIndex = -1);

    bool IsOpen() const { return m_Decoder != nullptr; }
    const AVStream& Stream() const { return *m_File->streams[m_Index]; }
    const AVFormatContext& File() const { return *m_File; }
    // Seconds on the file's own time line where its media begin.
    double StartTime() const;

    // Seeks to the key frame at or before `time` (seconds on the file's time
    // line) and hands each decoded frame with its time to `take` until it
    // returns false or the stream ends.
    using Taker = std::function<bool(const AVFrame& frame, double time)>;
    void DecodeFrom(double time, const Taker& take);

private:
    void Seek(double time);
    void Decode(const Taker& take);
    bool Send(const AVPacket& packet, const Taker& take);
    bool Deliver(const Taker& take);
    double Seconds(int64_t timestamp) const;

    ffmpeg::InputContextPtr m_File;
    int m_Index = -1;
    ffmpeg::CodecContextPtr m_Decoder;
    ffmpeg::FramePtr m_Frame;
    double m_SkipBefore = 0.0;
};
