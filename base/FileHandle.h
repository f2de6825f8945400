#pragma once
// FileHandle: the system's handle of one open file, owned by the file read
// (ByteFile) and the file written (FileWriter). Each opens it its own way;
// closing and moving are alike for both. The platform half
// (FileHandle_win.cpp, FileHandle_posix.cpp) knows what the handle is: a
// HANDLE on Windows, a FILE elsewhere.

#include "base/ByteSource.h"

#include <cstdint>

class FileHandle {
public:
    FileHandle() = default;
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool IsClosed() const { return handle == nullptr; }
    // Takes the handle an open just made; only while closed.
    void Adopt(void* opened) { handle = opened; }
    void* System() const { return handle; }

    // True when the file was open and everything written reached it; a
    // close the system refuses is noted as filesystem::LastFailure.
    bool Close();
    // The new position, or -1 when closed or the system refuses the move.
    int64_t Seek(int64_t distance, ByteSource::Origin origin);

private:
    void* handle = nullptr;
};
