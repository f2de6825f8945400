// Where the settings file goes. A folder the user cannot write is made here
// from a file standing where the program's folder would be: nothing can be
// created inside it, as in a folder without write permission (which Wine
// under the root user does not refuse).
#include "app/SettingsLocation.h"

#include "app/Settings.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include <windows.h>

namespace {

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct Folders {
    Folders() {
        program = dir.File("program");
        user = dir.File("user");
        CreateDirectoryA(program.c_str(), nullptr);
        CreateDirectoryA(user.c_str(), nullptr);
        unwritable = dir.File("not a folder");
        std::ofstream(unwritable) << "x";
    }
    TempDir dir;
    std::string program;
    std::string user;
    std::string unwritable;
};

TEST(SettingsLocation, WritableProgramFolderKeepsTheFileBesideTheProgram) {
    Folders f;
    Str read, write;
    ASSERT_TRUE(ChooseSettingsPaths(f.program.c_str(), f.user.c_str(), read, write));
    EXPECT_EQ(std::string(write.Text()), f.program + "\\tessavel.ini");
    EXPECT_EQ(std::string(read.Text()), f.program + "\\tessavel.ini");
    // The probe leaves nothing behind.
    EXPECT_EQ(GetFileAttributesA(write.Text()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(RemoveDirectoryA(f.program.c_str())); // empty
}

TEST(SettingsLocation, UnwritableProgramFolderKeepsTheFilePerUser) {
    Folders f;
    const std::string perUser = f.user + "\\Tessavel\\tessavel.ini";
    Str read, write;
    ASSERT_TRUE(ChooseSettingsPaths(f.unwritable.c_str(), f.user.c_str(), read, write));
    EXPECT_EQ(std::string(write.Text()), perUser);
    // Nothing saved per user yet: the file installed beside the program.
    EXPECT_EQ(std::string(read.Text()), f.unwritable + "\\tessavel.ini");

    // The first save makes the folder; from then on that file is read.
    ASSERT_TRUE(MakeFolderOf(write.Text()));
    ASSERT_TRUE(MakeFolderOf(write.Text())); // already there
    Settings settings;
    settings.Scale = 400;
    ASSERT_TRUE(WriteSettings(write.Text(), WindowState{}, settings));
    ASSERT_TRUE(Exists(perUser));
    ASSERT_TRUE(ChooseSettingsPaths(f.unwritable.c_str(), f.user.c_str(), read, write));
    EXPECT_EQ(std::string(read.Text()), perUser);
    WindowState window;
    Settings back;
    ReadSettingsFile(read.Text(), window, back);
    EXPECT_EQ(back.Scale, 400);
}

TEST(SettingsLocation, WithoutAUserFolderTheProgramFolderIsAllThereIs) {
    Folders f;
    for (const char* user : {"", static_cast<const char*>(nullptr)}) {
        Str read, write;
        EXPECT_FALSE(ChooseSettingsPaths(f.unwritable.c_str(), user, read, write));
        EXPECT_EQ(std::string(write.Text()), f.unwritable + "\\tessavel.ini");
        EXPECT_TRUE(ChooseSettingsPaths(f.program.c_str(), user, read, write));
        EXPECT_EQ(std::string(write.Text()), f.program + "\\tessavel.ini");
    }
}

TEST(SettingsLocation, ProbeCreatesNothingWhereItCannot) {
    Folders f;
    EXPECT_TRUE(CanCreateFileIn(f.program.c_str()));
    EXPECT_FALSE(CanCreateFileIn(f.unwritable.c_str()));
    EXPECT_FALSE(CanCreateFileIn((f.dir.Path() + "\\missing").c_str()));
}

} // namespace
