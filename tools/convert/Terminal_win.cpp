#include "tools/convert/Terminal.h"

#include "base/Text.h"

#include <windows.h>

// A console answers GetConsoleMode; a pipe or a file does not.
bool StderrIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != FALSE;
}

size_t TerminalColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) {
        const int width = info.srWindow.Right - info.srWindow.Left + 1;
        if (width > 0)
            return size_t(width);
    }
    return 80;
}

// Names are in the ANSI code page: a double-byte character takes two
// columns, a single byte (also half-width katakana) one.
size_t FitToColumns(const std::string& text, size_t columns) {
    const char* start = text.c_str();
    const char* p = start;
    size_t used = 0;
    while (*p != 0) {
        const char* next = text::NextChar(p);
        const size_t width = size_t(next - p);
        if (used + width > columns)
            break;
        used += width;
        p = next;
    }
    return size_t(p - start);
}

void PrepareLocale() {}
