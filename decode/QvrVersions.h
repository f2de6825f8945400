#pragma once
// The two QVR versions' readers and the coverage mix they share
// (QvrReader.cpp, QvrMasks.cpp, QvrTiles.cpp). Both readers start with the
// file positioned after the header (ReadDocumentHeader), which they are
// given.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "decode/LoadResult.h"
#include "pixels/MixRuns.h"

class ByteSource;
class ImageBuffer;
struct DocumentHeader;
class WorkPool;

// Version 0: whole masks, or a stored flattened picture; from a megapixel (or
// anySize) the masks are expanded in bands straight into the picture, on
// pool when given (QvrPictureBands.h). Version 1: 64 x 64 tiles, inflated on
// pool where ReadsOnPool (PooledReads.h) says so.
// visible, when given, overrides the stored flag of the records it covers
// (QvrLayerFlags).
LoadResult ReadQvrMasks(ByteSource& file, const DocumentHeader& header, ImageBuffer& target, WorkPool* pool,
                        bool anySize, const std::vector<uint8_t>* visible);
LoadResult ReadQvrTiles(ByteSource& file, const DocumentHeader& header, ImageBuffer& target, WorkPool* pool,
                        bool anySize, const std::vector<uint8_t>* visible);

// The flags a reader goes by for layer record index (0 = bottom): bit 0, the
// visible flag, is taken from visible[index] where the viewer's layers pane
// gave one; the file is never written, and records beyond it keep theirs.
inline uint8_t QvrLayerFlags(uint8_t stored, uint32_t index, const std::vector<uint8_t>* visible) {
    if (visible == nullptr || index >= visible->size())
        return stored;
    return (*visible)[index] != 0 ? uint8_t(stored | 1) : uint8_t(stored & ~1);
}

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
