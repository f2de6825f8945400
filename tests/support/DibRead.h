#pragma once
// Reading device-independent bitmaps as the tests meet them: a CF_DIB block
// from the clipboard (header, colour masks or table, rows) and a BMP file
// (a 14-byte file header before the same). Every field is read little-endian
// and every length checked against the block, so a short or lying block
// gives nothing rather than a read past its end.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dibread {

struct Layout {
    int32_t width = 0;
    int32_t height = 0; // rows, whichever way they are stored
    bool topDown = false;
    uint16_t bitCount = 0;
    size_t bitsOffset = 0; // where row 0 of memory starts in the block
    size_t stride = 0;     // bytes per stored row, a multiple of 4
};

// The layout of the DIB at block; false when the header or the rows it
// declares do not fit in size bytes.
bool Parse(const uint8_t* block, size_t size, Layout& layout);

// Pixel (x, y), y from the top, as red, green and blue; 24 and 32 bits only.
// False outside the picture or for other depths.
bool RgbAt(const uint8_t* block, const Layout& layout, int x, int y, uint8_t rgb[3]);

// A 24- or 32-bit BMP file's pixels as red, green, blue triplets, top row
// first; empty when the file is not such a BMP or is cut short.
std::vector<uint8_t> BmpFileRgb(const std::vector<uint8_t>& file);

} // namespace dibread
