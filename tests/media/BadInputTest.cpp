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

class BadInputTest : public testing::TestWithParam<const char*> {};

TEST_P(BadInputTest, GivesAConstructorMessageOrACleanEnd)
{
    const std::string name = GetParam();
    // A missing file and a file without a byte cannot even be opened.
    const bool unopenable = name == "no such file.mp4" || name == "empty.mp4";
    for (int choice = 0; choice < 3; ++choice) {
        std::unique_ptr<InputStream> input;
        try {
            input = std::make_unique<InputStream>(testsupport::MediaPath(name).c_str(),
                                                  choice == 1, choice == 2);
        } catch (const char* message) {
            if (unopenable)
                EXPECT_STREQ(message, "Can't open input file.");
            else
                EXPECT_EQ(kConstructorMessages.count(message), 1u) << message;
            continue;
        }
        ASSERT_FALSE(unopenable);
        DecodeToTheEnd(*input);
        // Seeking an ended damaged file must not hang either.
        input->SeekAccurate(input->GetStartTime() + 1.0);
        DecodeToTheEnd(*input);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, BadInputTest,
                         testing::Values("no such file.mp4", "empty.mp4", "random.mp4", "text.avi",
                                         "truncated.mp4", "truncated.avi", "truncated.ts"));
