#include "app/SettingsLocation.h"

#include "framework/AppShell.h"
#include "base/IniReader.h"
#include "base/Wide.h"

#include <shlobj.h>
#include <windows.h>

#include <string>

namespace {

const char kUserSubfolder[] = "Tessavel";

void JoinFile(const char* folder, const char* name, Str& out) {
    out.Assign(folder);
    out.Append("\\");
    out.Append(name);
}

// The last write time of a plain file; false when there is none.
bool WriteTimeOf(const char* path, ULONGLONG& time) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    time = ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
    return true;
}

// Whether the per-user file at path was written in place of besideProgram
// (a save it refused), and so stands for it.
bool StandsFor(const char* path, const char* besideProgram) {
    IniReader reader;
    reader.SetFile(path);
    reader.SetSection(kSettingsSection);
    Str standsFor;
    standsFor.Reserve(MAX_PATH * 2);
    reader.GetString(kFallbackKey, standsFor, "");
    return !standsFor.IsEmpty() && standsFor.CompareNoCase(besideProgram) == 0;
}

} // namespace

bool MayCreateFilesIn(const char* folder) {
    const std::wstring wide = Widen(folder);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return false;
    // Opening the folder asking for the right to add a file runs the
    // system's access check on it and creates nothing.
    HANDLE handle = CreateFileW(wide.c_str(), FILE_ADD_FILE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return true;
}

void ChooseSettingsPaths(const char* programFolder, const char* userFolder, SettingsPaths& paths) {
    Str besideProgram;
    JoinFile(programFolder, kSettingsFileName, besideProgram);
    paths.fallback.Clear();
    if (userFolder == nullptr || userFolder[0] == '\0') {
        // Without a user folder the file beside the program is all there is.
        paths.write.Assign(besideProgram.Text());
        paths.read.Assign(besideProgram.Text());
        return;
    }
    Str folder;
    Str perUser;
    JoinFile(userFolder, kUserSubfolder, folder);
    JoinFile(folder.Text(), kSettingsFileName, perUser);
    ULONGLONG perUserTime = 0;
    ULONGLONG besideTime = 0;
    const bool perUserExists = WriteTimeOf(perUser.Text(), perUserTime);
    const bool besideExists = WriteTimeOf(besideProgram.Text(), besideTime);
    if (MayCreateFilesIn(programFolder)) {
        paths.write.Assign(besideProgram.Text());
        paths.fallback.Assign(perUser.Text());
        // The per-user file stands for this one after a save fell back to
        // it, until a save here succeeds again. Other copies of the program
        // (another folder) share the per-user file, but not this rule.
        const bool fellBack = perUserExists && besideExists && perUserTime > besideTime &&
                              StandsFor(perUser.Text(), besideProgram.Text());
        paths.read.Assign(fellBack ? perUser.Text() : besideProgram.Text());
        return;
    }
    paths.write.Assign(perUser.Text());
    // Until the first save per user, the file installed beside the program.
    paths.read.Assign(perUserExists ? perUser.Text() : besideProgram.Text());
}

bool FindSettingsPaths(SettingsPaths& paths) {
    Str programFolder;
    if (!AppShell::GetModuleFolder(programFolder))
        return false;
    Str userFolder;
    wchar_t* roaming = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming)))
        Narrow(roaming, userFolder);
    CoTaskMemFree(roaming);
    ChooseSettingsPaths(programFolder.Text(), userFolder.Text(), paths);
    return true;
}

bool MakeFolderOf(const char* path) {
    Str folder;
    folder.Assign(path);
    folder.RemoveFileName();
    return CreateDirectoryW(Widen(folder.Text()).c_str(), nullptr) != FALSE || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool SaveSettingsTo(const SettingsPaths& paths, const WindowState& window, const Settings& settings) {
    MakeFolderOf(paths.write.Text());
    if (WriteSettings(paths.write.Text(), window, settings))
        return true;
    // A read-only or held file beside the program: the settings go per user
    // rather than being lost.
    if (paths.fallback.IsEmpty())
        return false;
    MakeFolderOf(paths.fallback.Text());
    return WriteSettings(paths.fallback.Text(), window, settings, paths.write.Text());
}
