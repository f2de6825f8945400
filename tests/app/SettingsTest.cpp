#include "app/Settings.h"
#include "base/Text.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <iterator>
#include <map>
#include <string>

namespace {

// A settings source backed by a table, standing in for the profile reader.
class TableSource : public SettingsSource {
public:
    std::map<std::string, std::string> values;

    int32_t GetInt(const char* key, int32_t fallback) override {
        auto found = values.find(key);
        return found == values.end() ? fallback : int32_t(std::stol(found->second));
    }
    void GetString(const char* key, Str& out, const char* fallback) override {
        auto found = values.find(key);
        const std::string text = found == values.end() ? fallback : found->second;
        const size_t room = size_t(out.capacity);
        const size_t n = text.size() < room ? text.size() : room;
        std::memcpy(out.data, text.data(), n);
        out.data[n] = 0;
    }
};

TEST(SettingsRead, MissingKeysGiveTheDefaults) {
    TableSource source;
    WindowState window;
    Settings settings;
    ReadSettings(source, window, settings);
    EXPECT_EQ(window.left, kNoSavedPlacement);
    EXPECT_EQ(window.right, 400);
    EXPECT_EQ(window.bottom, 400);
    EXPECT_EQ(window.showCmd, 1);
    EXPECT_EQ(window.listWidth, 150);
    EXPECT_EQ(settings.Scale, 100);
    EXPECT_EQ(settings.ColBk, 0x808080);
    const int32_t bindings[] = {0, 1, 2, 3, 7};
    for (int i = 0; i < kMouseEventCount; ++i)
        EXPECT_EQ(settings.Mouse[i], bindings[i]) << kMouseKeys[i];
    EXPECT_EQ(settings.ConvType, 0);
    EXPECT_FALSE(settings.FitToWindow); // a file from before the key
    EXPECT_FALSE(settings.FitEnlarge);
    EXPECT_TRUE(settings.FitEnlargeFullScreen);
    EXPECT_TRUE(settings.VelmoraPath.IsEmpty());
    EXPECT_TRUE(settings.RecDir[4].IsEmpty());
}

// Values out of their range (a MouseRight of 42, a Scale of -7) come through
// unchanged; the settings-file tests read them from real files for every key.
TEST(SettingsRead, MinimisedComesBackNormal) {
    TableSource source;
    source.values = {{"ShowCmd", "2"}};
    WindowState window;
    Settings settings;
    ReadSettings(source, window, settings);
    EXPECT_EQ(window.showCmd, 1);
    source.values = {{"ShowCmd", "3"}};
    ReadSettings(source, window, settings);
    EXPECT_EQ(window.showCmd, 3);
}

TEST(SettingsRead, LongTextsAreCutToTheirRoom) {
    TableSource source;
    source.values = {{"Velmora", std::string(700, 'v')}, {"RecDir1", std::string(600, 'r')}};
    WindowState window;
    Settings settings;
    ReadSettings(source, window, settings);
    EXPECT_EQ(settings.VelmoraPath.Length(), 511);
    EXPECT_EQ(settings.RecDir[0].Length(), 500);
}

class SettingsWriteTest : public ::testing::Test {
protected:
    std::string Read(const std::string& path) {
        const docwriter::Bytes bytes = docwriter::ReadFile(path);
        return std::string(bytes.begin(), bytes.end());
    }
    // Writes settings, expects written (the keys that are off their
    // defaults) to be what follows FitToWindow at the file's end, and reads
    // the file back into read.
    void WrittenAndReadBack(const Settings& settings, const std::string& written, Settings& read) {
        const std::string path = dir.File("tessavel.ini");
        WindowState window;
        EXPECT_TRUE(WriteSettings(path.c_str(), window, settings));
        const std::string text = Read(path);
        const std::string last = "FitToWindow=0\r\n" + written;
        EXPECT_TRUE(text.size() >= last.size() && text.substr(text.size() - last.size()) == last) << text;
        WindowState readWindow;
        ReadSettingsFile(path.c_str(), readWindow, read);
    }
    TempDir dir;
};

TEST_F(SettingsWriteTest, WritesTheTwentySixLinesExactly) {
    WindowState window;
    window.left = 10;
    window.top = -20;
    window.right = 510;
    window.bottom = 420;
    window.showCmd = 3;
    window.listWidth = 150;
    Settings settings;
    settings.VelmoraPath.Assign("C:\\Velmora\\velmora.exe");
    settings.RecDir[0].Assign("C:\\\xE8\xA1\xA8"); // in the file in code page 932, as earlier versions read it
    settings.RecDir[1].Assign(std::string(600, 'x').c_str()); // written in full
    settings.LayersPane = 1;
    settings.LastFile.Assign("C:\\\xE8\xA1\xA8\\a.qvm");
    const std::string path = dir.File("tessavel.ini");
    ASSERT_TRUE(WriteSettings(path.c_str(), window, settings));
    // 表 in code page 932 on Windows; natively the bytes stay as they are.
    const std::string table = text::PathSeparator() == '\\' ? "\x95\x5C" : "\xE8\xA1\xA8";
    const std::string expected =
        std::string("[Tessaven]\r\nWinLeft=10\r\nWinTop=-20\r\nWinRight=510\r\nWinBottom=420\r\n"
                    "ShowCmd=3\r\nListWidth=150\r\nScale=100\r\nColBk=8421504\r\nMouseRight=0\r\n"
                    "MouseMid=1\r\nMouseUp=2\r\nMouseDown=3\r\nMouseLDbl=7\r\nConvType=0\r\nLayersPane=1\r\n"
                    "Velmora=C:\\Velmora\\velmora.exe\r\nOpenDir=\r\nConvDir=\r\n"
                    "RecDir1=C:\\") +
        table + "\r\nRecDir2=" + std::string(600, 'x') + "\r\nRecDir3=\r\nRecDir4=\r\nRecDir5=\r\nLastFile=C:\\" +
        table + "\\a.qvm\r\nFitToWindow=0\r\n";
    EXPECT_EQ(Read(path), expected);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << "nothing beside it";
}

TEST_F(SettingsWriteTest, LanguageIsWrittenLastAndOnlyWhenSet) {
    const std::string path = dir.File("tessavel.ini");
    WindowState window;
    Settings settings;
    ASSERT_TRUE(WriteSettings(path.c_str(), window, settings));
    EXPECT_EQ(Read(path).find("Language"), std::string::npos);
    settings.Language.Assign("en");
    ASSERT_TRUE(WriteSettings(path.c_str(), window, settings));
    const std::string text = Read(path);
    const std::string last = "FitToWindow=0\r\nLanguage=en\r\n";
    ASSERT_GE(text.size(), last.size());
    EXPECT_EQ(text.substr(text.size() - last.size()), last);
    WindowState readWindow;
    Settings read;
    ReadSettingsFile(path.c_str(), readWindow, read);
    EXPECT_STREQ(read.Language.Text(), "en");
}

TEST_F(SettingsWriteTest, TheListsOrderIsWrittenOnlyWhenChosenAndReadBack) {
    const struct {
        int32_t order;
        bool reverse;
        const char* written; // what follows FitToWindow
        int32_t readOrder;
    } cases[] = {
        {0, false, "", 0},
        {0, true, "SortReverse=1\r\n", 0},
        {1, true, "SortOrder=1\r\nSortReverse=1\r\n", 1},
        {2, false, "SortOrder=2\r\n", 2},
        {7, false, "SortOrder=7\r\n", 0}, // a later version's order reads as the default
    };
    for (const auto& c : cases) {
        Settings settings;
        settings.SortOrder = c.order;
        settings.SortReverse = c.reverse;
        Settings read;
        WrittenAndReadBack(settings, c.written, read);
        EXPECT_EQ(read.SortOrder, c.readOrder) << c.order;
        EXPECT_EQ(read.SortReverse, c.reverse) << c.order;
    }
}

TEST_F(SettingsWriteTest, FitEnlargingIsWrittenOnlyWhenNotItsDefaultAndReadBack) {
    const struct {
        bool window, fullScreen;
        const char* written; // what follows FitToWindow
    } cases[] = {
        {false, true, ""}, // the defaults: the file of earlier versions
        {true, true, "FitEnlarge=1\r\n"},
        {false, false, "FitEnlargeFullScreen=0\r\n"},
        {true, false, "FitEnlarge=1\r\nFitEnlargeFullScreen=0\r\n"},
    };
    for (const auto& c : cases) {
        Settings settings;
        settings.FitEnlarge = c.window;
        settings.FitEnlargeFullScreen = c.fullScreen;
        Settings read;
        WrittenAndReadBack(settings, c.written, read);
        EXPECT_EQ(read.FitEnlarge, c.window) << c.written;
        EXPECT_EQ(read.FitEnlargeFullScreen, c.fullScreen) << c.written;
    }
}

TEST_F(SettingsWriteTest, TheSteppingAndLayerChoicesAreWrittenOnlyOffTheirDefaults) {
    const struct {
        bool keepsPlace, carries;
        const char* written; // what follows FitToWindow
    } cases[] = {
        {true, false, ""},
        {false, false, "StepKeepsPlace=0\r\n"},
        {true, true, "CarryLayerChoices=1\r\n"},
        {false, true, "StepKeepsPlace=0\r\nCarryLayerChoices=1\r\n"},
    };
    for (const auto& c : cases) {
        Settings settings;
        settings.StepKeepsPlace = c.keepsPlace;
        settings.CarryLayerChoices = c.carries;
        Settings read;
        WrittenAndReadBack(settings, c.written, read);
        EXPECT_EQ(read.StepKeepsPlace, c.keepsPlace) << c.written;
        EXPECT_EQ(read.CarryLayerChoices, c.carries) << c.written;
    }
}

TEST_F(SettingsWriteTest, TheGridAndTheSlideshowStepAreWrittenOnlyWhenNotTheDefault) {
    const struct {
        bool thumbnails;
        int32_t seconds;
        const char* written; // what follows FitToWindow
        int32_t readSeconds;
    } cases[] = {
        {false, 3, "", 3},
        {true, 3, "Thumbnails=1\r\n", 3},
        {false, 1, "SlideshowSeconds=1\r\n", 1},
        {true, 3600, "Thumbnails=1\r\nSlideshowSeconds=3600\r\n", 3600},
        {false, 0, "SlideshowSeconds=0\r\n", 3}, // no step at all reads as the default
        {false, 3601, "SlideshowSeconds=3601\r\n", 3},
    };
    for (const auto& c : cases) {
        Settings settings;
        settings.Thumbnails = c.thumbnails;
        settings.SlideshowSeconds = c.seconds;
        Settings read;
        WrittenAndReadBack(settings, c.written, read);
        EXPECT_EQ(read.Thumbnails, c.thumbnails) << c.seconds;
        EXPECT_EQ(read.SlideshowSeconds, c.readSeconds) << c.seconds;
    }
}

TEST_F(SettingsWriteTest, RecentFoldersLastDocumentsAreWrittenWhenSetAndReadBack) {
    const std::string path = dir.File("tessavel.ini");
    WindowState window;
    Settings settings;
    settings.RecDir[0].Assign("C:\\a");
    settings.RecDir[1].Assign("C:\\b");
    settings.RecDir[2].Assign("C:\\c");
    settings.RecFile[0].Assign("C:\\a\\1.qvm");
    settings.RecFile[2].Assign(" C:\\c\\2.qvm"); // a blank the reader would take off
    ASSERT_TRUE(WriteSettings(path.c_str(), window, settings));
    const std::string text = Read(path);
    EXPECT_NE(text.find("FitToWindow=0\r\nRecFile1=C:\\a\\1.qvm\r\nRecFile3=\" C:\\c\\2.qvm\"\r\n"), std::string::npos)
        << text;
    EXPECT_EQ(text.find("RecFile2"), std::string::npos);
    WindowState readWindow;
    Settings read;
    ReadSettingsFile(path.c_str(), readWindow, read);
    EXPECT_STREQ(read.RecFile[0].Text(), "C:\\a\\1.qvm");
    EXPECT_STREQ(read.RecFile[1].Text(), "");
    EXPECT_STREQ(read.RecFile[2].Text(), " C:\\c\\2.qvm");
}

// Another viewer saving at the same moment has its temporary beside the
// file (and earlier versions used "tessavel.ini.new"): a save neither
// fails because of it nor takes it over.
TEST_F(SettingsWriteTest, AnotherSavesTemporaryIsNeitherInTheWayNorTaken) {
    const std::string path = dir.File("tessavel.ini");
    for (bool folder : {false, true}) {
        const std::string other = path + ".new";
        std::filesystem::remove_all(other);
        if (folder)
            std::filesystem::create_directory(other);
        else
            ASSERT_TRUE(docwriter::WriteFile(other, {'h', 'a', 'l', 'f'}));
        WindowState window;
        Settings settings;
        settings.Scale = folder ? 200 : 300;
        ASSERT_TRUE(WriteSettings(path.c_str(), window, settings)) << folder;
        EXPECT_NE(Read(path).find(folder ? "Scale=200" : "Scale=300"), std::string::npos);
        if (folder)
            EXPECT_TRUE(std::filesystem::is_directory(other));
        else
            EXPECT_EQ(Read(other), "half");
    }
}

TEST_F(SettingsWriteTest, AFailedSaveKeepsWhatWasThereAndLeavesNoTemporary) {
    // The new file cannot take the place of the old: a folder stands there.
    const std::string path = dir.File("tessavel.ini");
    std::filesystem::create_directory(path);
    ASSERT_TRUE(docwriter::WriteFile(path + "/kept", {'o', 'l', 'd'}));
    WindowState window;
    Settings settings;
    EXPECT_FALSE(WriteSettings(path.c_str(), window, settings));
    EXPECT_EQ(Read(path + "/kept"), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST_F(SettingsWriteTest, ASaveIntoAMissingFolderFailsQuietly) {
    const std::string path = dir.File("missing") + "/tessavel.ini";
    WindowState window;
    Settings settings;
    EXPECT_FALSE(WriteSettings(path.c_str(), window, settings));
}

} // namespace
