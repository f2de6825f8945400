#include "base/FileHandle.h"

#include "base/FileFailure.h"

#include <cstdio>
#include <sys/types.h>

namespace {
FILE* AsFile(void* handle) {
    return static_cast<FILE*>(handle);
}
} // namespace

bool FileHandle::Close() {
    if (handle == nullptr)
        return false;
    FILE* file = AsFile(handle);
    handle = nullptr;
    // A buffered write that fails shows itself only here: report it.
    const bool clean = std::ferror(file) == 0;
    if (std::fclose(file) != 0) {
        filesystem::NoteFailure();
        return false;
    }
    return clean;
}

int64_t FileHandle::Seek(int64_t distance, ByteSource::Origin origin) {
    static const int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (handle == nullptr || fseeko(AsFile(handle), off_t(distance), whence[origin]) != 0)
        return -1;
    return int64_t(ftello(AsFile(handle)));
}
