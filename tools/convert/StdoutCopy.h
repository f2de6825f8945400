#pragma once
// -o -: the picture is written to a temporary file (the PNG writer goes
// back to fill in a length, which a pipe cannot do) and then copied to
// standard output.

#include <string>

// Creates an empty file of a new name in the system's folder for temporary
// files, "tessavel-convert-PID-RANDOM" + extension, and puts its path in
// path. The name is made exclusively (never an entry that was there before,
// be it a file, a link or a FIFO another user made), so the picture later
// put in its place goes to no one else. False when no name could be made
// (filesystem::LastFailure says why).
bool CreateStagingFile(const std::string& extension, std::string& path);

// Copies the file to standard output, which is switched to binary mode
// first. False when a read or a write fails (filesystem::LastFailure says
// why).
bool CopyToStdout(const std::string& file);

// Platform half (StdoutCopy_win.cpp, StdoutCopy_posix.cpp).
// The system's folder for temporary files.
std::string TemporaryFolder();
// No line-end translation on standard output (Windows); nothing elsewhere.
void SetStdoutBinary();
