#include "decode/ByteFile.h"

#include <windows.h>

#include <cstdio>

namespace {
HANDLE AsHandle(void* handle) {
    return static_cast<HANDLE>(handle);
}
} // namespace

bool ByteFile::OpenRead(const char* path) {
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    handle = file == INVALID_HANDLE_VALUE ? nullptr : file;
    return handle != nullptr;
}

bool ByteFile::OpenWrite(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    handle = file == INVALID_HANDLE_VALUE ? nullptr : file;
    if (handle == nullptr)
        NoteFailure();
    return handle != nullptr;
}

bool ByteFile::OpenNew(const char* path) {
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
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
    return handle != nullptr && FlushFileBuffers(AsHandle(handle)) != FALSE;
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
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0)
        return false;
    return DeleteFileA(path) != FALSE;
}

bool ByteFile::Exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool ByteFile::IsDirectory(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ByteFile::IsSpecial(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0)
        return true;
    // Devices seen through a drive (Wine maps the host's /dev nodes) carry no
    // attribute of their own; their handles say what they are.
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const DWORD type = GetFileType(file);
    CloseHandle(file);
    return type != FILE_TYPE_DISK;
}

bool ByteFile::Replace(const char* from, const char* to) {
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    NoteFailure();
    return false;
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
    DWORD length = FormatMessageA(flags, nullptr, DWORD(code), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), buffer,
                                  size, nullptr);
    if (length == 0)
        length = FormatMessageA(flags, nullptr, DWORD(code), 0, buffer, size, nullptr);
    if (length == 0) {
        std::snprintf(buffer, size, "system error %d", code);
        return;
    }
    // The texts end in a full stop and a line break.
    while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' || buffer[length - 1] == '.' ||
                          buffer[length - 1] == ' '))
        buffer[--length] = 0;
}
