#include "base/FileWriter.h"

#include "base/FileFailure.h"

#include <cstdio>
#include <unistd.h>

namespace {
FILE* AsFile(void* handle) {
    return static_cast<FILE*>(handle);
}

bool OpenStream(FileHandle& file, const char* path, const char* mode) {
    FILE* opened = std::fopen(path, mode);
    if (opened == nullptr)
        filesystem::NoteFailure();
    file.Adopt(opened);
    return opened != nullptr;
}
} // namespace

bool FileWriter::OpenWrite(const char* path) {
    return OpenStream(file, path, "wb");
}

bool FileWriter::OpenNew(const char* path) {
    // "x": O_EXCL, so two writers never share one temporary.
    return OpenStream(file, path, "wbx");
}

bool FileWriter::Flush() {
    if (file.IsClosed())
        return false;
    FILE* stream = AsFile(file.System());
    if (std::fflush(stream) == 0 && fsync(fileno(stream)) == 0)
        return true;
    filesystem::NoteFailure();
    return false;
}

uint32_t FileWriter::Write(const void* buffer, uint32_t count) {
    if (file.IsClosed() || count == 0)
        return 0;
    const size_t done = std::fwrite(buffer, 1, count, AsFile(file.System()));
    if (done != count)
        filesystem::NoteFailure();
    return uint32_t(done);
}
