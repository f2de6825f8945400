// The settings file read through the program's reader: the system's profile
// functions on Windows (under Wine here), the same rules natively. The rules
// the program relies on, then files no user would write: random bytes, 10 MB,
// 5,000-character texts, numbers past every limit.
#include "app/Settings.h"
#include "base/IniReader.h"
#include "base/Text.h"
#include "tests/support/SettingsKeys.h"
#include "tests/support/SettingsProbe.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace {

using settingskeys::EveryKey;
using settingskeys::kNumbers;
using settingskeys::kTexts;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SettingsFileTest : public ::testing::Test {
protected:
    // A new file each time: the system's profile reader keeps files it has
    // read and would take a rewrite of the same size within the same second
    // for the old one.
    std::string Write(const std::string& bytes) {
        path = dir.File("tessavel" + std::to_string(++files) + ".ini");
        docwriter::WriteText(path, bytes);
        return path;
    }
    // Every check of the probe, which writes beside the file.
    void ExpectSound() { EXPECT_EQ(ProbeSettingsFile(path, dir.Path()), ""); }

    TempDir dir;
    std::string path;
    int files = 0;
};

// What the viewer reads from a file at start-up.
struct ReadBack {
    explicit ReadBack(const std::string& path) { ReadSettingsFile(path.c_str(), window, settings); }
    WindowState window;
    Settings settings;
};

TEST_F(SettingsFileTest, ReaderTrimsBlanksIgnoresCaseAndTakesOffQuotes) {
    Write("[other]\r\nScale=7\r\n[tessaven]\r\n  scale =  250  \r\nOpenDir = \"C:\\my pictures\" \r\n"
          "ConvDir='C:\\out'\r\nVelmora=\"C:\\half\r\nScale=300\r\n");
    IniReader ini;
    ini.SetFile(path.c_str());
    ini.SetSection(kSettingsSection);
    EXPECT_EQ(ini.GetInt("Scale", 100), 250); // the first of two
    EXPECT_EQ(ini.GetInt("ColBk", 0x808080), 0x808080);
    Str value(511);
    EXPECT_EQ(ini.GetString("OpenDir", value, ""), 14u);
    EXPECT_STREQ(value.Text(), "C:\\my pictures");
    ini.GetString("ConvDir", value, "");
    EXPECT_STREQ(value.Text(), "C:\\out");
    ini.GetString("Velmora", value, "");
    EXPECT_STREQ(value.Text(), "\"C:\\half"); // one quote is part of the text
    ini.GetString("RecDir1", value, "fallback");
    EXPECT_STREQ(value.Text(), "fallback");

    ini.SetFile(dir.File("missing.ini").c_str());
    EXPECT_EQ(ini.GetInt("Scale", 100), 100);
}

TEST_F(SettingsFileTest, NumbersAtAndPastTheEndsOfTheRangeForEveryKey) {
    struct Case {
        const char* text;
        int32_t value;
    };
    // Past 32 bits the readers differ (the system's may wrap or clamp); the
    // probe checks that whatever comes back is usable.
    const Case exact[] = {{"-2147483648", INT32_MIN},
                          {"2147483647", INT32_MAX},
                          {"-1", -1},
                          {"0x7fffffff", INT32_MAX},
                          {"-0", 0},
                          {"12abc", 12}};
    for (const Case& c : exact) {
        Write(EveryKey(kNumbers, c.text));
        const ReadBack read(path);
        const WindowState& window = read.window;
        const Settings& settings = read.settings;
        EXPECT_EQ(window.left, c.value) << c.text;
        EXPECT_EQ(window.bottom, c.value) << c.text;
        EXPECT_EQ(window.listWidth, c.value) << c.text;
        EXPECT_EQ(settings.Scale, c.value) << c.text;
        EXPECT_EQ(settings.Mouse[4], c.value) << c.text;
        EXPECT_EQ(settings.ConvType, c.value) << c.text;
        ExpectSound();
    }
    for (const char* past : {"4294967296", "-2147483649", "99999999999999999999", "-99999999999999999999", "0x"}) {
        Write(EveryKey(kNumbers, past));
        ExpectSound();
    }
}

TEST_F(SettingsFileTest, FiveThousandCharacterTextsAreCutToTheirRoomBetweenCharacters) {
    // Plain letters, and double-byte characters whose second byte is a
    // backslash (a file of an earlier version, in code page 932, read as
    // three-byte UTF-8), starting at two offsets: the cut never leaves half
    // a character, which the next save would write and the next start read
    // back as another one.
    struct Case {
        std::string lead, unit, readUnit;
        int32_t pathLength, recentLength;
    };
    // The native build takes the bytes as they are, each a character.
    const bool windows = text::PathSeparator() == '\\';
    const Case cases[] = {
        {"", "a", "a", 511, 500},
        {"", "\x95\x5c", windows ? "\xE8\xA1\xA8" : "\x95\x5c", windows ? 510 : 511, windows ? 498 : 500},
        {"x", "\x95\x5c", windows ? "\xE8\xA1\xA8" : "\x95\x5c", 511, windows ? 499 : 500}};
    for (const Case& c : cases) {
        std::string value = c.lead;
        while (value.size() < 5000)
            value += c.unit;
        Write(EveryKey(kTexts, value));
        const ReadBack read(path);
        const Settings& settings = read.settings;
        EXPECT_EQ(settings.VelmoraPath.Length(), c.pathLength) << c.lead << c.unit;
        EXPECT_EQ(settings.OpenDir.Length(), c.pathLength);
        EXPECT_EQ(settings.ConvDir.Length(), c.pathLength);
        std::string readValue = c.lead;
        while (readValue.size() < 5000)
            readValue += c.readUnit;
        EXPECT_EQ(readValue.compare(0, size_t(c.pathLength), settings.ConvDir.Text()), 0);
        for (const Str& folder : settings.RecDir)
            EXPECT_EQ(folder.Length(), c.recentLength);
        EXPECT_EQ(settings.LastFile.Length(), c.pathLength);
        ExpectSound();
    }
}

