#pragma once
// OpenRaster output: a zip whose first entry is "mimetype", stored,
// holding "image/openraster"; then one PNG per layer under data/ (trimmed to
// the pixels with alpha above 0, placed by x and y), "mergedimage.png" (the
// picture Tessavel shows), "Thumbnails/thumbnail.png" (the same
// area-averaged to at most 256 pixels a side) and "stack.xml", which lists
// the layers top first with their names, opacities, visibility and
// composite operations. Written a layer at a time, under a temporary name
// that replaces path only when complete.

#include <cstdint>

struct LayeredSource;
class WorkPool;

// The longer side of the thumbnail at most.
constexpr int32_t kOraThumbnailSide = 256;

// The composite operation for blend code 0 to 20 ("svg:src-over",
// "svg:multiply", ...); Normal's beyond.
const char* OraCompositeOp(uint8_t code);

// zipLimit: where ZIP64 steps in (ZipWriter.h); the tests make it small.
bool WriteOra(const char* path, LayeredSource& source, WorkPool* pool = nullptr, uint64_t zipLimit = 0xFFFFFFFEu);
