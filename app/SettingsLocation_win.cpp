#include "app/SettingsLocation.h"

#include "app/Settings.h"
#include "framework/AppShell.h"

#include <shlobj.h>
#include <windows.h>

namespace {

const char kUserSubfolder[] = "Tessavel";

void JoinFile(const char* folder, const char* name, Str& out) {
    out.Assign(folder);
    out.Append("\\");
    out.Append(name);
}

bool FileExists(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

bool CanCreateFileIn(const char* folder) {
    char probe[MAX_PATH + 1];
    // Creates a file of a name not in use, or fails.
    if (GetTempFileNameA(folder, "tsv", 0, probe) == 0)
        return false;
    DeleteFileA(probe);
    return true;
}

bool ChooseSettingsPaths(const char* programFolder, const char* userFolder, Str& readPath, Str& writePath) {
    Str besideProgram;
    JoinFile(programFolder, kSettingsFileName, besideProgram);
    const bool programFolderWritable = CanCreateFileIn(programFolder);
    if (programFolderWritable || userFolder == nullptr || userFolder[0] == '\0') {
        // Without a user folder the file beside the program is all there is.
        writePath.Assign(besideProgram.Text());
        readPath.Assign(besideProgram.Text());
        return programFolderWritable;
    }
    Str folder;
    JoinFile(userFolder, kUserSubfolder, folder);
    JoinFile(folder.Text(), kSettingsFileName, writePath);
    readPath.Assign(FileExists(writePath.Text()) ? writePath.Text() : besideProgram.Text());
    return true;
}

bool FindSettingsPaths(Str& readPath, Str& writePath) {
    Str programFolder;
    if (!AppShell::GetModuleFolder(programFolder))
        return false;
    Str userFolder;
    userFolder.Reserve(MAX_PATH);
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, userFolder.data)))
        userFolder.Clear();
    return ChooseSettingsPaths(programFolder.Text(), userFolder.Text(), readPath, writePath);
}

bool MakeFolderOf(const char* path) {
    Str folder;
    folder.Assign(path);
    folder.RemoveFileName();
    return CreateDirectoryA(folder.Text(), nullptr) != FALSE || GetLastError() == ERROR_ALREADY_EXISTS;
}
