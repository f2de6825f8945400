#include "base/ByteFile.h"

#include "base/Wide.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {
HANDLE AsHandle(void* handle) {
    return static_cast<HANDLE>(handle);
}

uint64_t Ticks(const LARGE_INTEGER& time) {
    return uint64_t(time.QuadPart);
}

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

bool ByteFile::OpenRead(const char* path) {
    // Every sharing, so that the paint program can save over a document (in
    // place or by a rename) while the viewer, its read-ahead or the converter
    // reads it; the readers notice such a save by the file's stamp.
    HANDLE file =
        CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // A pipe or a device (CON, a named pipe) is no document, and a read from
    // it can wait for ever.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return false;
    }
    handle = file;
    return true;
}

bool ByteFile::TakeStamp(Stamp& stamp) const {
    FILE_BASIC_INFO basic;
    LARGE_INTEGER size;
    if (handle == nullptr || !GetFileInformationByHandleEx(AsHandle(handle), FileBasicInfo, &basic, sizeof basic) ||
        !GetFileSizeEx(AsHandle(handle), &size))
        return false;
    stamp.size = uint64_t(size.QuadPart);
    stamp.writeTime = Ticks(basic.LastWriteTime);
    stamp.changeTime = Ticks(basic.ChangeTime);
    return true;
}

bool ByteFile::OpenWrite(const char* path) {
    HANDLE file =
        CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    handle = file == INVALID_HANDLE_VALUE ? nullptr : file;
    if (handle == nullptr)
        NoteFailure();
    return handle != nullptr;
}

bool ByteFile::OpenNew(const char* path) {
    HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_HIDDEN, nullptr);
    handle = file == INVALID_HANDLE_VALUE ? nullptr : file;
    if (handle == nullptr)
        NoteFailure();
    return handle != nullptr;
}

bool ByteFile::Close() {
    if (handle == nullptr)
        return false;
    const BOOL closed = CloseHandle(AsHandle(handle));
    handle = nullptr;
    ForgetReadAhead();
    if (!closed)
        NoteFailure();
    return closed != FALSE;
}

bool ByteFile::Flush() {
    if (handle == nullptr)
        return false;
    if (FlushFileBuffers(AsHandle(handle)))
        return true;
    NoteFailure();
    return false;
}

uint32_t ByteFile::ReadFromFile(void* buffer, uint32_t count) {
    DWORD done = 0;
    if (count == 0 || !ReadFile(AsHandle(handle), buffer, count, &done, nullptr))
        return 0;
    return done;
}

uint32_t ByteFile::Write(const void* buffer, uint32_t count) {
    DWORD done = 0;
    if (handle == nullptr || count == 0)
        return 0;
    if (!WriteFile(AsHandle(handle), buffer, count, &done, nullptr)) {
        NoteFailure();
        return 0;
    }
    if (done != count)
        SetFailure(ERROR_DISK_FULL); // a short write with no error: the volume is full
    return done;
}

int64_t ByteFile::SeekInFile(int64_t distance, Origin origin) {
    LARGE_INTEGER move;
    LARGE_INTEGER position;
    move.QuadPart = distance;
    if (!SetFilePointerEx(AsHandle(handle), move, &position, DWORD(origin)))
        return -1;
    return position.QuadPart;
}

bool ByteFile::Delete(const char* path) {
    // Only plain files: a failed write to a device must not try to remove it
    // (Wine maps device paths to the host's device nodes).
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0)
        return false;
    return DeleteFileW(WidePath(path).c_str()) != FALSE;
}

bool ByteFile::Exists(const char* path) {
    return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ByteFile::IsDirectory(const char* path) {
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ByteFile::IsSpecial(const char* path) {
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

bool ByteFile::Replace(const char* from, const char* to) {
    return Replace(from, to, [](int attempt) {
        if (attempt >= kHeldRetries)
            return false;
        Sleep(kHeldPauseMs);
        return true;
    });
}

bool ByteFile::Replace(const char* from, const char* to, const HeldPause& pause) {
    const std::wstring source = WidePath(from);
    const std::wstring target = WidePath(to);
    // Windows refuses to rename over a read-only file; Wine does not, and
    // would replace a file the user protected. Refused alike everywhere.
    const DWORD targetAttributes = GetFileAttributesW(target.c_str());
    if (targetAttributes != INVALID_FILE_ATTRIBUTES && (targetAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetFailure(ERROR_ACCESS_DENIED);
        return false;
    }
    // A temporary is hidden while it is written (OpenNew); the file it
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

void ByteFile::NoteFailure() {
    const DWORD code = GetLastError();
    SetFailure(code != 0 ? int(code) : int(ERROR_WRITE_FAULT));
}

void ByteFile::DescribeFailure(int code, char* buffer, uint32_t size) {
    if (size == 0)
        return;
    // English first, as the converter's own messages are; the system's
    // language where English texts are not installed.
    const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    wchar_t wide[512];
    DWORD wideLength = FormatMessageW(flags, nullptr, DWORD(code), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), wide,
                                      DWORD(sizeof wide / sizeof wide[0]), nullptr);
    if (wideLength == 0)
        wideLength = FormatMessageW(flags, nullptr, DWORD(code), 0, wide, DWORD(sizeof wide / sizeof wide[0]), nullptr);
    if (wideLength == 0) {
        std::snprintf(buffer, size, "system error %d", code);
        return;
    }
    // UTF-8, cut between whole characters.
    std::string text = Narrow(wide, wideLength);
    size_t keep = text.size() < size ? text.size() : size - 1;
    while (keep > 0 && keep < text.size() && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80)
        --keep;
    text.copy(buffer, keep);
    buffer[keep] = 0;
    DWORD length = DWORD(keep);
    // The texts end in a full stop and a line break.
    while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' || buffer[length - 1] == '.' ||
                          buffer[length - 1] == ' '))
        buffer[--length] = 0;
}
