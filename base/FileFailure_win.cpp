#include "base/FileFailure.h"

#include "base/Wide.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace filesystem {

void NoteFailure() {
    const DWORD code = GetLastError();
    SetFailure(code != 0 ? int(code) : int(ERROR_WRITE_FAULT));
}

void DescribeFailure(int code, char* buffer, uint32_t size) {
    if (size == 0)
        return;
    // English first, as the converter's own messages are; the system's
    // language where English texts are not installed.
    const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    wchar_t wide[512];
    DWORD wideLength = FormatMessageW(flags, nullptr, DWORD(code), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), wide,
                                      DWORD(sizeof wide / sizeof wide[0]), nullptr);
    if (wideLength == 0)
        wideLength = FormatMessageW(flags, nullptr, DWORD(code), 0, wide, DWORD(sizeof wide / sizeof wide[0]), nullptr);
    if (wideLength == 0) {
        std::snprintf(buffer, size, "system error %d", code);
        return;
    }
    // UTF-8, cut between whole characters.
    std::string text = Narrow(wide, wideLength);
    size_t keep = text.size() < size ? text.size() : size - 1;
    while (keep > 0 && keep < text.size() && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80)
        --keep;
    text.copy(buffer, keep);
    buffer[keep] = 0;
    DWORD length = DWORD(keep);
    // The texts end in a full stop and a line break.
    while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' || buffer[length - 1] == '.' ||
                          buffer[length - 1] == ' '))
        buffer[--length] = 0;
}

} // namespace filesystem
