// File-name and time helpers.
#include <gtest/gtest.h>

#include <climits>
#include <utility>

#include <wx/filefn.h>

#include "helpers/Helpers.h"

TEST(FileExtension, UnknownOutputsHaveNone)
{
    for (int codec : {OUTPUT_CODEC_COUNT, -1, 1000})
        EXPECT_EQ(GetFileExtFromCodecID(enumOutputCodec(codec)), "") << codec;
}

TEST(FrameRateText, ShowsUpToTwoDecimalsWithoutTrailingZeros)
{
    const std::pair<double, const char*> rates[] = {
        {25.0, "25"}, {30000.0 / 1001, "29.97"}, {24000.0 / 1001, "23.98"}, {12.5, "12.5"}, {100.0, "100"}};
    for (const auto& [rate, text] : rates)
        EXPECT_EQ(FrameRateText(rate), text) << rate;
}

// Only the file name's own '.' counts: a dot in a folder name is not an
// extension, and replacing one must never cut the path inside a folder.
TEST(FileExtension, TheFileNamesLastExtensionIsReplacedOrOneIsAdded)
{
    const struct {
        const char *path, *ext;
        bool hasExtension;
        const char* replaced;
    } cases[] = {
        {"/v/clip.avi", "mp4", true, "/v/clip.mp4"},
        {"/v/clip", "mp4", false, "/v/clip.mp4"},
        {"/v/clip.old.avi", "mp4", true, "/v/clip.old.mp4"},
        {"clip.avi", "flv", true, "clip.flv"},
        {"/my.folder/clip", "mp4", false, "/my.folder/clip.mp4"},
        {"/a.b/c.d/clip", "3gp", false, "/a.b/c.d/clip.3gp"},
        {"/v/n\u00e9v.avi", "mp4", true, "/v/n\u00e9v.mp4"},
        {"", "mp4", false, ".mp4"},
    };
    for (const auto& c : cases) {
        wxString path = wxString::FromUTF8(c.path);
        EXPECT_EQ(IsExtExist(path), c.hasExtension) << c.path;
        EXPECT_EQ(ReplaceFileExt(path, c.ext), wxString::FromUTF8(c.replaced)) << c.path;
    }
}

TEST(DurationText, TenthsBelowAMinuteThenMinutesAndHoursWithTwoDigitSeconds)
{
    const std::pair<long long, const char*> cases[] = {
        {0, "0.0s"}, {49, "0.0s"}, {50, "0.1s"}, {4900, "4.9s"}, {4960, "5.0s"}, {30000, "30.0s"},
        {59949, "59.9s"}, {59950, "1m 00s"}, {65000, "1m 05s"}, {3599499, "59m 59s"},
        {3723500, "1h 02m 04s"}, {-61000, "-1m 01s"}, {-400, "-0.4s"},
        {3000000LL * 3600 * 1000, "3000000h 00m 00s"},  // beyond what 32 bits hold
        {LLONG_MIN, "-2562047788015h 12m 56s"},
    };
    for (auto [ms, text] : cases)
        EXPECT_EQ(msToString(ms), text) << ms;
}

TEST(InputChooser, AllSupportedFilesMatchesEveryReadableContainerInEitherCase)
{
    wxString wildcard = InputFileWildcard();
    EXPECT_TRUE(wildcard.StartsWith("All supported files|"));
    EXPECT_TRUE(wildcard.EndsWith("|All files (*.*)|*.*"));
    const wxArrayString patterns = wxSplit(wildcard.AfterFirst('|').BeforeFirst('|'), ';');
    for (const char* ext : {"ts", "m2ts", "mts", "m4v", "webm", "mkv", "ogv", "3gp", "3g2", "flv",
                            "vob", "mpg", "mpeg", "mov", "avi", "wmv", "mp4"}) {
        EXPECT_NE(patterns.Index(wxString("*.") + ext, true), wxNOT_FOUND) << ext;
        EXPECT_NE(patterns.Index((wxString("*.") + ext).Upper(), true), wxNOT_FOUND) << ext;
    }
    for (const wxString& pattern : patterns)
        EXPECT_FALSE(wxMatchWild(pattern, "notes.txt")) << pattern;
}
