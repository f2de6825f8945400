// The real viewer (Wine's null driver) on input far past what a user would
// give it: settings files of random bytes, of 10 MB, with 5,000-character
// texts and numbers past the ends of their range; the longest command-line
// tail the system passes; a drop of 2,000 files; a folder of 20,000 documents.
// Each must leave a program that shows its window, works and closes with a
// complete settings file.

#include "tests/app/ViewerSession.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/support/SettingsKeys.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using viewer::Session;

using settingskeys::EveryKey;
using settingskeys::kNumbers;
using settingskeys::kTexts;

std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& b : bytes)
        b = char(random());
    return bytes;
}

// What the program wrote at close: its 26 lines and the file last shown in
// the folder it listed (RecFile1), every text within its room.
void ExpectCompleteSettings(const std::optional<std::string>& written) {
    ASSERT_TRUE(written.has_value());
    const viewer::Lines lines = viewer::LinesOf(*written);
    ASSERT_EQ(lines.size(), 27u);
    EXPECT_FALSE(viewer::ValueOf(*written, "RecFile1").empty());
    EXPECT_EQ(lines[0], "[Tessaven]");
    for (const char* key : kTexts) {
        const size_t room = std::string(key).compare(0, 6, "RecDir") == 0 ? 500 : 511;
        EXPECT_LE(viewer::ValueOf(*written, key).size(), room) << key;
    }
}

TEST(ViewerLimits, HostileSettingsFilesStillGiveAWorkingWindow) {
    viewer::DocFolder docs;
    docs.Qvm("a.qvm", 30, 20, 1);
    docs.Qvm("b.qvm", 40, 10, 2);
    std::string tenMegabytes = "[Tessaven]\r\n";
    while (tenMegabytes.size() < 10 * 1024 * 1024)
        tenMegabytes += std::string(1000, 'j') + "\r\n";
    tenMegabytes += "Scale=200\r\n";
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"random bytes", RandomBytes(64 * 1024, 1)},
        {"random bytes after the section", "[Tessaven]\r\n" + RandomBytes(64 * 1024, 2)},
        {"10 MB", tenMegabytes},
        {"5,000-character texts", EveryKey(kTexts, std::string(5000, 'x'))},
        {"5,000 double-byte bytes", EveryKey(kTexts, std::string(2500 * 2, '\x95'))},
        {"smallest numbers", EveryKey(kNumbers, "-2147483648")},
        {"largest numbers", EveryKey(kNumbers, "2147483647")},
        {"numbers past 32 bits", EveryKey(kNumbers, "-99999999999")},
        {"5,000-digit numbers", EveryKey(kNumbers, std::string(5000, '9'))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session viewer;
        ASSERT_TRUE(viewer.WriteSettings(c.bytes));
        ASSERT_TRUE(viewer.Start("\"" + docs.Path() + "\""));
        EXPECT_TRUE(IsWindowVisible(viewer.main));
        EXPECT_FALSE(IsIconic(viewer.main));
        EXPECT_TRUE(viewer.NoBox());
        EXPECT_EQ(viewer.TitleNow(), viewer::Title(30, 20, "a.qvm"));
        ASSERT_TRUE(viewer.Post(viewer::kNext));
        EXPECT_EQ(viewer.TitleNow(), viewer::Title(40, 10, "b.qvm"));
        ASSERT_TRUE(viewer.Post(viewer::kExtend));
        EXPECT_TRUE(viewer.NoBox());
        EXPECT_EQ(viewer.Close(), 0u);
        ExpectCompleteSettings(viewer.ReadSettings());
    }
}

// The system refuses to start a process with a command line of more than
// 32,767 characters, so a tail of 40,000 never reaches the program: the
// longest tails it can get are tried instead.
TEST(ViewerLimits, CommandLineTailAsLongAsTheSystemAllowsIsIgnored) {
    constexpr size_t kLongest = 32000; // leaves room for the program's own path
    for (const std::string& tail : {std::string(kLongest, 'a'), "\"" + std::string(kLongest - 2, 'b') + "\"",
                                    "C:\\" + std::string(kLongest - 3, '\\')}) {
        Session viewer;
        ASSERT_TRUE(viewer.Start(tail));
        EXPECT_TRUE(viewer.NoBox());
        EXPECT_EQ(viewer.TitleNow(), "Tessavel");
        EXPECT_TRUE(viewer.Items().empty());
        EXPECT_EQ(viewer.Close(), 0u);
    }
}

TEST(ViewerLimits, DropOfTwoThousandFilesListsEachOnce) {
    viewer::DocFolder docs;
    const std::vector<std::string> paths = docs.Copies(docs.Path(), 2000);
    Session viewer;
    ASSERT_TRUE(viewer.Start());
    ASSERT_TRUE(viewer.Drop(paths));
    EXPECT_EQ(e2e::ListCount(viewer.list), 2000);
    EXPECT_EQ(viewer.Selection(), 0);
    EXPECT_EQ(viewer.TitleNow(), viewer::Title(4, 3, "doc00000.qvm"));
    EXPECT_EQ(e2e::ListText(viewer.list, 1999), "doc01999.qvm");
    // The same files again with Ctrl: each is already listed.
    ASSERT_TRUE(viewer.Drop(paths, true));
    EXPECT_EQ(e2e::ListCount(viewer.list), 2000);
    EXPECT_EQ(viewer.Selection(), 0);
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerLimits, FolderOfTwentyThousandDocumentsIsListedInNameOrder) {
    viewer::DocFolder docs;
    const std::string folder = docs.Sub("many");
    docs.Copies(folder, 20000);
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + folder + "\""));
    EXPECT_EQ(e2e::ListCount(viewer.list), 20000);
    EXPECT_EQ(viewer.Selection(), 0);
    EXPECT_EQ(viewer.TitleNow(), viewer::Title(4, 3, "doc00000.qvm"));
    EXPECT_EQ(e2e::ListText(viewer.list, 10000), "doc10000.qvm");
    EXPECT_EQ(e2e::ListText(viewer.list, 19999), "doc19999.qvm");
    ASSERT_TRUE(viewer.Post(viewer::kNext));
    EXPECT_EQ(viewer.TitleNow(), viewer::Title(4, 3, "doc00001.qvm"));
    EXPECT_EQ(viewer.Close(), 0u);
}

} // namespace
