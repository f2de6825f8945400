#pragma once
// Big-endian fields, the byte order of PNG's chunks and of zlib's trailer
// (the documents read are little-endian: see ByteSource).

#include <cstdint>

inline uint32_t SwapBytes32(uint32_t value) {
    return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) | (value << 24);
}

inline void PutU32BE(uint32_t value, uint8_t* destination) {
    destination[0] = uint8_t(value >> 24);
    destination[1] = uint8_t(value >> 16);
    destination[2] = uint8_t(value >> 8);
    destination[3] = uint8_t(value);
}
