// libFuzzer target: any bytes as an input file, opened, decoded to the end
// and sought into. Built with -DTELLAVOX_FUZZ=ON by clang.
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "support/ReadThrough.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = "/dev/shm/tellavox-fuzz-" + std::to_string(getpid());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    if (!testsupport::ReadThrough(path.c_str()))
        __builtin_trap();  // a read that does not end is a finding too
    return 0;
}
