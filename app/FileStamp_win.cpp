#include "app/FileStamp.h"

#include "base/Wide.h"

#include <windows.h>

namespace {

uint64_t Ticks(const FILETIME& time) {
    return uint64_t(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

} // namespace

FileStamp FileStamp::Of(const char* path) {
    FileStamp stamp;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    stamp.takenAt = Ticks(now);
    // Only the attributes are asked for, with every sharing allowed: the
    // question never stands in the way of a program writing the file.
    HANDLE file = CreateFileW(WidePath(path).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return stamp;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(file, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        stamp.exists = true;
        stamp.size = uint64_t(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
        stamp.writeTime = Ticks(info.ftLastWriteTime);
        stamp.volume = info.dwVolumeSerialNumber;
        stamp.fileId = uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    }
    CloseHandle(file);
    return stamp;
}

bool FileStamp::HeldForWriting(const char* path) {
    // Reading without sharing writes is refused while any handle may write.
    HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}
