#pragma once
// A QVR document flattened a band of rows at a time (see QvmBands.h for the
// sink and the results): the same pixels ReadQvr gives, in bounded memory.
//
// Version 0 expands every layer's mask stream one band further for each
// band (see StreamBands.h), the streams on the pool, top row first (a stored
// flattened picture comes bottom row first, as it is stored); a document
// with no visible mask only has its masks expanded, and is white. Version 1
// indexes its tiles once (QvrTileBands.h), top band first.

#include "decode/QvmBands.h"

#include <cstdint>

class ByteSource;
class WorkPool;

// Reads the QVR document from the start of source into sink. memoryLimit
// bounds what the read holds beside the caller's own; every loop of it
// looks at deadline. fault, when given, says what is wrong with a Broken
// document, as far as the bands came (see ReadQvmInBands).
BandedRead ReadQvrInBands(ByteSource& source, uint64_t memoryLimit, WorkPool* pool, BandSink& sink,
                          const BandShape& shape = {}, const Deadline& deadline = Deadline(),
                          LoadResult* fault = nullptr);
