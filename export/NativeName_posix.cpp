#include "export/NativeName.h"

#include <iconv.h>
#include <langinfo.h>
#include <strings.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

bool IsCp932(const char* codeset) {
    for (const char* name : {"CP932", "SHIFT_JIS", "SJIS", "WINDOWS-31J", "SHIFT-JIS", "MS_KANJI"})
        if (strcasecmp(codeset, name) == 0)
            return true;
    return false;
}

// The C locale's "ASCII" cannot hold the names at all: file names are then
// written in UTF-8, the encoding of every current system's file names.
const char* TargetOf(const char* codeset) {
    if (codeset == nullptr || *codeset == 0 || strcasecmp(codeset, "ANSI_X3.4-1968") == 0 ||
        strcasecmp(codeset, "ASCII") == 0 || strcasecmp(codeset, "US-ASCII") == 0)
        return "UTF-8";
    return codeset;
}

} // namespace

void ToNativeFileName(Str& name) {
    const char* codeset = nl_langinfo(CODESET);
    if (codeset != nullptr && IsCp932(codeset))
        return;
    bool plain = true;
    for (const char* p = name.Text(); *p != 0; ++p)
        plain = plain && static_cast<unsigned char>(*p) < 0x80;
    if (plain)
        return; // ASCII reads the same everywhere
    iconv_t convert = iconv_open(TargetOf(codeset), "CP932");
    if (convert == reinterpret_cast<iconv_t>(-1))
        return;
    std::string in = name.Text();
    std::string out;
    char* from = &in[0];
    size_t left = in.size();
    char piece[256];
    while (left > 0) {
        char* to = piece;
        size_t room = sizeof piece;
        const size_t result = iconv(convert, &from, &left, &to, &room);
        out.append(piece, size_t(to - piece));
        if (result == size_t(-1) && errno != E2BIG) {
            // Not CP932, or cut short: that byte alone becomes "_".
            out.push_back('_');
            ++from;
            --left;
            iconv(convert, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(convert);
    name.Assign(out.c_str());
}
