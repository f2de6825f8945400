#include "base/ByteFile.h"

#include "base/Wide.h"

#include <windows.h>

namespace {
HANDLE AsHandle(void* handle) {
    return static_cast<HANDLE>(handle);
}

uint64_t Ticks(const LARGE_INTEGER& time) {
    return uint64_t(time.QuadPart);
}
} // namespace

bool ByteFile::OpenRead(const char* path) {
    // Every sharing, so that the paint program can save over a document (in
    // place or by a rename) while the viewer, its read-ahead or the converter
    // reads it; the readers notice such a save by the file's stamp.
    HANDLE opened =
        CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return false;
    // A pipe or a device (CON, a named pipe) is no document, and a read from
    // it can wait for ever.
    if (GetFileType(opened) != FILE_TYPE_DISK) {
        CloseHandle(opened);
        return false;
    }
    file.Adopt(opened);
    return true;
}

bool ByteFile::TakeStamp(Stamp& stamp) const {
    FILE_BASIC_INFO basic;
    LARGE_INTEGER size;
    if (file.IsClosed() ||
        !GetFileInformationByHandleEx(AsHandle(file.System()), FileBasicInfo, &basic, sizeof basic) ||
        !GetFileSizeEx(AsHandle(file.System()), &size))
        return false;
    stamp.size = uint64_t(size.QuadPart);
    stamp.writeTime = Ticks(basic.LastWriteTime);
    stamp.changeTime = Ticks(basic.ChangeTime);
    return true;
}

uint32_t ByteFile::ReadFromFile(void* buffer, uint32_t count) {
    DWORD done = 0;
    if (count == 0 || !ReadFile(AsHandle(file.System()), buffer, count, &done, nullptr))
        return 0;
    return done;
}
