#include "base/ByteFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
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
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) ||
        fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0 ||
        (handle = fdopen(descriptor, "rb")) == nullptr) {
        close(descriptor);
        return false;
    }
    // Reads are buffered in ByteFile itself, on every platform alike.
    std::setvbuf(AsFile(handle), nullptr, _IONBF, 0);
    return true;
}

bool ByteFile::OpenWrite(const char* path) {
    handle = std::fopen(path, "wb");
    if (handle == nullptr)
        NoteFailure();
    return handle != nullptr;
}

bool ByteFile::OpenNew(const char* path) {
    // "x": O_EXCL, so two writers never share one temporary.
    handle = std::fopen(path, "wbx");
    if (handle == nullptr)
        NoteFailure();
    return handle != nullptr;
}

bool ByteFile::Flush() {
    if (handle == nullptr)
        return false;
    FILE* file = AsFile(handle);
    if (std::fflush(file) == 0 && fsync(fileno(file)) == 0)
        return true;
    NoteFailure();
    return false;
}

bool ByteFile::Close() {
    if (handle == nullptr)
        return false;
    FILE* file = AsFile(handle);
    handle = nullptr;
    ForgetReadAhead();
    // A buffered write that fails shows itself only here: report it.
    const bool clean = std::ferror(file) == 0;
    if (std::fclose(file) != 0) {
        NoteFailure();
        return false;
    }
    return clean;
}

uint32_t ByteFile::ReadFromFile(void* buffer, uint32_t count) {
    if (count == 0)
        return 0;
    return uint32_t(std::fread(buffer, 1, count, AsFile(handle)));
}

uint32_t ByteFile::Write(const void* buffer, uint32_t count) {
    if (handle == nullptr || count == 0)
        return 0;
    const size_t done = std::fwrite(buffer, 1, count, AsFile(handle));
    if (done != count)
        NoteFailure();
    return uint32_t(done);
}

int64_t ByteFile::SeekInFile(int64_t distance, Origin origin) {
    static const int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (fseeko(AsFile(handle), off_t(distance), whence[origin]) != 0)
        return -1;
    return int64_t(ftello(AsFile(handle)));
}

bool ByteFile::Delete(const char* path) {
    // Writers delete what a failed write left behind; when the output was a
    // device such as /dev/full, that must not remove the device itself.
    struct stat info;
    return stat(path, &info) == 0 && S_ISREG(info.st_mode) && unlink(path) == 0;
}

bool ByteFile::Exists(const char* path) {
    struct stat info;
    return stat(path, &info) == 0;
}

bool ByteFile::IsDirectory(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool ByteFile::IsSpecial(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

namespace {

// The rename lives in the folder's own entries: until the folder reaches the
// disk, a power cut can bring back the old name or none. Failures are not
// reported (the file is already in place, and some file systems refuse to
// sync a folder).
void SyncFolderOf(const char* path) {
    const std::string text = path;
    const size_t slash = text.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : text.substr(0, slash);
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    fsync(descriptor);
    close(descriptor);
}

} // namespace

bool ByteFile::TakeStamp(Stamp& stamp) const {
    struct stat info;
    if (handle == nullptr || fstat(fileno(AsFile(handle)), &info) != 0)
        return false;
    stamp.size = uint64_t(info.st_size);
    stamp.writeTime = uint64_t(info.st_mtim.tv_sec) * 1000000000ull + uint64_t(info.st_mtim.tv_nsec);
    stamp.changeTime = uint64_t(info.st_ctim.tv_sec) * 1000000000ull + uint64_t(info.st_ctim.tv_nsec);
    return true;
}

bool ByteFile::Replace(const char* from, const char* to, const HeldPause&) {
    return Replace(from, to);
}

bool ByteFile::Replace(const char* from, const char* to) {
    if (std::rename(from, to) == 0) {
        SyncFolderOf(to);
        return true;
    }
    NoteFailure();
    return false;
}

void ByteFile::NoteFailure() {
    SetFailure(errno != 0 ? errno : EIO);
}

void ByteFile::DescribeFailure(int code, char* buffer, uint32_t size) {
    if (size == 0)
        return;
    std::snprintf(buffer, size, "%s", std::strerror(code));
}
