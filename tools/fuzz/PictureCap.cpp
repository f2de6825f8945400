#include "tools/fuzz/PictureCap.h"

namespace fuzzcap {

namespace {

constexpr size_t kMagicAndVersion = 8;

uint32_t U16At(const uint8_t* data, size_t at) {
    return uint32_t(data[at]) | uint32_t(data[at + 1]) << 8;
}

uint32_t U32At(const uint8_t* data, size_t at) {
    return U16At(data, at) | U16At(data, at + 2) << 16;
}

// width and height as two u16 at offset at; true when the input ends before.
bool SizeAtWithinCap(const uint8_t* data, size_t size, uint64_t at, uint64_t cap = kMaxPixels) {
    if (at + 4 > size)
        return true;
    return uint64_t(U16At(data, size_t(at))) * U16At(data, size_t(at) + 2) <= cap;
}

} // namespace

bool QvmWithinCap(const uint8_t* data, size_t size) {
    // The magic and version, then HS (u32), then width and height.
    return SizeAtWithinCap(data, size, kMagicAndVersion + 4);
}

bool QvmWithinExportCap(const uint8_t* data, size_t size) {
    return SizeAtWithinCap(data, size, kMagicAndVersion + 4, kMaxExportPixels);
}

bool QvrWithinCap(const uint8_t* data, size_t size) {
    if (size <= kMagicAndVersion)
        return true;
    if (data[kMagicAndVersion - 1] == 0)
        return SizeAtWithinCap(data, size, kMagicAndVersion);
    // Version 1: 4 bytes, B (u32), B bytes, HS (u16), then width and height.
    if (kMagicAndVersion + 8 > size)
        return true;
    return SizeAtWithinCap(data, size, kMagicAndVersion + 8 + uint64_t(U32At(data, kMagicAndVersion + 4)) + 2);
}

} // namespace fuzzcap
