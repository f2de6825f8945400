#include "tools/convert/StdoutCopy.h"

#include "base/Wide.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

std::string TemporaryFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    return length > 0 && length <= MAX_PATH ? Narrow(folder) : ".";
}

void SetStdoutBinary() {
    // Text mode would turn every 0x0A byte of the picture into 0x0D 0x0A.
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}
