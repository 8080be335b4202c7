// Files that are not good media: each one gives an opening message or is
// read, decoded and sought to a clean end, whichever streams are chosen.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "media/InputStream.h"
#include "support/ReadThrough.h"
#include "support/TestMedia.h"

TEST(BadInput, EachFileGivesAnOpeningMessageOrACleanEnd)
{
    const std::set<std::string> openingMessages = {
        "Can't open input file.", "Can't read information about stream.",
        "Input file is empty, can't find audio or video streams. Or all streams is skipped.",
        "Input file is empty, can't find supported audio or video streams. Or all streams is skipped.",
        "This file has no video.", "Can't decode the sound of this file."};
    for (const char* name : {"no such file.mp4", "empty.mp4", "random.mp4", "text.avi", "truncated.mp4",
                             "truncated.avi", "truncated.ts"}) {
        for (int choice = 0; choice < 3; ++choice) {
            SCOPED_TRACE(std::string(name) + " choice " + std::to_string(choice));
            try {
                InputStream input(testsupport::MediaPath(name).c_str(), choice == 1, choice == 2);
                EXPECT_TRUE(testsupport::DecodeAll(input));
                EXPECT_TRUE(input.IsAllMediaEnded());
                // Seeking an ended damaged file must not hang either.
                input.SeekAccurate(input.GetStartTime() + 1.0);
                EXPECT_TRUE(testsupport::DecodeAll(input));
            } catch (const char* message) {
                EXPECT_EQ(openingMessages.count(message), 1u) << message;
            }
        }
    }
}
