#include "framework/Text.h"

#include <windows.h>

#include <shlwapi.h>

#include <string>

namespace text {

const char* NextChar(const char* p) {
    return CharNextA(p);
}

bool IsLeadByte(char c) {
    return IsDBCSLeadByte(static_cast<BYTE>(c)) != FALSE;
}

int CompareNoCase(const char* a, const char* b) {
    return lstrcmpiA(a, b);
}

namespace {

// The ANSI text in the wide form the system's name comparison takes.
std::wstring Widen(const char* text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
    wide.resize(size_t(length - 1));
    return wide;
}

} // namespace

int CompareNatural(const char* a, const char* b) {
    // The comparison the system's file manager sorts by.
    return StrCmpLogicalW(Widen(a).c_str(), Widen(b).c_str());
}

uint32_t GetModulePath(char* buffer, uint32_t size) {
    return GetModuleFileNameA(nullptr, buffer, size);
}

char PathSeparator() {
    return '\\';
}

} // namespace text
