// File-name and time helpers.
#include <gtest/gtest.h>

#include "ui/Helpers.h"

TEST(FileExtension, EachOutputCodecHasItsExtensionAndUnknownValuesNone)
{
    const char* expected[] = {"mp4", "3gp", "3g2", "mpg", "m2v", "vob", "psp", "mov", "swf", "flv"};
    for (int codec = 0; codec < 10; ++codec)
        EXPECT_EQ(GetFileExtFromCodecID(enumOutputCodec(codec)), expected[codec]) << "codec " << codec;
    EXPECT_EQ(GetFileExtFromCodecID(enumOutputCodec(10)), "");
    EXPECT_EQ(GetFileExtFromCodecID(enumOutputCodec(-1)), "");
    EXPECT_EQ(GetFileExtFromCodecID(enumOutputCodec(1000)), "");
}

// Only the file name's own '.' counts: a dot in a folder name is not an
// extension, and replacing one must never cut the path inside a folder.
TEST(FileExtension, DotsInFolderNamesAreNotExtensions)
{
    EXPECT_FALSE(IsExtExist("/my.folder/clip"));
    EXPECT_EQ(ReplaceFileExt("/my.folder/clip", "mp4"), "/my.folder/clip.mp4");
    EXPECT_TRUE(IsExtExist("/my.folder/clip.avi"));
    EXPECT_EQ(ReplaceFileExt("/my.folder/clip.avi", "mp4"), "/my.folder/clip.mp4");
    EXPECT_EQ(ReplaceFileExt("/a.b/c.d/clip", "3gp"), "/a.b/c.d/clip.3gp");
}

TEST(FileExtension, TheLastExtensionIsReplacedOrOneIsAdded)
{
    EXPECT_TRUE(IsExtExist("/v/clip.avi"));
    EXPECT_FALSE(IsExtExist("/v/clip"));
    EXPECT_TRUE(IsExtExist("clip.avi"));
    EXPECT_FALSE(IsExtExist(""));
    EXPECT_EQ(ReplaceFileExt("/v/clip.avi", "mp4"), "/v/clip.mp4");
    EXPECT_EQ(ReplaceFileExt("/v/clip", "mp4"), "/v/clip.mp4");
    EXPECT_EQ(ReplaceFileExt("/v/clip.old.avi", "mp4"), "/v/clip.old.mp4");
    EXPECT_EQ(ReplaceFileExt("clip.avi", "flv"), "clip.flv");
    EXPECT_EQ(ReplaceFileExt(wxString::FromUTF8("/v/név.avi"), "mp4"), wxString::FromUTF8("/v/név.mp4"));
}

TEST(FileName, APathWithAFolderGivesNothingAndABareNameItself)
{
    EXPECT_EQ(ExtractFileNameFromFullName("/v/clip.mp4"), "");
    EXPECT_EQ(ExtractFileNameFromFullName("v/clip.mp4"), "");
    EXPECT_EQ(ExtractFileNameFromFullName("clip.mp4"), "clip.mp4");
    EXPECT_EQ(ExtractFileNameFromFullName(""), "");
}

TEST(DurationText, HoursMinutesAndSecondsEachEndInABlankAndZeroPartsAreLeftOut)
{
    EXPECT_EQ(msToString(3723500), "1h 2m 3s ");
    EXPECT_EQ(msToString(3600000), "1h ");
    EXPECT_EQ(msToString(3601000), "1h 1s ");
    EXPECT_EQ(msToString(61000), "1m 1s ");
    EXPECT_EQ(msToString(60000), "1m ");
    EXPECT_EQ(msToString(30000), "30s ");
    EXPECT_EQ(msToString(1000), "1s ");
    EXPECT_EQ(msToString(999), "");
    EXPECT_EQ(msToString(0), "");
    EXPECT_EQ(msToString(-61000), "-1m -1s ");
    EXPECT_EQ(msToString(100LL * 3600 * 1000), "100h ");
    // Beyond what 32 bits hold.
    EXPECT_EQ(msToString(3000000LL * 3600 * 1000), "3000000h ");
}
