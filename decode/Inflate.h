#pragma once
// Expansion of one zlib stream of known compressed length from a document.

#include "base/Deadline.h"

#include <cstdint>

class ByteSource;

// The compressed bytes the readers take from a document at a time. Where a
// stream ends among these pieces decides where the next record is read, so
// every reader of a document, pooled, banded or one by one, shares it.
inline constexpr uint32_t kInflateChunk = 32768;

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

// Reads a stream as InflateFromSource does, leaving the source just where it
// leaves it and succeeding just when it does for a destination of capacity
// bytes, but keeps nothing: what the stream expands to passes through
// scratch (chunkSize bytes, which also takes the input). For the banded
// readers, which must find the records the one-by-one reader finds before
// they expand any layer. Also false once deadline has passed.
bool PassStream(ByteSource& source, uint64_t capacity, uint32_t compressedSize, uint8_t* input, uint8_t* scratch,
                uint32_t chunkSize, const Deadline& deadline = Deadline());
