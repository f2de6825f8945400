#include "base/Text.h"

#include <unistd.h>

#include <cstdio>

namespace text {

namespace {

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

} // namespace

int CompareNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const unsigned char ca = static_cast<unsigned char>(FoldAscii(*a));
        const unsigned char cb = static_cast<unsigned char>(FoldAscii(*b));
        if (ca != cb || ca == 0)
            return int(ca) - int(cb);
    }
}

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Compares the runs of digits starting at a and b by value and moves both
// past them.
int CompareNumbers(const char*& a, const char*& b) {
    while (*a == '0')
        ++a;
    while (*b == '0')
        ++b;
    const char* startA = a;
    const char* startB = b;
    while (IsDigit(*a))
        ++a;
    while (IsDigit(*b))
        ++b;
    // Without leading zeros, the longer run is the greater number.
    if (a - startA != b - startB)
        return (a - startA) < (b - startB) ? -1 : 1;
    for (; startA != a; ++startA, ++startB)
        if (*startA != *startB)
            return *startA < *startB ? -1 : 1;
    return 0;
}

} // namespace

int CompareNatural(const char* a, const char* b) {
    while (*a != 0 && *b != 0) {
        if (IsDigit(*a) && IsDigit(*b)) {
            const int order = CompareNumbers(a, b);
            if (order != 0)
                return order;
            continue;
        }
        // Byte by byte: a UTF-8 character's bytes are all above 0x7F, so
        // folding never touches them, and their order is the characters'.
        const unsigned char ca = static_cast<unsigned char>(FoldAscii(*a));
        const unsigned char cb = static_cast<unsigned char>(FoldAscii(*b));
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++a;
        ++b;
    }
    return *a == 0 ? (*b == 0 ? 0 : -1) : 1;
}

uint32_t GetModulePath(char* buffer, uint32_t size) {
    if (size == 0)
        return 0;
    const ssize_t n = readlink("/proc/self/exe", buffer, size - 1);
    if (n <= 0)
        return 0;
    buffer[n] = 0;
    return static_cast<uint32_t>(n);
}

bool ReadFileBytes(const char* path, std::string& bytes, uint64_t mostBytes) {
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr)
        return false;
    char chunk[16384];
    size_t got = 0;
    // Counted as read, not taken from the size: a file may grow meanwhile.
    uint64_t total = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        total += got;
        if (total > mostBytes) {
            std::fclose(f);
            bytes.clear();
            return false;
        }
        bytes.append(chunk, got);
    }
    std::fclose(f);
    return true;
}

void ToStoredText(std::string&) {}

void FromStoredText(std::string& bytes) {
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.erase(0, 3);
}

char PathSeparator() {
    return '/';
}

} // namespace text
