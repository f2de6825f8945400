#pragma once
// PackBits, the run-length code of PSD channel rows: a header byte n, then
// n + 1 literal bytes when n is 0 to 127, or one byte repeated 1 - n times
// when n is -1 to -127 (-128 is never written).

#include <cstddef>
#include <cstdint>

// The most bytes PackBitsRow writes for count bytes.
constexpr size_t PackBitsBound(size_t count) {
    return count + (count + 127) / 128;
}

// Codes count bytes of row into out (room for PackBitsBound(count)); the
// number of bytes written.
size_t PackBitsRow(const uint8_t* row, size_t count, uint8_t* out);
