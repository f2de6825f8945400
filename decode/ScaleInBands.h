#pragma once
// A document's flattened picture scaled down without ever holding it whole:
// the bands ReadQvmInBands and ReadQvrInBands flatten go straight into the
// area filter. For the thumbnail and preview handlers, and for any view that
// wants a document small.

#include "decode/QvmBands.h"

#include <cstddef>
#include <cstdint>

class ByteSource;
class WorkPool;

// Scales the document in source (either format, told by its first bytes) to
// outWidth x outHeight (no side larger than the picture's) into
// destination: outHeight rows of outWidth pixels (blue, green, red, 255),
// the top row first, rows stride bytes apart. The pixels are those
// ScaleToThumbnail gives of the picture LoadDocument makes. memoryLimit
// bounds everything it holds. Broken: LoadDocument fails on it too.
// NotBanded: too little memory for it (or a size outside the bounds). Either
// may leave destination partly written. shape bounds the bands (see
// StreamBands.h). Refused: more work than any painting takes, or deadline
// passed before the end. fault, when given, says what is wrong with a
// Broken document, as far as the bands came (ReadQvmInBands).
BandedRead ScaleDocumentInBands(ByteSource& source, int32_t outWidth, int32_t outHeight, uint8_t* destination,
                                ptrdiff_t stride, uint64_t memoryLimit, WorkPool* pool, const BandShape& shape = {},
                                const Deadline& deadline = Deadline(), LoadResult* fault = nullptr);
