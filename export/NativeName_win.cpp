#include "export/NativeName.h"

#include "export/LayerExport.h"

#include <windows.h>

#include <string>

// Layer names are in the code page of the system that saved the document,
// taken here to be this system's ANSI code page: on a Japanese system the
// names come out as they always did. Each character is converted on its own,
// so that a byte that is no character of the code page becomes "_" alone.
// A character the code page turns into a separator (a CP932 name read on a
// Western system can end in 0x5C) is refused as the stored ones are.
void ToNativeFileName(Str& name) {
    const UINT codePage = GetACP();
    std::wstring wide;
    for (const char* p = name.Text(); *p != 0;) {
        int size = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(*p)) && p[1] != 0 ? 2 : 1;
        wchar_t unit[2];
        const int units = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, p, size, unit, 2);
        if (units <= 0) {
            // The byte after a lead byte that makes no character is read
            // again on its own.
            wide.push_back(L'_');
            size = 1;
        }
        for (int i = 0; i < units; ++i)
            wide.push_back(unit[i] < 0x80 && IsRefusedInFileName(static_cast<unsigned char>(unit[i])) ? L'_' : unit[i]);
        p += size;
    }
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(size_t(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &utf8[0], length, nullptr, nullptr);
    name.Assign(utf8.c_str());
}
