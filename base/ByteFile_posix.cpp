#include "base/ByteFile.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
FILE* AsFile(void* handle) {
    return static_cast<FILE*>(handle);
}
} // namespace

bool ByteFile::OpenRead(const char* path) {
    // Without O_NONBLOCK the open of a FIFO waits for a writer, for ever if
    // none comes. Only a regular file is a document: anything else is
    // refused before a read can block on it.
    const int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    struct stat info;
    FILE* stream = nullptr;
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) ||
        fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0 ||
        (stream = fdopen(descriptor, "rb")) == nullptr) {
        close(descriptor);
        return false;
    }
    // Reads are buffered in ByteSource itself, on every platform alike.
    std::setvbuf(stream, nullptr, _IONBF, 0);
    file.Adopt(stream);
    return true;
}

bool ByteFile::TakeStamp(Stamp& stamp) const {
    struct stat info;
    if (file.IsClosed() || fstat(fileno(AsFile(file.System())), &info) != 0)
        return false;
    stamp.size = uint64_t(info.st_size);
    stamp.writeTime = uint64_t(info.st_mtim.tv_sec) * 1000000000ull + uint64_t(info.st_mtim.tv_nsec);
    stamp.changeTime = uint64_t(info.st_ctim.tv_sec) * 1000000000ull + uint64_t(info.st_ctim.tv_nsec);
    return true;
}

uint32_t ByteFile::ReadFromFile(void* buffer, uint32_t count) {
    if (count == 0)
        return 0;
    return uint32_t(std::fread(buffer, 1, count, AsFile(file.System())));
}
