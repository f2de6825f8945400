// SavePng of Screenshot.h: the smallest valid PNG (IHDR, one IDAT, IEND) of
// an 8-bit RGB picture, for screenshots a person looks at.

#include "tests/e2e/Screenshot.h"

#include <cstdio>
#include <zlib.h>

namespace e2e {

namespace {

void PutU32BE(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutU32BE(out, uint32_t(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutU32BE(out, uint32_t(crc32(0, out.data() + typeAt, uInt(out.size() - typeAt))));
}

} // namespace

bool SavePng(const Picture& picture, const std::string& path) {
    if (picture.Empty())
        return false;
    std::vector<uint8_t> raw;
    raw.reserve(size_t(picture.height) * (1 + size_t(picture.width) * 3));
    for (int y = 0; y < picture.height; ++y) {
        raw.push_back(0); // filter type None
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t pixel = picture.pixels[size_t(y) * size_t(picture.width) + size_t(x)];
            raw.push_back(uint8_t(pixel >> 16));
            raw.push_back(uint8_t(pixel >> 8));
            raw.push_back(uint8_t(pixel));
        }
    }
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), 6) != Z_OK)
        return false;
    packed.resize(packedSize);

    std::vector<uint8_t> header;
    PutU32BE(header, uint32_t(picture.width));
    PutU32BE(header, uint32_t(picture.height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, adaptive filters, no interlace
    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", packed);
    PutChunk(file, "IEND", {});

    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr)
        return false;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

} // namespace e2e
