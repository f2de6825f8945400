#pragma once
// The converter's work, given its arguments in UTF-8 by the entry point of
// the platform (Entry_win.cpp, Entry_posix.cpp). Returns the exit status.

int RunConverter(int argc, char** argv);
