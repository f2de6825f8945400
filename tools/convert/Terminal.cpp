#include "tools/convert/Terminal.h"

// Names are UTF-8: a sequence of three or four bytes is counted as
// a wide character (CJK, the names this program meets), shorter ones as
// narrow.
size_t FitToColumns(const std::string& text, size_t columns) {
    size_t used = 0;
    size_t at = 0;
    while (at < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[at]);
        const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        const size_t width = length >= 3 ? 2 : 1;
        if (used + width > columns || at + length > text.size())
            break;
        used += width;
        at += length;
    }
    return at;
}
