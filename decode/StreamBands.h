#pragma once
// The zlib streams of a document's layers expanded side by side a band of
// rows at a time, so that no layer is ever whole in memory: each stream stays
// open with its window and a piece of its block, and is expanded one band
// further each time, the streams of a band on the pool.
//
// A stream is expanded just as InflateFromSource expands it into a whole
// layer (see Run), so a band holds the same bytes, and a stream fails or
// ends short where it does there.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class ByteSource;
class ImageBuffer;
class WorkPool;
class BandStream;

// Where a layer's zlib stream lies in the file.
struct StreamBlock {
    int64_t position = 0; // of its first compressed byte
    uint32_t size = 0;    // compressed bytes the record states
};

enum class BandStatus {
    Expanded,   // every stream's band holds what its stream gives for it
    Failed,     // a stream is not zlib, is cut short or overflows its layer
    EndsEarly,  // a stream ended pieces before its block: records are not where the lengths say
    OutOfMemory // a stream or its buffers could not be set up
};

class StreamBands {
public:
    StreamBands();
    ~StreamBands();
    StreamBands(const StreamBands&) = delete;
    StreamBands& operator=(const StreamBands&) = delete;

    void Add(const StreamBlock& block) { blocks.push_back(block); }
    size_t Count() const { return blocks.size(); }

    // Gets every stream ready to give rows of rowBytes, `rows` at a time, of
    // a layer of `height` rows (a stream giving more fails). checkBlockEnds:
    // a stream ending pieces before its block gives EndsEarly, for readers
    // that found the next record at the block's end.
    bool Start(uint64_t rowBytes, int32_t rows, int32_t height, bool checkBlockEnds);

    // Expands the next `count` rows of every stream, which start at row
    // `first` in the stream's order.
    BandStatus Expand(ByteSource& source, WorkPool* pool, int32_t first, int32_t count);

    // A band is held as a picture of rows x (rowBytes / 4) pixels, or of one
    // row of every byte of the band when rowBytes is not a whole number of
    // pixels, so that the layers' pixels blend straight from it.
    const ImageBuffer& Band(size_t index) const;
    // The bytes of stream index's band its stream gave: a stream that ended
    // early gives fewer, and the rest of its band holds stale bytes.
    uint64_t BandBytes(size_t index) const;

private:
    std::vector<StreamBlock> blocks;
    std::vector<std::unique_ptr<BandStream>> streams;
    uint64_t rowBytes = 0;
    uint64_t bandStart = 0;
    uint64_t bandLength = 0;
    bool checkBlockEnds = false;
};

// What a banded read holds for each stream beside its band: the stream's
// state and window, its input and a blend table.
inline constexpr uint64_t kBandedLayerOverhead = 256 * 1024;
