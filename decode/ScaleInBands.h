#pragma once
// A document's flattened picture scaled down without ever holding it whole:
// the bands ReadQvmInBands flattens go straight into the area filter. For the
// thumbnail handler, and for any view that wants a document small.

#include "decode/QvmBands.h"

#include <cstddef>
#include <cstdint>

class ByteSource;
class WorkPool;

// Scales the QVM document in source to outWidth x outHeight (no side larger
// than the picture's) into destination: outHeight rows of outWidth pixels
// (blue, green, red, 255), the top row first, rows stride bytes apart. The
// pixels are those ScaleToThumbnail gives of the picture ReadQvm makes.
// memoryLimit bounds everything it holds. NotBanded: another format, a size
// outside those bounds, or see ReadQvmInBands; destination may be partly
// written then.
BandedRead ScaleQvmInBands(ByteSource& source, int32_t outWidth, int32_t outHeight, uint8_t* destination,
                           ptrdiff_t stride, uint64_t memoryLimit, WorkPool* pool);
