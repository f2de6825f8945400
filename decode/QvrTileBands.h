#pragma once
// QVR version 1 flattened a band of rows at a time (see QvmBands.h for the
// sink and the results): the same pixels ReadQvr gives, in bounded memory
// and bounded work.
//
// The layers' tiles are walked once. A visible tile that reaches into the
// picture goes to an index by the first band it reaches; one wholly outside
// is expanded there and then, because ReadQvr fails on one that is broken.
// Each band then reads and expands only the tiles that reach into it, in
// file order, so a tile is expanded at most twice (bands are at least a
// tile tall) and no record is read again. A document whose index does not
// fit the memory is NotBanded; one no visible tile reaches into is white,
// with no band walked.

#include "decode/QvmBands.h"
#include "base/Deadline.h"

#include <cstdint>

class ByteSource;
struct DocumentHeader;

// Reads the document whose header ReadDocumentHeader read, from source's
// position after it, into sink, top row first. fault, when given, says what
// is wrong with a Broken document: the first fault the bands met.
BandedRead ReadQvrTilesInBands(ByteSource& source, const DocumentHeader& header, uint64_t memoryLimit, BandSink& sink,
                               const Deadline& deadline, LoadResult* fault = nullptr);
