#include "framework/Text.h"

#include <windows.h>

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

uint32_t GetModulePath(char* buffer, uint32_t size) {
    return GetModuleFileNameA(nullptr, buffer, size);
}

char PathSeparator() {
    return '\\';
}

} // namespace text
