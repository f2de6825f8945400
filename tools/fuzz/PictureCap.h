#pragma once
// The fuzz targets' cap on the declared picture. The readers accept pictures
// up to 2^31 - 1 bytes of pixel memory; a fuzzer that made one of those per
// input would spend its time filling gigabytes white. The targets read the
// declared size from the input the same way the readers will and skip inputs
// above the cap; an input too short to declare a size goes to the reader, to
// fail there.

#include <cstddef>
#include <cstdint>

namespace fuzzcap {

// 512 x 512 pixels: room for tiles on every side of a picture, little work.
constexpr uint64_t kMaxPixels = 512 * 512;

// The layer export writes a PNG per layer, so its target keeps pictures
// smaller: 128 x 128.
constexpr uint64_t kMaxExportPixels = 128 * 128;

bool QvmWithinCap(const uint8_t* data, size_t size);
bool QvmWithinExportCap(const uint8_t* data, size_t size);
bool QvrWithinCap(const uint8_t* data, size_t size);

} // namespace fuzzcap
