// Where the settings file goes. A folder the user cannot write is made here
// from a file standing where the program's folder would be: nothing can be
// created inside it, as in a folder without write permission (which Wine
// under the root user does not refuse).
#include "app/SettingsLocation.h"

#include "app/Settings.h"
#include "app/SettingsLock.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include <windows.h>

namespace {

std::wstring Wide(const std::string& path) {
    return std::filesystem::path(path).wstring();
}

bool Exists(const std::string& path) {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The last write time of a folder, which any file created and deleted in it
// moves on.
bool FolderTime(const std::string& folder, FILETIME& time, const FILETIME* set = nullptr) {
    HANDLE handle = CreateFileW(Wide(folder).c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const bool done = set != nullptr ? SetFileTime(handle, nullptr, nullptr, set) != FALSE
                                     : GetFileTime(handle, nullptr, nullptr, &time) != FALSE;
    CloseHandle(handle);
    return done;
}

bool SaveScale(const SettingsPaths& paths, int32_t scale) {
    Settings settings;
    settings.Scale = scale;
    return SaveSettingsTo(paths, WindowState{}, settings);
}

bool WriteScale(const std::string& path, int32_t scale) {
    Settings settings;
    settings.Scale = scale;
    return WriteSettings(path.c_str(), WindowState{}, settings);
}

int32_t ScaleIn(const std::string& path) {
    WindowState window;
    Settings settings;
    ReadSettingsFile(path.c_str(), window, settings);
    return settings.Scale;
}

struct Folders {
    Folders() {
        program = dir.File("program");
        user = dir.File("user");
        std::filesystem::create_directory(program);
        std::filesystem::create_directory(user);
        unwritable = dir.File("not a folder");
        std::ofstream(unwritable) << "x";
    }
    std::string Beside() const { return program + "\\tessavel.ini"; }
    std::string PerUser() const { return user + "\\Tessavel\\tessavel.ini"; }

    TempDir dir;
    std::string program;
    std::string user;
    std::string unwritable;
};

TEST(SettingsLocation, WritableProgramFolderKeepsTheFileBesideTheProgramWithoutProbing) {
    Folders f;
    // A file made and deleted in the folder would move its write time on:
    // Controlled Folder Access reports such a file at every start.
    const FILETIME old{0, 0x01BF53EB}; // 2000
    FILETIME before{};
    ASSERT_TRUE(FolderTime(f.program, before, &old));
    SettingsPaths paths;
    ChooseSettingsPaths(f.program.c_str(), f.user.c_str(), paths);
    EXPECT_EQ(std::string(paths.write.Text()), f.Beside());
    EXPECT_EQ(std::string(paths.read.Text()), f.Beside());
    EXPECT_EQ(std::string(paths.fallback.Text()), f.PerUser());
    FILETIME after{};
    ASSERT_TRUE(FolderTime(f.program, after));
    EXPECT_EQ(CompareFileTime(&after, &old), 0) << "something was created in the program's folder";
    EXPECT_TRUE(std::filesystem::is_empty(f.program));
}

TEST(SettingsLocation, UnwritableProgramFolderKeepsTheFilePerUser) {
    Folders f;
    const std::string perUser = f.user + "\\Tessavel\\tessavel.ini";
    SettingsPaths paths;
    ChooseSettingsPaths(f.unwritable.c_str(), f.user.c_str(), paths);
    EXPECT_EQ(std::string(paths.write.Text()), perUser);
    EXPECT_TRUE(paths.fallback.IsEmpty());
    // Nothing saved per user yet: the file installed beside the program.
    EXPECT_EQ(std::string(paths.read.Text()), f.unwritable + "\\tessavel.ini");

    // The first save makes the folder; from then on that file is read.
    ASSERT_TRUE(SaveScale(paths, 400));
    ASSERT_TRUE(Exists(perUser));
    ChooseSettingsPaths(f.unwritable.c_str(), f.user.c_str(), paths);
    EXPECT_EQ(std::string(paths.read.Text()), perUser);
    EXPECT_EQ(ScaleIn(paths.read.Text()), 400);
}

TEST(SettingsLocation, WithoutAUserFolderTheProgramFolderIsAllThereIs) {
    Folders f;
    for (const char* user : {"", static_cast<const char*>(nullptr)}) {
        SettingsPaths paths;
        ChooseSettingsPaths(f.unwritable.c_str(), user, paths);
        EXPECT_EQ(std::string(paths.write.Text()), f.unwritable + "\\tessavel.ini");
        EXPECT_TRUE(paths.fallback.IsEmpty());
        EXPECT_FALSE(SaveScale(paths, 100));
        ChooseSettingsPaths(f.program.c_str(), user, paths);
        EXPECT_EQ(std::string(paths.write.Text()), f.program + "\\tessavel.ini");
        EXPECT_TRUE(paths.fallback.IsEmpty());
    }
}

// A file beside the program that refuses the save: read-only, or held by
// another program for longer than a save waits.
struct Refusal {
    const char* name;
    std::function<HANDLE(const std::string& file)> refuse;
    std::function<void(const std::string& file, HANDLE)> allow;
};

const Refusal kRefusals[] = {
    {"ReadOnly",
     [](const std::string& file) {
         SetFileAttributesW(Wide(file).c_str(), FILE_ATTRIBUTE_READONLY);
         return INVALID_HANDLE_VALUE;
     },
     [](const std::string& file, HANDLE) { SetFileAttributesW(Wide(file).c_str(), FILE_ATTRIBUTE_NORMAL); }},
    {"Held",
     [](const std::string& file) {
         return CreateFileW(Wide(file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
     },
     [](const std::string&, HANDLE held) { CloseHandle(held); }},
};

TEST(SettingsLocation, ASaveRefusedBesideTheProgramGoesPerUserAndIsReadFromThere) {
    for (const Refusal& refusal : kRefusals) {
        Folders f;
        ASSERT_TRUE(WriteScale(f.Beside(), 200));
        // Older than any save to come, whatever the file system's clock step.
        const FILETIME old{0, 0x01BF53EB};
        FILETIME unused{};
        FolderTime(f.Beside(), unused, &old);
        const HANDLE held = refusal.refuse(f.Beside());
        SettingsPaths paths;
        ChooseSettingsPaths(f.program.c_str(), f.user.c_str(), paths);
        ASSERT_EQ(std::string(paths.write.Text()), f.Beside()) << refusal.name;
        EXPECT_TRUE(SaveScale(paths, 300)) << refusal.name;
        refusal.allow(f.Beside(), held);
        EXPECT_EQ(ScaleIn(f.Beside()), 200) << refusal.name;
        EXPECT_EQ(ScaleIn(f.PerUser()), 300) << refusal.name;
        ChooseSettingsPaths(f.program.c_str(), f.user.c_str(), paths);
        EXPECT_EQ(std::string(paths.read.Text()), f.PerUser()) << refusal.name << ": read from where it was saved";
        // Another copy of the program, in another folder, keeps its own file.
        const std::string other = f.dir.File("other");
        std::filesystem::create_directory(other);
        ASSERT_TRUE(WriteScale(other + "\\tessavel.ini", 100));
        FolderTime(other + "\\tessavel.ini", unused, &old);
        SettingsPaths otherPaths;
        ChooseSettingsPaths(other.c_str(), f.user.c_str(), otherPaths);
        EXPECT_EQ(std::string(otherPaths.read.Text()), other + "\\tessavel.ini") << refusal.name;

        // Once the file takes saves again, it is the one written and read.
        EXPECT_TRUE(SaveScale(paths, 500)) << refusal.name;
        EXPECT_EQ(ScaleIn(f.Beside()), 500) << refusal.name;
        ChooseSettingsPaths(f.program.c_str(), f.user.c_str(), paths);
        EXPECT_EQ(std::string(paths.read.Text()), f.Beside()) << refusal.name;
    }
}

TEST(SettingsLocation, TheAccessCheckCreatesNothingAndRefusesWhatIsNoFolder) {
    Folders f;
    EXPECT_TRUE(MayCreateFilesIn(f.program.c_str()));
    EXPECT_FALSE(MayCreateFilesIn(f.unwritable.c_str()));
    EXPECT_FALSE(MayCreateFilesIn((f.dir.Path() + "\\missing").c_str()));
    EXPECT_TRUE(std::filesystem::is_empty(f.program));
}

// While one viewer saves, another's save waits for it (here: does not get
// the lock within no wait at all); once the first is done, the lock is free.
TEST(SettingsSaveLock, ASecondSaveWaitsForTheFirst) {
    std::atomic<bool> held{false};
    HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE letGo = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread first([&] {
        {
            const SettingsLock lock(0);
            held.store(lock.Held());
            SetEvent(taken);
            WaitForSingleObject(letGo, INFINITE);
        }
    });
    WaitForSingleObject(taken, INFINITE);
    EXPECT_TRUE(held.load());
    {
        const SettingsLock second(0);
        EXPECT_FALSE(second.Held()) << "taken while the first save holds it";
    }
    SetEvent(letGo);
    first.join();
    {
        const SettingsLock third(0);
        EXPECT_TRUE(third.Held());
    }
    CloseHandle(taken);
    CloseHandle(letGo);
}

} // namespace
