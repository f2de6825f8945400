#include "base/Text.h"

#include <unistd.h>

namespace text {

namespace {

bool IsCp932LeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

} // namespace

const char* NextChar(const char* p) {
    if (*p == 0)
        return p;
    if (IsCp932LeadByte(static_cast<unsigned char>(p[0])) && p[1] != 0)
        return p + 2;
    return p + 1;
}

bool IsLeadByte(char c) {
    return IsCp932LeadByte(static_cast<unsigned char>(c));
}

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
        // A double-byte character compares by its two bytes, unfolded: its
        // second byte may look like an ASCII letter.
        const char* nextA = NextChar(a);
        const char* nextB = NextChar(b);
        const bool wideA = nextA != a + 1;
        const bool wideB = nextB != b + 1;
        for (int i = 0; i < 2; ++i) {
            const unsigned char ca = static_cast<unsigned char>(wideA ? a[i] : FoldAscii(a[i]));
            const unsigned char cb = static_cast<unsigned char>(wideB ? b[i] : FoldAscii(b[i]));
            if (ca != cb)
                return ca < cb ? -1 : 1;
            if (!wideA || !wideB)
                break;
        }
        a = nextA;
        b = nextB;
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

char PathSeparator() {
    return '/';
}

} // namespace text
