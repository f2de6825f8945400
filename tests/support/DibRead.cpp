#include "tests/support/DibRead.h"

namespace dibread {

namespace {

constexpr size_t kInfoHeaderBytes = 40;
constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kBitFields = 3;

uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t U16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

} // namespace

bool Parse(const uint8_t* block, size_t size, Layout& layout) {
    if (size < kInfoHeaderBytes)
        return false;
    const uint32_t headerBytes = U32(block);
    const int32_t width = int32_t(U32(block + 4));
    const int32_t height = int32_t(U32(block + 8));
    const uint16_t bitCount = U16(block + 14);
    const uint32_t compression = U32(block + 16);
    const uint32_t coloursUsed = U32(block + 32);
    if (headerBytes < kInfoHeaderBytes || headerBytes > size || width < 0 || height == INT32_MIN || bitCount == 0 ||
        bitCount > 32)
        return false;
    uint64_t colours = bitCount <= 8 ? (coloursUsed != 0 ? coloursUsed : 1u << bitCount) : coloursUsed;
    if (compression == kBitFields && headerBytes == kInfoHeaderBytes)
        colours = 3; // the three masks follow the header
    const uint64_t offset = uint64_t(headerBytes) + colours * 4;
    const uint64_t stride = (uint64_t(width) * bitCount + 31) / 32 * 4;
    const uint64_t rows = uint64_t(height < 0 ? -int64_t(height) : height);
    if (offset + stride * rows > size)
        return false;
    layout.width = width;
    layout.height = int32_t(rows);
    layout.topDown = height < 0;
    layout.bitCount = bitCount;
    layout.bitsOffset = size_t(offset);
    layout.stride = size_t(stride);
    return true;
}

bool RgbAt(const uint8_t* block, const Layout& layout, int x, int y, uint8_t rgb[3]) {
    const int bytesPerPixel = layout.bitCount / 8;
    if ((bytesPerPixel != 3 && bytesPerPixel != 4) || x < 0 || y < 0 || x >= layout.width || y >= layout.height)
        return false;
    const size_t row = layout.topDown ? size_t(y) : size_t(layout.height - 1 - y);
    const uint8_t* pixel = block + layout.bitsOffset + row * layout.stride + size_t(x) * size_t(bytesPerPixel);
    rgb[0] = pixel[2];
    rgb[1] = pixel[1];
    rgb[2] = pixel[0];
    return true;
}

std::vector<uint8_t> BmpFileRgb(const std::vector<uint8_t>& file) {
    if (file.size() < kFileHeaderBytes || file[0] != 'B' || file[1] != 'M')
        return {};
    const uint8_t* dib = file.data() + kFileHeaderBytes;
    Layout layout;
    if (!Parse(dib, file.size() - kFileHeaderBytes, layout) || (layout.bitCount != 24 && layout.bitCount != 32))
        return {};
    // The rows start where the file header says, which may be past the
    // colour masks; they must still fit.
    const uint64_t bitsAt = U32(file.data() + 10);
    if (bitsAt < kFileHeaderBytes || bitsAt + uint64_t(layout.stride) * uint64_t(layout.height) > file.size())
        return {};
    layout.bitsOffset = size_t(bitsAt - kFileHeaderBytes);
    std::vector<uint8_t> rgb;
    rgb.reserve(size_t(layout.width) * size_t(layout.height) * 3);
    uint8_t pixel[3];
    for (int y = 0; y < layout.height; ++y)
        for (int x = 0; x < layout.width; ++x) {
            RgbAt(dib, layout, x, y, pixel);
            rgb.insert(rgb.end(), pixel, pixel + 3);
        }
    return rgb;
}

} // namespace dibread
