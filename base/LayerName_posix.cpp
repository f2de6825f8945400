#include "base/LayerName.h"

#include <iconv.h>

#include <cerrno>
#include <string>

namespace text {

namespace {

// glibc knows the Windows code pages as "CP" and their number ("CP932",
// "CP1252"); a few only as "WINDOWS-" and it.
iconv_t OpenDecoder(uint32_t codePage) {
    const std::string number = std::to_string(codePage);
    iconv_t decoder = iconv_open("UTF-8", ("CP" + number).c_str());
    if (decoder == reinterpret_cast<iconv_t>(-1))
        decoder = iconv_open("UTF-8", ("WINDOWS-" + number).c_str());
    return decoder;
}

} // namespace

uint32_t FallbackNamesCodePage() {
    return 1252;
}

bool CodePageSupported(uint32_t codePage) {
    if (codePage == 65001)
        return true;
    iconv_t decoder = OpenDecoder(codePage);
    if (decoder == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv_close(decoder);
    return true;
}

bool DecodeCodePage(const char* bytes, uint32_t codePage, bool strict, std::string& utf8) {
    std::string in = bytes;
    utf8.clear();
    iconv_t decoder = codePage == 65001 ? iconv_open("UTF-8", "UTF-8") : OpenDecoder(codePage);
    if (decoder == reinterpret_cast<iconv_t>(-1)) {
        // No table: ASCII stays, every other byte is unreadable.
        for (char c : in)
            utf8.push_back(static_cast<unsigned char>(c) < 0x80 ? c : '_');
        return !strict;
    }
    char* from = &in[0];
    size_t left = in.size();
    bool whole = true;
    char piece[256];
    while (left > 0) {
        char* to = piece;
        size_t room = sizeof piece;
        const size_t result = iconv(decoder, &from, &left, &to, &room);
        utf8.append(piece, size_t(to - piece));
        if (result == size_t(-1) && errno != E2BIG) {
            // No character, or one cut short at the end: that byte alone
            // becomes "_" and the rest is read on.
            whole = false;
            if (strict)
                break;
            utf8.push_back('_');
            ++from;
            --left;
            iconv(decoder, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(decoder);
    return whole || !strict;
}

} // namespace text
