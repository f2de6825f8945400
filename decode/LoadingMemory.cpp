#include "decode/LoadingMemory.h"

#include "decode/BlendTable.h"
#include "decode/DocumentHeader.h"
#include "decode/ImageBuffer.h"
#include "decode/Inflate.h"
#include "decode/QvmPictureBands.h"
#include "decode/QvrTileWalk.h"
#include "decode/StreamJobs.h"

namespace {

// A pooled tile batch: 256 tiles read and 256 expanded (QvrTiles.cpp), and
// its zlib state with window.
constexpr uint64_t kTileBatchBytes = 2 * 256 * uint64_t(qvrtiles::kTileBytes) + 48 * 1024;
// A zlib stream's state with its 32 KB window.
constexpr uint64_t kInflaterBytes = 48 * 1024;

} // namespace

bool LoadingMemoryOf(const DocumentHeader& header, unsigned poolSize, LoadingMemory& memory) {
    if (!ImageBuffer::SizeFits(header.width, header.height))
        return false;
    const uint64_t pixels = uint64_t(header.width) * header.height;
    const uint64_t threads = poolSize > 1 ? poolSize : 1;
    const bool pooled = threads > 1 && pixels >= kPooledPixels;
    memory.picture = pixels * 4;
    if (header.kind == DocumentKind::Qvm) {
        // The finding of the records as ReadQvm finds them passes each
        // stream through two pieces.
        memory.beside = pixels < kPictureBandsPixels
                            ? memory.picture + kInflateChunk + BlendTable::kEntries
                            : MostPictureBandBytes(header.width, header.height, header.layerCount) + 2 * kInflateChunk;
    } else if (header.version == 0) {
        // A mask per job, with its stream's block held beside it (up to an
        // eighth more than the mask and a piece), and a piece to expand from.
        const uint64_t mask = ((uint64_t(header.width) + 3) & ~uint64_t(3)) * header.height;
        memory.beside =
            pooled ? threads * (mask + mask + mask / 8 + 2 * kInflateChunk) + kInflateChunk : mask + kInflateChunk;
    } else {
        memory.beside = pooled ? (threads + 1) * kTileBatchBytes : 2 * uint64_t(qvrtiles::kTileBytes) + kInflaterBytes;
    }
    return true;
}
