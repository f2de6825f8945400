// QVR version 1, read whole: see QvrTileWalk.h for the layout.
#include "base/MemBlock.h"
#include "base/WorkPool.h"
#include "decode/DocumentHeader.h"
#include "decode/PooledReads.h"
#include "decode/QvrTileWalk.h"

#include <cstring>
#include <deque>
#include <memory>
#include <vector>
#include <zlib.h>

namespace {

using namespace qvrtiles;

// Tiles of visible layers expanded on a pool, a batch at a time, and mixed
// in file order on the reader's thread. A batch ends where the file or a
// tile's stream ends the document: its tiles before that place are mixed,
// as the one-by-one reader mixes them before it stops.

struct TileEntry {
    TileSpan span;
    CoverageMixer mixer;
    uint16_t size;
    TileAt at;
};

class TileBatch : public WorkJob {
public:
    bool Prepare(uint32_t batchTiles) {
        capacity = batchTiles;
        return inflater.Init() && packed.Alloc(batchTiles * kTileBytes, false) != nullptr &&
               expanded.Alloc(batchTiles * kTileBytes, false) != nullptr;
    }
    bool Full() const { return tiles.size() == capacity; }
    uint8_t* NextInput() { return packed.data + tiles.size() * kTileBytes; }

    void Run(const std::atomic<bool>& cancelled) override {
        good = 0;
        for (const TileEntry& entry : tiles) {
            const uint8_t* input = packed.data + good * kTileBytes;
            uint8_t* tile = expanded.data + good * kTileBytes;
            if (cancelled.load()) {
                stopped = true;
                return;
            }
            // Exactly 4096 bytes are the coverage itself, even when they
            // happen to form a valid zlib stream.
            if (entry.size == kTileBytes)
                std::memcpy(tile, input, kTileBytes);
            else if (!inflater.Expand(input, entry.size, tile))
                return;
            ++good;
        }
    }

    void Mix(ImageBuffer& target) const {
        for (size_t i = 0; i < good; ++i)
            if (!tiles[i].span.Empty())
                MixTile(target, expanded.data + i * kTileBytes, tiles[i].span, tiles[i].mixer);
    }

    std::vector<TileEntry> tiles;
    size_t good = 0;      // tiles expanded before the first that failed
    bool stopped = false; // the pool was cancelled before every tile was expanded

private:
    uint32_t capacity = 0;
    TileInflater inflater;
    MemBlock packed;
    MemBlock expanded;
};

class PooledTiles {
public:
    PooledTiles(ByteSource& file, ImageBuffer& target, WorkPool& pool)
        : file(file), target(target), pool(pool), group(pool) {}

    LoadResult Read(uint32_t layerCount, uint16_t recordLength, const std::vector<uint8_t>* visible) {
        const TileBatching batching = TileBatchingFor(pool.Size());
        for (size_t b = 0; b < batching.batches; ++b) {
            batches.emplace_back(new TileBatch);
            if (!batches.back()->Prepare(batching.tiles))
                return loadresult::OutOfMemory(uint32_t(target.width), uint32_t(target.height));
            idle.push_back(batches.back().get());
        }
        const LoadResult walked = ReadLayers(layerCount, recordLength, visible);
        // Tiles read before the file ended the document are mixed; tiles
        // read after one that failed are not.
        if (!broken && filling != nullptr && !filling->tiles.empty())
            Post();
        while (!broken && !busy.empty())
            UseFirst();
        // A tile that failed on the pool lies before wherever the walk
        // stopped.
        return broken ? fault : walked;
    }

private:
    LoadResult ReadLayers(uint32_t layerCount, uint16_t recordLength, const std::vector<uint8_t>* visible) {
        return WalkTiles(
            file, target, layerCount, recordLength,
            [this](const TileSpan& span, const CoverageMixer& mixer, uint16_t size, const TileAt& at) {
                if (filling == nullptr) {
                    if (idle.empty() && !UseFirst())
                        return Taken::Ended;
                    filling = idle.back();
                    idle.pop_back();
                    filling->tiles.clear();
                }
                if (!file.ReadExact(filling->NextInput(), size))
                    return Taken::Truncated;
                filling->tiles.push_back({span, mixer, size, at});
                if (filling->Full())
                    Post();
                return Taken::Mixed;
            },
            visible);
    }

    void Post() {
        busy.push_back(filling);
        filling->good = 0;
        filling->stopped = false;
        if (!group.Post(*filling)) {
            // The pool was cancelled: its owner gives the document up. The
            // batch stays unexpanded, none of its tiles good, so the document
            // ends at its first tile once the batches before it are mixed.
            filling->good = 0;
            filling->stopped = true;
        }
        filling = nullptr;
    }

    // Mixes the oldest batch; false when one of its tiles ended the document
    // (the batches after it are dropped), which fault then names.
    bool UseFirst() {
        TileBatch& batch = *busy.front();
        busy.pop_front();
        group.Wait(batch);
        batch.Mix(target);
        idle.push_back(&batch);
        if (batch.good == batch.tiles.size())
            return true;
        const TileAt at = batch.tiles[batch.good].at;
        fault = batch.stopped ? loadresult::Cancelled() : loadresult::CorruptTile(at.layer, at.tile);
        for (TileBatch* later : busy)
            group.Wait(*later);
        busy.clear();
        broken = true;
        return false;
    }

    ByteSource& file;
    ImageBuffer& target;
    WorkPool& pool;
    std::vector<std::unique_ptr<TileBatch>> batches;
    WorkGroup group; // ends before the batches, whichever way Read returns
    std::vector<TileBatch*> idle;
    std::deque<TileBatch*> busy; // in file order
    TileBatch* filling = nullptr;
    bool broken = false; // a tile's stream ended the document
    LoadResult fault;    // why, once broken
};

} // namespace

LoadResult ReadQvrTiles(ByteSource& file, const DocumentHeader& header, ImageBuffer& target, WorkPool* pool,
                        bool anySize, const std::vector<uint8_t>* visible) {
    // LS is a u16 in this version.
    const uint16_t width = header.width, height = header.height, layerCount = header.layerCount,
                   recordLength = uint16_t(header.recordLength);
    MemBlock tile, packed;
    if (tile.Alloc(kTileBytes, false) == nullptr || packed.Alloc(kTileBytes, false) == nullptr)
        return loadresult::OutOfMemory(width, height);

    if (!target.Create(width, height))
        return loadresult::NotCreated(width, height);
    target.Fill(0xFFFFFFFF);
    if (ReadsOnPool(pool, uint64_t(width) * height, anySize)) {
        PooledTiles tiles(file, target, *pool);
        return tiles.Read(layerCount, recordLength, visible);
    }
    TileInflater inflater;
    if (!inflater.Init())
        return loadresult::OutOfMemory(width, height);

    return WalkTiles(
        file, target, layerCount, recordLength,
        [&](const TileSpan& span, const CoverageMixer& mixer, uint16_t size, const TileAt&) {
            if (!span.Empty())
                PrefetchTile(target, span);
            // Exactly 4096 bytes are the coverage itself, even
            // when they happen to form a valid zlib stream.
            if (size == kTileBytes) {
                if (!file.ReadExact(tile.data, kTileBytes))
                    return Taken::Truncated;
            } else if (!file.ReadExact(packed.data, size)) {
                return Taken::Truncated;
            } else if (!inflater.Expand(packed.data, size, tile.data)) {
                return Taken::Corrupt;
            }
            if (!span.Empty())
                MixTile(target, tile.data, span, mixer);
            return Taken::Mixed;
        },
        visible);
}
