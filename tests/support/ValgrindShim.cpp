// Preloaded into the programs that run under valgrind. A library that
// FFmpeg's decoders pull in (libhwy, through libjxl) times its clock with
// RDTSCP as it loads; valgrind refuses that instruction on processors whose
// CPUID does not announce it, though they run it. This stands in for that
// measurement, which nothing of ours uses.
#include <cstdint>

namespace hwy::platform {
uint64_t TimerResolution() { return 1; }
}  // namespace hwy::platform
