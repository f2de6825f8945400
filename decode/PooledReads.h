#pragma once
// When a reader takes a work pool for its document.

#include <cstdint>

class WorkPool;

// Whether a reader takes pool for a picture of pixels pixels: only a pool
// with threads of its own, and only for a picture large enough that threads
// pay (below about a megapixel a layer inflates in a few milliseconds), unless
// anySize asks for it (the tests and fuzz targets compare the two ways).
bool ReadsOnPool(const WorkPool* pool, uint64_t pixels, bool anySize);
// The picture size from which ReadsOnPool takes a pool.
inline constexpr uint64_t kPooledPixels = 1024 * 1024;
