#include "framework/Text.h"

#include "framework/Wide.h"

#include <windows.h>

#include <string>

// Nothing here may come from user32 or shlwapi (which loads user32): the
// converter shares this file, and a console program that loads user32 is
// never told of a logoff or a shutdown, so it could not remove its
// temporaries then.

namespace text {

int CompareNoCase(const char* a, const char* b) {
    // As the file system compares names: code unit by code unit, upper-cased.
    const int order = CompareStringOrdinal(Widen(a).c_str(), -1, Widen(b).c_str(), -1, TRUE);
    return order == CSTR_LESS_THAN ? -1 : order == CSTR_GREATER_THAN ? 1 : 0;
}

namespace {

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
    // Long enough for any path the system starts a program from.
    std::wstring wide(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, &wide[0], DWORD(wide.size()));
    if (length == 0 || length >= wide.size() || size == 0)
        return 0;
    const std::string path = Narrow(wide.c_str(), length);
    // A path cut short would name another folder.
    if (path.size() >= size)
        return 0;
    path.copy(buffer, path.size());
    buffer[path.size()] = 0;
    return uint32_t(path.size());
}

char PathSeparator() {
    return '\\';
}

} // namespace text
