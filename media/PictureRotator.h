#pragma once
// Turns pictures upright by whole quarter turns, as a stream's display
// matrix asks. Works on formats whose every plane holds one byte per pixel
// and whose chroma is subsampled alike in both directions (YUV 4:2:0 and
// 4:4:4, grey, with or without alpha), so a turned picture keeps its format.
#include "media/FFmpegPtr.h"

class PictureRotator {
public:
    // `quarterTurns` clockwise, taken modulo 4.
    explicit PictureRotator(int quarterTurns);

    // Clockwise quarter turns that show the stream as it is meant to be seen
    // (0 without a display matrix or with one that is not a quarter turn).
    static int QuarterTurnsOf(const AVStream& stream);
    static bool CanTurn(AVPixelFormat format);

    int GetQuarterTurns() const { return m_QuarterTurns; }
    bool SwapsSides() const { return m_QuarterTurns % 2 == 1; }
    // A new picture, turned, with the properties of `frame`; null when the
    // format cannot be turned or memory runs out.
    ffmpeg::FramePtr Turn(const AVFrame& frame) const;

private:
    void TurnPlane(const uint8_t* from, int fromPitch, int width, int height, uint8_t* to, int toPitch) const;

    int m_QuarterTurns;
};
