#include "base/FileHandle.h"

#include "base/FileFailure.h"

#include <windows.h>

namespace {
HANDLE AsHandle(void* handle) {
    return static_cast<HANDLE>(handle);
}
} // namespace

bool FileHandle::Close() {
    if (handle == nullptr)
        return false;
    const BOOL closed = CloseHandle(AsHandle(handle));
    handle = nullptr;
    if (!closed)
        filesystem::NoteFailure();
    return closed != FALSE;
}

int64_t FileHandle::Seek(int64_t distance, ByteSource::Origin origin) {
    LARGE_INTEGER move;
    LARGE_INTEGER position;
    move.QuadPart = distance;
    if (handle == nullptr || !SetFilePointerEx(AsHandle(handle), move, &position, DWORD(origin)))
        return -1;
    return position.QuadPart;
}
