#pragma once
// Reads back the PNG files the writer produced, independently of it: a chunk
// walk with CRC checks and the expansion of the image data with zlib.

#include <cstdint>
#include <string>
#include <vector>

namespace pngread {

using Bytes = std::vector<uint8_t>;

struct Chunk {
    std::string type;
    Bytes data;
    bool crcOk = false;
};

struct Png {
    bool signatureOk = false;
    std::vector<Chunk> chunks;
    uint32_t width = 0;
    uint32_t height = 0;
    int colourType = -1;
    Bytes raw; // the expanded image data: filter byte + samples per row
};

// Walks the chunks of file; false when the file is cut inside a chunk.
bool Parse(const Bytes& file, Png& png);
// The expanded image data of every IDAT chunk together; false when zlib
// refuses it.
bool Expand(Png& png);

// The PNG file an encoder following the documented algorithm writes: the
// whole row block given to deflate at once, its output through a 32768-byte
// buffer, one IDAT chunk. rows are the filtered rows, top first.
Bytes ReferenceEncode(uint32_t width, uint32_t height, bool alpha, const Bytes& rows);

} // namespace pngread
