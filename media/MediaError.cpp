#include "media/MediaError.h"

#include <cerrno>
#include <string>

extern "C" {
#include <libavutil/error.h>
}

namespace {

std::string Describe(const char* message, int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return std::string(message) + " (" + text + ")";
}

}  // namespace

MediaError::MediaError(const char* message, int code)
    : std::runtime_error(Describe(message, code)), m_Message(message), m_Code(code)
{
}

int CheckMedia(int code, const char* message)
{
    if (code < 0) throw MediaError(message, code);
    return code;
}

void ThrowOutputFailure(int code, const char* message)
{
    if (code == AVERROR(ENOSPC))
        throw "The disk is full.";
    if (code < 0)
        throw MediaError(message, code);
    throw message;
}
