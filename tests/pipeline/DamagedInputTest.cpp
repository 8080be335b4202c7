// Damaged copies of small valid files of several containers (bytes flipped,
// runs zeroed, the end cut off): reading and exporting each one ends in a
// result or a clean failure, never in a crash, an abort or a hang.
#include <algorithm>
#include <fstream>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "media/MediaError.h"
#include "support/ExportRecord.h"
#include "support/MediaProbe.h"
#include "support/ReadThrough.h"
#include "support/TestMedia.h"

using namespace testsupport;

namespace {

std::string Damage(std::string bytes, std::mt19937& random)
{
    auto at = [&](size_t size) { return std::uniform_int_distribution<size_t>(0, size - 1)(random); };
    switch (random() % 3) {
    case 0:
        for (int i = 0, n = 1 + random() % 8; i < n; ++i)
            bytes[at(bytes.size())] ^= char(1 << (random() % 8));
        break;
    case 1: {
        size_t start = at(bytes.size());
        bytes.replace(start, std::min<size_t>(16 + random() % 500, bytes.size() - start),
                      std::min<size_t>(16 + random() % 500, bytes.size() - start), '\0');
        break;
    }
    default:
        bytes.resize(at(bytes.size()));
    }
    return bytes;
}

}  // namespace

TEST(DamagedInput, EveryDamagedFileIsReadAndExportedOrRefusedCleanly)
{
    for (const char* seed : {"seed.mp4", "seed.mkv", "seed.webm", "seed.3gp", "seed.avi"}) {
        std::string bytes = ReadFile(MediaPath(seed));
        ASSERT_GT(bytes.size(), 1000u) << seed;
        std::mt19937 random(bytes.size());
        for (int i = 0; i < 20; ++i) {
            std::string name = std::string("damaged_") + std::to_string(i) + "_" + seed;
            SCOPED_TRACE(name);
            std::string path = OutputPath(name);
            std::ofstream(path, std::ios::binary) << Damage(bytes, random);
            EXPECT_TRUE(ReadThrough(path.c_str())) << "reading does not end";
            try {
                tCodecParams params = RecordFor(path);
                params.iFps = std::clamp(params.iFps, 1, 30);
                EXPECT_GE(RunExport(path, OutputPath("damaged_out.mp4"), params), 0) << "the export does not end";
            } catch (const char*) {  // refused cleanly
            } catch (const MediaError&) {
            }
        }
    }
}
