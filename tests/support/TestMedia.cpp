#include "support/TestMedia.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

std::string MediaPath(const std::string& name)
{
    return std::string(TELLAVOX_TEST_MEDIA_DIR) + "/" + name;
}

std::string OutputPath(const std::string& name)
{
    // One folder per process, so test programs run side by side without clashes.
    static const std::string dir = [] {
        std::string root = TELLAVOX_TEST_OUTPUT_DIR;
        mkdir(root.c_str(), 0755);
        std::string d = root + "/" + std::to_string(getpid());
        mkdir(d.c_str(), 0755);
        return d;
    }();
    std::string path = dir + "/" + name;
    std::remove(path.c_str());
    return path;
}

std::string ToolPath(const std::string& name)
{
    return std::string(TELLAVOX_TOOLS_DIR) + "/" + name;
}

}  // namespace testsupport
