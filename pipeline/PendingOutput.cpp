#include "pipeline/PendingOutput.h"

#include <cerrno>
#include <cstdio>
#include <random>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The folder part of a path, with its final slash ("" for the current folder).
std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file's name, shortened so that the hidden name stays within the
// length a folder entry may have.
std::string NameOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.substr(0, 200);
}

}  // namespace

PendingOutput::PendingOutput(const std::string& outputName)
    : m_Target(outputName)
{
    std::random_device random;
    // Hidden, and new: O_EXCL never opens a file that is already there.
    for (int attempt = 0; attempt < 100; ++attempt) {
        char tag[16];
        std::snprintf(tag, sizeof tag, "%08x", unsigned(random()));
        std::string path = FolderOf(outputName) + "." + NameOf(outputName) + "." + tag + ".part";
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            close(fd);
            m_Path = path;
            return;
        }
        if (errno != EEXIST)
            break;
    }
    throw "Can't write to the output folder.";
}

PendingOutput::~PendingOutput()
{
    if (!m_Committed)
        std::remove(m_Path.c_str());
}

void PendingOutput::Commit()
{
    if (m_Committed)
        return;
    if (std::rename(m_Path.c_str(), m_Target.c_str()) != 0)
        throw "Can't replace the output file.";
    m_Committed = true;
}
