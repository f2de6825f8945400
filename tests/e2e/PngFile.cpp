// SavePng of Screenshot.h: an 8-bit RGB picture as the smallest valid PNG
// (IHDR, one IDAT, IEND), for screenshots a person looks at; the file is made
// by the tests' one PNG encoder.

#include "tests/e2e/Screenshot.h"
#include "tests/export/PngReadBack.h"

#include <cstdio>

namespace e2e {

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
    const std::vector<uint8_t> file =
        pngread::ReferenceEncode(uint32_t(picture.width), uint32_t(picture.height), false, raw);
    if (file.empty())
        return false;

    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr)
        return false;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

} // namespace e2e
