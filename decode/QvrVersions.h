#pragma once
// The two QVR versions' readers and the coverage mix they share
// (QvrReader.cpp, QvrMasks.cpp, QvrTiles.cpp). Both readers start with the
// file positioned after the header (ReadDocumentHeader), which they are
// given.

#include <cstddef>
#include <cstdint>

#include "decode/MixRuns.h"

class ByteSource;
class ImageBuffer;
struct DocumentHeader;
class WorkPool;

// Version 0: whole masks, or a stored flattened picture; from a megapixel (or
// anySize) the masks are expanded in bands straight into the picture, on
// pool when given (QvrPictureBands.h). Version 1: 64 x 64 tiles, inflated on
// pool where ReadsOnPool (PooledReads.h) says so.
bool ReadQvrMasks(ByteSource& file, const DocumentHeader& header, ImageBuffer& target, WorkPool* pool, bool anySize);
bool ReadQvrTiles(ByteSource& file, const DocumentHeader& header, ImageBuffer& target, WorkPool* pool, bool anySize);

// Mixes one layer's colour (byte 0 blue, 1 green, 2 red; byte 3 unused)
// onto rows of pixels, each pixel weighted by its coverage byte and the
// layer's opacity. Pixels of weight 0 are left as they are; the pixels' byte
// 3 is never changed.
struct CoverageMixer {
    uint8_t opacity;
    uint32_t colour;
    void MixRow(uint8_t* pixels, const uint8_t* coverage, size_t count) const {
        MixCoverage(pixels, coverage, count, opacity, colour);
    }
};
