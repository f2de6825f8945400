#include "app/SettingsLines.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// The lines as the profile functions write them, each ended by CR LF.
TEST(SettingsLines, KeyLinesAreWrittenWithCrLf) {
    SettingsLines lines;
    EXPECT_TRUE(lines.WriteKeyInt("WinLeft", 100));
    EXPECT_TRUE(lines.WriteKeyInt("WinTop", -5));
    EXPECT_TRUE(lines.WriteKeyInt("Low", INT32_MIN));
    EXPECT_TRUE(lines.WriteKeyText("RecDir4", ""));
    EXPECT_EQ(lines.text, "WinLeft=100\r\nWinTop=-5\r\nLow=-2147483648\r\nRecDir4=\r\n");
}

// A value the reader would trim or unquote is quoted so that it comes back
// as it was; any other is written bare.
TEST(SettingsLines, ValuesTheReaderWouldChangeAreQuoted) {
    const struct {
        const char* value;
        const char* line;
    } cases[] = {
        {"C:\\pictures", "K=C:\\pictures\r\n"},
        {"", "K=\r\n"},
        {"a b", "K=a b\r\n"},
        {" lead", "K=\" lead\"\r\n"},
        {"trail\t", "K=\"trail\t\"\r\n"},
        {"end\x1A", "K=\"end\x1A\"\r\n"},
        {"\"both\"", "K=\"\"both\"\"\r\n"},
        {"'single'", "K=\"'single'\"\r\n"},
        {"\"", "K=\"\r\n"},         // one quote is no pair
        {"\"half", "K=\"half\r\n"}, // nor is an unmatched one
        {"'mixed\"", "K='mixed\"\r\n"},
    };
    for (const auto& c : cases) {
        SettingsLines lines;
        EXPECT_TRUE(lines.WriteKeyTextAsRead("K", c.value));
        EXPECT_EQ(lines.text, c.line) << c.value;
    }
}

} // namespace
