#include "framework/Text.h"

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
