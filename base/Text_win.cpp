#include "base/Text.h"

#include "base/Wide.h"

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

bool ReadFileBytes(const char* path, std::string& bytes, uint64_t mostBytes) {
    HANDLE file =
        CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // A file too large is refused before a byte is read; the count of what
    // is read still holds for one that grows meanwhile.
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) != FALSE && uint64_t(size.QuadPart) <= mostBytes;
    char chunk[16384];
    DWORD got = 0;
    uint64_t total = 0;
    while (ok && (ok = ReadFile(file, chunk, sizeof chunk, &got, nullptr) != FALSE) && got > 0) {
        total += got;
        ok = total <= mostBytes;
        if (ok)
            bytes.append(chunk, got);
    }
    CloseHandle(file);
    if (!ok)
        bytes.clear();
    return ok;
}

void ToStoredText(std::string& text) {
    const std::wstring wide = Widen(text.c_str());
    // No best fit: "é" may not come back as "e", which would name another
    // folder.
    BOOL lost = FALSE;
    const int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), int(wide.size()), nullptr, 0, nullptr, &lost);
    if (!lost && length >= 0) {
        std::string ansi(size_t(length), '\0');
        if (length > 0)
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), int(wide.size()), &ansi[0], length, nullptr,
                                nullptr);
        // Checked by reading back: a code page that maps a character into
        // another without reporting it loses nothing here either.
        std::string back = ansi;
        FromStoredText(back);
        if (back == text) {
            text.swap(ansi);
            return;
        }
    }
    text.insert(0, "\xEF\xBB\xBF");
}

void FromStoredText(std::string& bytes) {
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        bytes.erase(0, 3);
        return;
    }
    if (bytes.empty())
        return;
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    std::wstring wide(size_t(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), &wide[0], length);
    bytes = Narrow(wide.data(), wide.size());
}

char PathSeparator() {
    return '\\';
}

} // namespace text
