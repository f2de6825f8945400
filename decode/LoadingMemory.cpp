#include "decode/LoadingMemory.h"

#include "decode/DocumentHeader.h"
#include "decode/Inflate.h"
#include "decode/PooledReads.h"
#include "decode/QvmPictureBands.h"
#include "decode/QvrPictureBands.h"
#include "decode/QvrTileWalk.h"
#include "pixels/BlendTable.h"
#include "pixels/ImageBuffer.h"

namespace {

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
        // From a megapixel the masks are expanded in bands; a document the
        // bands cannot take (a broken one, or one of too many streams) is
        // read again a mask at a time, as a smaller picture always is.
        const uint64_t mask = ((uint64_t(header.width) + 3) & ~uint64_t(3)) * header.height;
        const uint64_t oneByOne = mask + kInflateChunk;
        const uint64_t bands = pixels < kPictureBandsPixels
                                   ? 0
                                   : MostMaskBandBytes(header.width, header.height, header.layerCount) + kInflateChunk;
        memory.beside = bands > oneByOne ? bands : oneByOne;
    } else {
        const qvrtiles::TileBatching batching = qvrtiles::TileBatchingFor(threads);
        memory.beside = pooled
                            ? batching.batches * (2 * uint64_t(batching.tiles) * qvrtiles::kTileBytes + kInflaterBytes)
                            : 2 * uint64_t(qvrtiles::kTileBytes) + kInflaterBytes;
    }
    return true;
}
