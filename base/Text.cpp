#include "base/Text.h"

namespace text {

namespace {

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

int CharSize(char c) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0xC2 && byte <= 0xDF)
        return 2;
    if (byte >= 0xE0 && byte <= 0xEF)
        return 3;
    if (byte >= 0xF0 && byte <= 0xF4)
        return 4;
    return 1;
}

const char* NextChar(const char* p) {
    if (*p == 0)
        return p;
    const int size = CharSize(*p);
    int taken = 1;
    while (taken < size && IsContinuation(p[taken]))
        ++taken;
    return p + taken;
}

} // namespace text
