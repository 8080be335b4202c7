#pragma once
// A failure of an FFmpeg call: the constant message, and FFmpeg's own error
// code with its text, so that the reason a user is shown says what FFmpeg
// found ("Invalid data found when processing input").
#include <stdexcept>

class MediaError : public std::runtime_error {
public:
    MediaError(const char* message, int code);

    const char* Message() const { return m_Message; }
    int Code() const { return m_Code; }

private:
    const char* m_Message;
    int m_Code;
};

// Any output that cannot be opened with its settings says so.
inline constexpr const char* cantCreateOutput = "Can't create output stream with this parameters.";

// Throws MediaError when `code` is an FFmpeg error (below zero); returns it otherwise.
int CheckMedia(int code, const char* message);

// Throws the failure to write an output: "The disk is full." when FFmpeg's
// code says so, `message` with the code when there is one, `message` alone
// otherwise.
[[noreturn]] void ThrowOutputFailure(int code, const char* message);
