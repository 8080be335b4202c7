#pragma once
#include <string>

namespace testsupport {

// A file made by make_media.sh for the tests.
std::string MediaPath(const std::string& name);

// A path in this test program's own output folder; any old file there is removed.
std::string OutputPath(const std::string& name);

// A program built into the tools folder (tellavox-export, tellavox-grab).
std::string ToolPath(const std::string& name);

}  // namespace testsupport
