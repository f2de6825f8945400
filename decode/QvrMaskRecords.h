#pragma once
// The layer records of a QVR version 0 document found before any mask is
// expanded, for the readers that expand every mask a band at a time (the
// thumbnail's, QvrBands.cpp, and the whole picture's, QvrPictureBands.cpp).

#include "base/Deadline.h"
#include "decode/LoadResult.h"

#include <cstdint>
#include <vector>

class ByteSource;
class StreamBands;

struct MaskLayer {
    uint8_t opacity = 0;
    uint8_t flags = 0;
    uint32_t colour = 0;
};

// Every layer's stream, invisible ones too: ReadQvr expands them all, and
// fails on any that is broken. byLengths: where the records state the
// blocks; otherwise where ReadQvr finds them, each stream passed through to
// learn where it leaves the file.
// Passing the streams through is planned like expanding them, the bands
// after it included: tooMuch turns true, and the walk ends, where the
// streams passed so far could expand to more than half of mostPlanned.
// fault, when given, names the layer where the walk failed as ReadQvr names
// it.
bool FindMasks(ByteSource& source, uint16_t layerCount, uint64_t maskBytes, bool byLengths, StreamBands& streams,
               std::vector<MaskLayer>& layers, uint64_t mostPlanned, const Deadline& deadline, bool& tooMuch,
               LoadResult* fault = nullptr);
