#pragma once
// -o -: the picture is written to a temporary file (the PNG writer goes
// back to fill in a length, which a pipe cannot do) and then copied to
// standard output.

#include <string>

// Copies the file to standard output, which is switched to binary mode
// first. False when a read or a write fails (ByteFile::LastFailure says
// why).
bool CopyToStdout(const std::string& file);

// Platform half (StdoutCopy_win.cpp, StdoutCopy_posix.cpp).
// The system's folder for temporary files.
std::string TemporaryFolder();
// No line-end translation on standard output (Windows); nothing elsewhere.
void SetStdoutBinary();
