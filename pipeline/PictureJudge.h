#pragma once
// Compares pictures of an export with the source's pictures shown at the
// same times, turned upright, cropped and scaled as the export was asked to,
// each file's pictures turned into RGB by its own colour tags (or, where it
// has none, by what players assume for its size).
#include <memory>
#include <vector>

#include "pipeline/ExportCheck.h"
#include "media/InputStream.h"
#include "pipeline/FileDecoder.h"

class PictureFilter;

class PictureJudge {
public:
    PictureJudge(const tExportSource& source, const char* outputName);
    ~PictureJudge();

    bool IsOpen() const { return m_Source.IsOpen() && m_Output.IsOpen(); }
    // Compares the output's pictures at `times` seconds after `origin`, the
    // output's time of the range's start; fills the picture part of `content`.
    void Compare(double origin, const std::vector<double>& times, tContentReadBack& content);
    // The time (after the range's start) of the source's first key frame at
    // or after `time` and before `end`, or `time` when there is none: a
    // picture that is quick to find.
    double KeyFrameFrom(double time, double end) const;
    // Width over height as shown: of the output, of the source's crop.
    double OutputAspect() const;
    double SourceAspect() const;
    // Whether the output says how its colours are to be read, where its
    // codec or container can say it.
    bool OutputColourTagged() const;

private:
    // The output's picture shown at `target`, and its own time.
    ffmpeg::FramePtr OutputPicture(double target, double& shownSince);
    std::vector<ffmpeg::FramePtr> SourcePictures(double time);
    ffmpeg::FramePtr SourceAsExported(const AVFrame& frame) const;
    ffmpeg::FramePtr CropView(const AVFrame& frame) const;
    int SourceGuess(const AVFrame& frame) const;
    void CropRect(int& x, int& y, int& width, int& height, int pictureWidth, int pictureHeight) const;

    // Takes the source's decoded pictures in order: deinterlaced and
    // tone-mapped as the export shows them, where it does.
    using Consider = std::function<bool(const AVFrame& frame, double time)>;
    void DecodeSourceFrom(double time, const Consider& consider);

    tExportSource m_Request;
    tInputStreamInfo m_SourceInfo;
    FileDecoder m_Source;
    FileDecoder m_Output;
    int m_QuarterTurns = 0;  // the source's, to show it upright
    int m_OutputTurns = 0;   // the output's
    int m_Width = 0;  // the output's picture
    int m_Height = 0;
};
