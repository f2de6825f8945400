#pragma once
// Why the last file call failed: the system's error code of the last open,
// write, close or replace that failed on the calling thread. It is kept
// apart from errno and GetLastError so that the clean-up after a failure
// (closing, deleting a temporary) does not overwrite it, and per thread, as
// errno is, because several converter jobs write at once. The platform half
// (FileFailure_win.cpp, FileFailure_posix.cpp) reads and describes the
// system's codes.

#include <cstdint>

namespace filesystem {

// 0 when none failed since the last ClearFailure.
int LastFailure();
void ClearFailure();
// For file-system work outside the file types (making folders, copying to
// standard output) that reports its failure the same way.
void SetFailure(int code);
// Takes the system's current error code as LastFailure; a failure the
// system gives no code for is still one (EIO, ERROR_WRITE_FAULT).
void NoteFailure();
// The system's own words for code (strerror, FormatMessage), without a line
// break, into buffer.
void DescribeFailure(int code, char* buffer, uint32_t size);

} // namespace filesystem
