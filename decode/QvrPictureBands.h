#pragma once
// Flattening a large QVR version 0 document into its whole picture a band of
// rows at a time. Every layer's mask stream is expanded one band further for
// each band (StreamBands.h) and mixed straight into the picture's rows, so
// that beside the picture the read holds only a few bands of masks, pieces of
// their input and each stream's zlib state: what the document sets, never
// what the processor count does. The threads of a pool share the bands of
// one picture; they never hold masks of their own.

#include "decode/StreamBands.h"

#include <cstdint>
#include <vector>

class ByteSource;
class ImageBuffer;
class WorkPool;

// How a picture of width x height with `streams` mask streams out of
// `records` is read, each slot reading pieces of pieceBytes; bytes receives
// what the read holds beside the picture (bands of masks, pieces, zlib
// states, the records' places). False when not even one row fits.
bool PlanMaskBands(int32_t width, int32_t height, size_t streams, size_t records, uint64_t pieceBytes, BandPlan& plan,
                   uint64_t& bytes);

// The most a read in bands holds beside the picture for a document of that
// size and layer count, whatever its streams, the finding of the records
// included: the memory estimate of a document known only by its header.
uint64_t MostMaskBandBytes(int32_t width, int32_t height, size_t records);

enum class MaskBandsRead {
    Done,      // target holds the flattened document
    NotBanded, // broken, out of memory, or streams would start over for far
               // too long: only reading a mask at a time gives its picture
    Cancelled, // the pool was cancelled: its owner gives the document up
};

// Mixes the layers whose records start at position `records` of source into
// target, already created at the header's size and filled white. The pixels
// are those reading one mask after the other gives. After anything but Done,
// target must be filled again before another read.
// visible overrides the records' stored flags as ReadQvrMasks's does.
MaskBandsRead ReadQvrMasksInBands(ByteSource& source, uint16_t layerCount, int64_t records, ImageBuffer& target,
                                  WorkPool* pool, const std::vector<uint8_t>* visible);
