#pragma once
// The converter's messages and names, UTF-8 inside the program, written so
// that they read right where they go (Console_win.cpp, Console_posix.cpp):
// on a Windows console as UTF-16, elsewhere as the UTF-8 bytes.

#include <cstdio>
#include <string>

// Writes text to stream (stdout or stderr).
void WriteText(std::FILE* stream, const std::string& text);

// As fprintf, through WriteText.
void Say(std::FILE* stream, const char* format, ...)
#if defined(__MINGW32__)
    __attribute__((format(gnu_printf, 2, 3)))
#elif defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
