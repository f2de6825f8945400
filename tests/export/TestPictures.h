#pragma once
// Pictures with known pixels for the writer tests, and the ways to make a
// write fail.

#include "base/Text.h"
#include "pixels/ImageBuffer.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace testpictures {

struct Pixel {
    uint8_t b, g, r, a;
};

// A pattern that differs in every channel, so a swapped channel or row shows.
inline Pixel PatternAt(int32_t x, int32_t y) {
    return {uint8_t(y * 5 + 1), uint8_t((x ^ y) * 3), uint8_t(x * 7 + y), uint8_t((x + y) * 11 + 9)};
}

// Pseudo-random pixels: deflate cannot shrink them.
inline Pixel NoiseAt(int32_t x, int32_t y) {
    uint32_t v = uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u;
    v ^= v >> 13;
    v *= 0x5bd1e995u;
    v ^= v >> 15;
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

// Fills image (y from the top) with pixel(x, y).
template <typename F> void Paint(ImageBuffer& image, F pixel) {
    for (int32_t y = 0; y < image.height; ++y) {
        uint8_t* row = image.TopRow(y);
        for (int32_t x = 0; x < image.width; ++x) {
            const Pixel p = pixel(x, y);
            row[x * 4 + 0] = p.b;
            row[x * 4 + 1] = p.g;
            row[x * 4 + 2] = p.r;
            row[x * 4 + 3] = p.a;
        }
    }
}

// The rows a PNG of image holds once its filter bytes (0) are taken into
// account, top row first.
inline std::vector<uint8_t> PngRowsOf(const ImageBuffer& image, bool alpha) {
    std::vector<uint8_t> rows;
    for (int32_t y = 0; y < image.height; ++y) {
        rows.push_back(0);
        const uint8_t* p = image.TopRow(y);
        for (int32_t x = 0; x < image.width; ++x, p += 4) {
            rows.insert(rows.end(), {p[2], p[1], p[0]});
            if (alpha)
                rows.push_back(p[3]);
        }
    }
    return rows;
}

inline bool IsWindowsBuild() {
    return text::PathSeparator() == '\\';
}

// The platform's path separator, to join a folder and a name.
inline std::string Sep() {
    return std::string(1, text::PathSeparator());
}

// A device that accepts the file's creation and refuses every write: the
// host's /dev/full, reached through Wine's drive Z: in the Windows build.
inline const char* FullDevice() {
    return IsWindowsBuild() ? "Z:\\dev\\full" : "/dev/full";
}

// The file-size limit (bytes) the test runner set for this process, or 0.
// Under that limit a write fails part-way into a plain file, as on a full
// disk.
inline uint64_t FileSizeLimit() {
    const char* text = std::getenv("TESSAVEL_FILE_SIZE_LIMIT");
    return text == nullptr ? 0 : std::strtoull(text, nullptr, 10);
}

} // namespace testpictures
