#include "base/Text.h"

#include <windows.h>

#include <string>

// Nothing here may come from user32 or shlwapi (which loads user32): the
// converter shares this file, and a console program that loads user32 is
// never told of a logoff or a shutdown, so it could not remove its
// temporaries then.

namespace text {

const char* NextChar(const char* p) {
    // As CharNextA steps, from kernel32's knowledge of the code page.
    if (*p == 0)
        return p;
    if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != 0)
        return p + 2;
    return p + 1;
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

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// The value of the run of digits at p, and p moved past it; a run too long
// for 64 bits saturates.
unsigned long long TakeNumber(const wchar_t*& p) {
    unsigned long long value = 0;
    for (; IsDigit(*p); ++p)
        value = value > (~0ull - 9) / 10 ? ~0ull : value * 10 + unsigned(*p - L'0');
    return value;
}

// The file manager's order where the system has no StrCmpLogicalW outside
// shlwapi (Windows 7): runs of digits by their value, every other character
// by the user's locale ignoring case.
int CompareLogically(const wchar_t* a, const wchar_t* b) {
    while (*a != 0) {
        if (*b == 0)
            return 1;
        if (IsDigit(*a) != IsDigit(*b))
            return IsDigit(*a) ? -1 : 1;
        if (IsDigit(*a)) {
            const unsigned long long x = TakeNumber(a);
            const unsigned long long y = TakeNumber(b);
            if (x != y)
                return x < y ? -1 : 1;
            continue;
        }
        const int order = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, 1, b, 1);
        if (order != CSTR_EQUAL)
            return order == CSTR_LESS_THAN ? -1 : 1;
        ++a;
        ++b;
    }
    return *b != 0 ? -1 : 0;
}

using LogicalCompare = int(WINAPI*)(const wchar_t*, const wchar_t*);

// StrCmpLogicalW, the comparison the system's file manager sorts by, from
// kernelbase (Windows 8 and later), which every process has loaded.
LogicalCompare SystemLogicalCompare() {
    static const LogicalCompare compare = [] {
        HMODULE kernelBase = GetModuleHandleW(L"kernelbase.dll");
        return kernelBase == nullptr ? LogicalCompare(nullptr)
                                     : reinterpret_cast<LogicalCompare>(
                                           reinterpret_cast<void*>(GetProcAddress(kernelBase, "StrCmpLogicalW")));
    }();
    return compare;
}

} // namespace

int CompareNatural(const char* a, const char* b) {
    const LogicalCompare compare = SystemLogicalCompare();
    const std::wstring wideA = Widen(a);
    const std::wstring wideB = Widen(b);
    return compare != nullptr ? compare(wideA.c_str(), wideB.c_str()) : CompareLogically(wideA.c_str(), wideB.c_str());
}

uint32_t GetModulePath(char* buffer, uint32_t size) {
    return GetModuleFileNameA(nullptr, buffer, size);
}

char PathSeparator() {
    return '\\';
}

} // namespace text
