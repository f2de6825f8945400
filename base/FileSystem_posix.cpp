#include "base/FileSystem.h"

#include "base/FileFailure.h"

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

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

namespace filesystem {

bool Delete(const char* path) {
    // Writers delete what a failed write left behind; when the output was a
    // device such as /dev/full, that must not remove the device itself.
    struct stat info;
    return stat(path, &info) == 0 && S_ISREG(info.st_mode) && unlink(path) == 0;
}

bool Exists(const char* path) {
    struct stat info;
    return stat(path, &info) == 0;
}

bool IsDirectory(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsSpecial(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

bool Replace(const char* from, const char* to, const HeldPause&) {
    return Replace(from, to);
}

bool Replace(const char* from, const char* to) {
    if (std::rename(from, to) == 0) {
        SyncFolderOf(to);
        return true;
    }
    NoteFailure();
    return false;
}

} // namespace filesystem