TEST_F(SettingsFileTest, TenMegabytesWithTheKeysAtTheEnd) {
    std::string text = "[Tessaven]\r\n";
    std::mt19937 random(8);
    while (text.size() < 10 * 1024 * 1024) {
        // Long junk lines without a '=' or a section: none of them is a key.
        std::string line(200 + random() % 3000, 'j');
        text += line + "\r\n";
    }
    text += "Scale=300\r\nRecDir1=C:\\last\r\n";
    Write(text);
    const ReadBack read(path);
    EXPECT_EQ(read.settings.Scale, 300);
    EXPECT_STREQ(read.settings.RecDir[0].Text(), "C:\\last");
    ExpectSound();
}

// A file past the reader's bound is not read at all, as a missing one: the
// keys at its start give way to the defaults.
TEST_F(SettingsFileTest, AFileLargerThanTheBoundIsReadAsMissing) {
    Write("[Tessaven]\r\nScale=300\r\n");
    std::filesystem::resize_file(path, IniReader::kMostFileBytes + 1); // the rest is zeros, no key
    const ReadBack read(path);
    EXPECT_EQ(read.settings.Scale, Settings().Scale);
}

TEST_F(SettingsFileTest, RandomBytesGiveUsableSettings) {
    std::mt19937 random(2026);
    for (int round = 0; round < 12; ++round) {
        std::string bytes(size_t(random() % 20000), '\0');
        for (char& b : bytes)
            b = char(random());
        // Half of the files get the section and keys among the noise.
        if (round % 2 == 1) {
            bytes.insert(bytes.size() / 3, "\r\n[Tessaven]\r\n");
            for (const char* key : kTexts)
                bytes.insert(random() % bytes.size(), std::string("\r\n") + key + "=");
            for (const char* key : kNumbers)
                bytes.insert(random() % bytes.size(), std::string("\n") + key + "=-");
        }
        Write(bytes);
        EXPECT_EQ(ProbeSettingsFile(path, dir.Path()), "") << "round " << round;
    }
}

// Run by the test runner with a file-size limit (tests/app/CMakeLists.txt):
// the save fails part-way into its temporary, as on a full disk.
TEST(SettingsFileSizeLimit, SaveFailingPartWayKeepsTheOldFileAndLeavesNoNewOne) {
    const char* limitText = std::getenv("TESSAVEL_FILE_SIZE_LIMIT");
    const uint64_t limit = limitText == nullptr ? 0 : std::strtoull(limitText, nullptr, 10);
    if (limit == 0)
        GTEST_SKIP() << "needs TESSAVEL_FILE_SIZE_LIMIT and a matching limit on the process";
    TempDir dir;
    const std::string path = dir.File("tessavel.ini");
    WindowState window;
    Settings settings;
    settings.Scale = 300;
    ASSERT_TRUE(WriteSettings(path.c_str(), window, settings));
    const std::string before = ReadAll(path);
    ASSERT_NE(before.find("Scale=300"), std::string::npos);

    // A value longer than the limit: the new file cannot be written whole.
    settings.Scale = 50;
    settings.VelmoraPath.Assign(std::string(size_t(limit) + 4096, 'v').c_str());
    EXPECT_FALSE(WriteSettings(path.c_str(), window, settings));
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << "no temporary left";
}

} // namespace

TEST_F(SettingsFileTest, PathsComeBackAsTheyWereInTheSystemsCodePageOrInUtf8) {
    // The tests run in code page 932 under Wine: a path it spells is stored
    // in it, for earlier versions; any other one in UTF-8 behind a mark.
    const bool windows = text::PathSeparator() == '\\';
    const struct {
        const char* path;
        bool marked;
    } cases[] = {{"C:\\\xE8\xA1\xA8\xE7\xA4\xBA", false},                    // 表示
                 {"C:\\\xEA\xB7\xB8\xEB\xA6\xBC \xF0\x9F\x98\x80", windows}, // 그림 😀
                 {"C:\\caf\xC3\xA9", windows},                               // café
                 {" C:\\quoted \"\xED\x8F\xB4\xEB\x8D\x94\" ", windows}};    // blanks, quotes
    for (const auto& c : cases) {
        WindowState window;
        Settings settings;
        settings.OpenDir.Assign(c.path);
        settings.RecDir[0].Assign(c.path);
        Write("");
        ASSERT_TRUE(WriteSettings(path.c_str(), window, settings));
        std::string bytes;
        ASSERT_TRUE(text::ReadFileBytes(path.c_str(), bytes));
        EXPECT_EQ(bytes.compare(0, 3, "\xEF\xBB\xBF") == 0, c.marked) << c.path;
        const ReadBack read(path);
        EXPECT_STREQ(read.settings.OpenDir.Text(), c.path);
        EXPECT_STREQ(read.settings.RecDir[0].Text(), c.path);
    }
}
