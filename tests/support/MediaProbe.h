#pragma once
// Independent judges for test results: the ffprobe and ffmpeg tools.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace testsupport {

using Fields = std::map<std::string, std::string>;

struct CommandResult {
    int exitCode = -1;
    std::string output;  // standard output (and standard error when merged)
};

// Runs a shell command and captures its standard output.
CommandResult RunCommand(const std::string& command);

// Quotes a path for the shell.
std::string Quote(const std::string& text);

// A file made in this program's output folder by the ffmpeg tool from
// `arguments` (inputs, filters and codecs).
std::string MakeMedia(const std::string& name, const std::string& arguments);

// A file's bytes, and a file as the user sees it: its inode with its bytes.
std::string ReadFile(const std::string& path);
std::pair<unsigned long, std::string> FileIdentity(const std::string& path);

// ffprobe -show_streams: one map of key=value per stream, in stream order.
std::vector<Fields> ProbeStreams(const std::string& file);

// ffprobe -show_format.
Fields ProbeFormat(const std::string& file);

// What `ffmpeg -v error -i FILE -f null -` prints; empty for a clean decode.
std::string DecodeErrors(const std::string& file);

// Decoded pictures of the first video stream (ffprobe -count_frames).
int CountVideoFrames(const std::string& file);

// Length in seconds covered by the packets of a stream ("v:0", "a:0"):
// the end of the last packet minus the start of the first.
double PacketSpan(const std::string& file, const std::string& stream);

// Seconds of sound the first audio stream decodes to (samples / rate).
double DecodedAudioSeconds(const std::string& file);

// One decoded picture as packed RGB24, taken at `seconds` (after the file's
// start), scaled to nothing: width and height are the video's own.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};
Picture DecodePicture(const std::string& file, double seconds);

// The pictures of the first video stream (the first `maxPictures` when that
// is above 0) in display order, none dropped or repeated to match time
// stamps.
std::vector<Picture> DecodeAllPictures(const std::string& file, int maxPictures = 0);

}  // namespace testsupport
