#include "export/PackBits.h"

namespace {

constexpr size_t kMaxPiece = 128;

// How many bytes from p on equal p[0], at most limit.
size_t RunLength(const uint8_t* p, size_t limit) {
    size_t run = 1;
    while (run < limit && p[run] == p[0])
        ++run;
    return run;
}

} // namespace

size_t PackBitsRow(const uint8_t* row, size_t count, uint8_t* out) {
    uint8_t* const start = out;
    size_t i = 0;
    while (i < count) {
        const size_t rest = count - i;
        const size_t limit = rest < kMaxPiece ? rest : kMaxPiece;
        const size_t run = RunLength(row + i, limit);
        // Two equal bytes cost two bytes either way; a run of them between
        // literals would cost a header more, so runs start at three.
        if (run >= 3 || (run == 2 && rest == 2)) {
            *out++ = uint8_t(1 - int(run));
            *out++ = row[i];
            i += run;
            continue;
        }
        // Literals up to the next run of three.
        size_t length = 1;
        while (length < limit) {
            const size_t ahead = limit - length;
            if (ahead >= 3 && row[i + length] == row[i + length + 1] && row[i + length] == row[i + length + 2])
                break;
            ++length;
        }
        *out++ = uint8_t(length - 1);
        for (size_t k = 0; k < length; ++k)
            *out++ = row[i + k];
        i += length;
    }
    return size_t(out - start);
}
