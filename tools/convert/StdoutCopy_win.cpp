#include "tools/convert/StdoutCopy.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

std::string TemporaryFolder() {
    char folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof folder, folder);
    return length > 0 && length < sizeof folder ? folder : ".";
}

void SetStdoutBinary() {
    // Text mode would turn every 0x0A byte of the picture into 0x0D 0x0A.
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}
