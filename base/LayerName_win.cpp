#include "base/LayerName.h"

#include "base/Wide.h"

#include <windows.h>

#include <string>

namespace text {

uint32_t FallbackNamesCodePage() {
    return GetACP();
}

bool CodePageSupported(uint32_t codePage) {
    return codePage <= 0xFFFF && IsValidCodePage(codePage) != FALSE;
}

bool DecodeCodePage(const char* bytes, uint32_t codePage, bool strict, std::string& utf8) {
    utf8.clear();
    const bool known = CodePageSupported(codePage);
    std::wstring wide;
    bool whole = true;
    // Character by character, so that a byte that is no character becomes
    // "_" alone and the bytes after it are read as they stand.
    for (const char* p = bytes; *p != 0;) {
        int size = known && IsDBCSLeadByteEx(codePage, static_cast<BYTE>(*p)) && p[1] != 0 ? 2 : 1;
        wchar_t unit[4] = {wchar_t(*p)};
        // Without the code page's table only ASCII is known.
        int units = static_cast<unsigned char>(*p) < 0x80 ? 1 : 0;
        if (known)
            units = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, p, size, unit, 4);
        if (units <= 0) {
            whole = false;
            if (strict)
                return false;
            // The byte after a lead byte that makes no character is read
            // again on its own.
            wide.push_back(L'_');
            size = 1;
        }
        wide.append(unit, size_t(units > 0 ? units : 0));
        p += size;
    }
    utf8 = Narrow(wide.data(), wide.size());
    return whole || !strict;
}

} // namespace text
