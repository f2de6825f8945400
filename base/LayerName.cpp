#include "base/LayerName.h"

namespace text {

namespace {

bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsSecondByte(unsigned char c) {
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// ASCII and the half-width katakana stand alone; 0x80, 0xA0 and 0xFD to
// 0xFF are no character of CP932.
bool IsSingleByte(unsigned char c) {
    return c < 0x80 || (c >= 0xA1 && c <= 0xDF);
}

bool IsAscii(const char* p) {
    for (; *p != 0; ++p)
        if (static_cast<unsigned char>(*p) >= 0x80)
            return false;
    return true;
}

} // namespace

bool LooksLikeCp932(const char* name) {
    bool doubleByte = false;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p != 0;) {
        if (IsLeadByte(p[0])) {
            if (!IsSecondByte(p[1]))
                return false;
            doubleByte = true;
            p += 2;
        } else if (IsSingleByte(p[0])) {
            ++p;
        } else {
            return false;
        }
    }
    return doubleByte;
}

std::string DecodeLayerName(const char* stored, uint32_t codePage) {
    // ASCII reads the same in every code page the names come in.
    if (IsAscii(stored))
        return stored;
    std::string utf8;
    if (codePage == kAutomaticCodePage) {
        // The ranges say little about pairs CP932 leaves undefined, so the
        // system's own table has the last word.
        if (LooksLikeCp932(stored) && DecodeCodePage(stored, kJapaneseCodePage, true, utf8))
            return utf8;
        codePage = FallbackNamesCodePage();
    }
    utf8.clear();
    DecodeCodePage(stored, codePage, false, utf8);
    return utf8;
}

} // namespace text
