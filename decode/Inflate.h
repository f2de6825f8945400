#pragma once
// Expansion of one zlib stream of known compressed length from a document.

#include <cstdint>

class ByteSource;

// Reads the next compressedSize bytes of source in pieces of at most chunkSize
// bytes through scratch and expands the zlib stream they hold into
// destination (capacity bytes). True when the stream ends within the block
// and fits the destination. The number of bytes produced goes to *produced
// (when given), so callers can zero what a short stream left unwritten.
//
// The source is left after the last chunk read: bytes after the stream's end
// inside that chunk are passed over, later ones are not.
bool InflateFromSource(ByteSource& source, uint8_t* destination, uint32_t capacity, uint32_t compressedSize,
                       uint8_t* scratch, uint32_t chunkSize, uint32_t* produced = nullptr);
