#include "tools/convert/Terminal.h"

#include <windows.h>

// A console answers GetConsoleMode; a pipe or a file does not.
bool StderrIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != FALSE;
}
