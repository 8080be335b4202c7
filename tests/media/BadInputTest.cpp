#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "media/InputStream.h"
#include "support/TestMedia.h"

namespace {

const std::set<std::string> kConstructorMessages = {
    "Can't open input file.",
    "Can't read information about stream.",
    "Input file is empty, can't find audio or video streams. Or all streams is skipped.",
    "Input file is empty, can't find supported audio or video streams. Or all streams is skipped.",
};

// Opens the file with the given choice, or returns the constructor's message.
std::unique_ptr<InputStream> TryOpen(const std::string& path, bool skipAudio, bool skipVideo,
                                     std::string& message)
{
    try {
        return std::make_unique<InputStream>(path.c_str(), skipAudio, skipVideo);
    } catch (const char* thrown) {
        message = thrown;
        return nullptr;
    }
}

// Decodes everything; a bounded number of calls must reach the end.
void DecodeToTheEnd(InputStream& input)
{
    std::vector<char> block(8192);
    for (int calls = 0; calls < 100000 && !input.IsAllMediaEnded(); ++calls) {
        if (!input.IsVideoEnded()) {
            AVFrame* frame = input.DecodeNextVideoFrame();
            av_frame_free(&frame);
        }
        if (!input.IsAudioEnded()) input.DecodeNextAudioFrame(block.data(), int(block.size()));
    }
    EXPECT_TRUE(input.IsAllMediaEnded());
}

}  // namespace

TEST(BadInputTest, MissingFileCannotBeOpened)
{
    std::string message;
    EXPECT_FALSE(TryOpen(testsupport::MediaPath("no such file.mp4"), false, false, message));
    EXPECT_EQ(message, "Can't open input file.");
    EXPECT_FALSE(TryOpen(testsupport::MediaPath("empty.mp4"), false, false, message));
    EXPECT_EQ(message, "Can't open input file.");
}

class DamagedFileTest : public testing::TestWithParam<const char*> {};

TEST_P(DamagedFileTest, GivesAConstructorMessageOrACleanEnd)
{
    const std::string path = testsupport::MediaPath(GetParam());
    for (int choice = 0; choice < 3; ++choice) {
        std::string message;
        auto input = TryOpen(path, choice == 1, choice == 2, message);
        if (!input) {
            EXPECT_EQ(kConstructorMessages.count(message), 1u) << message;
            continue;
        }
        DecodeToTheEnd(*input);
        // Seeking an ended damaged file must not hang either.
        input->SeekAccurate(input->GetStartTime() + 1.0);
        DecodeToTheEnd(*input);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedFileTest,
                         testing::Values("random.mp4", "text.avi", "truncated.mp4",
                                         "truncated.avi", "truncated.ts"));
