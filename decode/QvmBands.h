#pragma once
// Flattening a QVM document (see QvmFormat.h) a band of rows at a time, so
// that neither the picture nor a layer is ever whole in memory: the thumbnail
// handler scales each band down as it comes, whatever the document's size.
//
// Every visible layer's stream stays open and is expanded one band further
// for each band, the layers of a band on the pool, and the band is blended
// bottom layer first as ReadQvm blends the whole picture: the same pixels.
//
// The layer records are found before any stream is expanded, by their stated
// lengths. ReadQvm instead goes on from where a layer's expansion left the
// file, which is somewhere else only when a stream ends well before its
// stated block, something no document written by the paint program has. Such
// a document, a damaged one, or one with too many layers for the memory
// given is not flattened here: the caller may read it whole instead, where
// it has the memory.

#include <cstdint>
#include <functional>

class ByteSource;
class WorkPool;

enum class BandedRead {
    Done,      // every row went to the sink
    NotBanded, // the document cannot be read this way; rows may have gone to the sink
};

// Takes one row of the picture's width (blue, green, red, unused byte).
using RowSink = std::function<void(const uint8_t* row)>;

// Reads the document from the start of source and hands every row of its
// flattened picture to sink, bottom row first. memoryLimit bounds what the
// read holds (bands, streams, tables) beside the caller's own. pool, when
// given, expands the layers of each band on its threads.
BandedRead ReadQvmInBands(ByteSource& source, uint64_t memoryLimit, WorkPool* pool, const RowSink& sink);

// What ReadQvmInBands holds for each visible layer beside its band: the
// stream's state and window, its input and a blend table.
inline constexpr uint64_t kBandedLayerOverhead = 256 * 1024;
