#include "tools/convert/Console.h"

#include "base/Wide.h"

#include <io.h>
#include <windows.h>

// A console shows UTF-16 whatever its code page; bytes written to it would
// be read in the console's code page and any name outside it garbled. A pipe
// or a file gets UTF-8, which every reader of a redirected stream can take.
void WriteText(std::FILE* stream, const std::string& text) {
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
        std::fwrite(text.data(), 1, text.size(), stream);
        return;
    }
    std::fflush(stream);
    const std::wstring wide = Widen(text.c_str());
    size_t at = 0;
    while (at < wide.size()) {
        DWORD written = 0;
        const DWORD count = DWORD(wide.size() - at < 16384 ? wide.size() - at : 16384);
        if (!WriteConsoleW(handle, wide.data() + at, count, &written, nullptr) || written == 0)
            return;
        at += written;
    }
}
