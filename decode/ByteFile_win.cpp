#include "decode/ByteFile.h"

#include <windows.h>

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
    return handle != nullptr;
}

bool ByteFile::Close() {
    if (handle == nullptr)
        return false;
    const BOOL closed = CloseHandle(AsHandle(handle));
    handle = nullptr;
    aheadNext = aheadEnd = 0;
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
    if (handle == nullptr || count == 0 || !WriteFile(AsHandle(handle), buffer, count, &done, nullptr))
        return 0;
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

bool ByteFile::Replace(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}
