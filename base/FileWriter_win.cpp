#include "base/FileWriter.h"

#include "base/FileFailure.h"
#include "base/Wide.h"

#include <windows.h>

namespace {
HANDLE AsHandle(void* handle) {
    return static_cast<HANDLE>(handle);
}

bool OpenForWriting(FileHandle& file, const char* path, DWORD share, DWORD disposition, DWORD attributes) {
    HANDLE opened =
        CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, share, nullptr, disposition, attributes, nullptr);
    file.Adopt(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
    if (file.IsClosed())
        filesystem::NoteFailure();
    return !file.IsClosed();
}
} // namespace

bool FileWriter::OpenWrite(const char* path) {
    return OpenForWriting(file, path, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
}

bool FileWriter::OpenNew(const char* path) {
    return OpenForWriting(file, path, FILE_SHARE_DELETE, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN);
}

bool FileWriter::Flush() {
    if (file.IsClosed())
        return false;
    if (FlushFileBuffers(AsHandle(file.System())))
        return true;
    filesystem::NoteFailure();
    return false;
}

uint32_t FileWriter::Write(const void* buffer, uint32_t count) {
    DWORD done = 0;
    if (file.IsClosed() || count == 0)
        return 0;
    if (!WriteFile(AsHandle(file.System()), buffer, count, &done, nullptr)) {
        filesystem::NoteFailure();
        return 0;
    }
    if (done != count)
        filesystem::SetFailure(ERROR_DISK_FULL); // a short write with no error: the volume is full
    return done;
}
