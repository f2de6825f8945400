#include "base/FileSystem.h"

#include "base/FileFailure.h"
#include "base/Wide.h"

#include <windows.h>

#include <string>

namespace {
// Whether the file at path is open in a program that does not share its
// deletion, which is what stands in the way of a rename over it or of it:
// the open asks for nothing but the right to delete, so it fails only on
// sharing.
bool HeldByAnother(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

bool HeldFailure(DWORD code, const std::wstring& from, const std::wstring& to) {
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION)
        return true;
    // A rename over a file open elsewhere is refused as access denied, as a
    // read-only file or a folder is: only the held one is worth waiting for.
    return code == ERROR_ACCESS_DENIED && (HeldByAnother(to) || HeldByAnother(from));
}

// About a second in all: long enough for a scanner or indexer to let go of
// a file it just opened, short enough that a file held for good fails soon.
constexpr int kHeldRetries = 20;
constexpr DWORD kHeldPauseMs = 50;

} // namespace

namespace filesystem {

bool Delete(const char* path) {
    // Only plain files: a failed write to a device must not try to remove it
    // (Wine maps device paths to the host's device nodes).
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0)
        return false;
    return DeleteFileW(WidePath(path).c_str()) != FALSE;
}

bool Exists(const char* path) {
    return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const char* path) {
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsSpecial(const char* path) {
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0)
        return true;
    // Devices seen through a drive (Wine maps the host's /dev nodes) carry no
    // attribute of their own; their handles say what they are.
    HANDLE file = CreateFileW(WidePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const DWORD type = GetFileType(file);
    CloseHandle(file);
    return type != FILE_TYPE_DISK;
}

bool Replace(const char* from, const char* to) {
    return Replace(from, to, [](int attempt) {
        if (attempt >= kHeldRetries)
            return false;
        Sleep(kHeldPauseMs);
        return true;
    });
}

bool Replace(const char* from, const char* to, const HeldPause& pause) {
    const std::wstring source = WidePath(from);
    const std::wstring target = WidePath(to);
    // Windows refuses to rename over a read-only file; Wine does not, and
    // would replace a file the user protected. Refused alike everywhere.
    const DWORD targetAttributes = GetFileAttributesW(target.c_str());
    if (targetAttributes != INVALID_FILE_ATTRIBUTES && (targetAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetFailure(ERROR_ACCESS_DENIED);
        return false;
    }
    // A temporary is hidden while it is written (FileWriter::OpenNew); the file it
    // becomes is not.
    const DWORD attributes = GetFileAttributesW(source.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0)
        SetFileAttributesW(source.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_HIDDEN));
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD code = GetLastError();
        const bool held = HeldFailure(code, source, target);
        if (!held || !pause(attempt)) {
            // Named as what it is: "being used by another process" rather
            // than the access denied the rename reports for it.
            SetFailure(held ? int(ERROR_SHARING_VIOLATION) : code != 0 ? int(code) : int(ERROR_WRITE_FAULT));
            return false;
        }
    }
}

} // namespace filesystem
