#pragma once
// The file-system calls of the writers and the converter, on paths rather
// than open files. The platform half (FileSystem_win.cpp,
// FileSystem_posix.cpp) makes them; a failed Replace is noted as
// filesystem::LastFailure.

#include <functional>

namespace filesystem {

// Removes plain files only, never a folder or a device.
bool Delete(const char* path);
bool Exists(const char* path);
bool IsDirectory(const char* path);
// True for an existing entry that is neither a plain file nor a folder: a
// device or a pipe, which is written in place and never replaced.
bool IsSpecial(const char* path);
// Puts the file at from in the place of the one at to in one step, so a
// reader sees either the old file or the whole new one. On Windows a file
// held for a moment by another program (a virus scanner, the search
// indexer, another viewer) is waited for up to about a second; when it
// stays held the failure is the system's sharing violation. On POSIX the
// folder is synced afterwards, so the new name survives a power cut.
bool Replace(const char* from, const char* to);
// Between two tries at a destination held by another program: waits before
// try attempt + 1 (attempt counts from 0) and says whether to make it.
// Replace's own waits 50 ms up to 20 times; a test passes one that lets go
// of the file it holds. Never called on POSIX, where no file is held.
using HeldPause = std::function<bool(int attempt)>;
bool Replace(const char* from, const char* to, const HeldPause& pause);

} // namespace filesystem
