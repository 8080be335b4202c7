#include "pipeline/PendingOutput.h"

#include <cerrno>
#include <cstdio>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Added to the name for the hidden file: "." before, ".XXXXXXXX.part" after.
const size_t hiddenNameExtra = 15;

// The folder part of a path, with its final slash ("" for the current folder).
std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The longest name the output's folder takes; 255 when it cannot be told.
size_t LongestName(const std::string& outputName)
{
    std::string folder = FolderOf(outputName);
    long longest = pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return longest > 0 ? size_t(longest) : 255;
}

}  // namespace

PendingOutput::PendingOutput(const std::string& outputName)
    : m_Target(outputName)
{
    // The output's name, shortened so that the hidden name fits the folder.
    std::string name = NameOf(outputName).substr(0, LongestName(outputName) - hiddenNameExtra);
    std::random_device random;
    // Hidden, and new: O_EXCL never opens a file that is already there.
    for (int attempt = 0; attempt < 100; ++attempt) {
        char tag[16];
        std::snprintf(tag, sizeof tag, "%08x", unsigned(random()));
        std::string path = FolderOf(outputName) + "." + name + "." + tag + ".part";
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

void PendingOutput::CheckTarget(const std::string& outputName)
{
    // A symbolic link is replaced itself, never what it points to.
    struct stat target;
    if (lstat(outputName.c_str(), &target) == 0 && !S_ISREG(target.st_mode) && !S_ISLNK(target.st_mode))
        throw "The output is not a regular file.";
    if (NameOf(outputName).size() > LongestName(outputName))
        throw "The output file name is too long.";
}

void PendingOutput::Commit()
{
    if (m_Committed)
        return;
    CheckTarget(m_Target);  // what appeared under the name meanwhile is not replaced either
    if (std::rename(m_Path.c_str(), m_Target.c_str()) != 0)
        throw "Can't replace the output file.";
    m_Committed = true;
}
