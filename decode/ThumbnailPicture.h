#pragma once
// The thumbnail's pixels: a document of either format flattened band by band
// straight into the scaled picture, in bounded memory whatever its size and
// layer count. Only a memory bound too small for one band of the document
// leaves it to the whole picture, decoded as the viewer shows it, when that
// fits the same bound. The preview pane takes the same road at its own size.

#include "decode/ThumbnailScale.h"
#include "base/Deadline.h"

#include <cstddef>
#include <cstdint>

class ByteSource;
class ImageBuffer;
class WorkPool;

// What drawing a thumbnail holds at most, whichever road it takes: the
// shell's host process extracts several files at once.
inline constexpr uint64_t kThumbnailBytes = uint64_t(40) << 20;

// How long a handler may spend on one document: a second and a half, and a
// second more for every 32 MiB of the document, about the time its bytes
// take to read and expand. A document that costs far more than its bytes
// (a few bytes that declare a huge picture, streams that expand a
// thousandfold) is given up then. The size is source's, which is left at its
// start.
Deadline ThumbnailDeadline(ByteSource& source);

enum class ThumbnailPictureStatus { Decoded, Broken, TooLarge };

// The picture size the document's header states, read from the start of
// source, which is left at the start again. False when the header is not
// one of the formats or ends early.
bool PeekPictureSize(ByteSource& source, int32_t& width, int32_t& height);

// Decodes the document source holds from its start into picture. A picture
// above maxPictureBytes is refused before anything is allocated; a document
// that does not load completely gives Broken.
ThumbnailPictureStatus DecodeThumbnailPicture(ByteSource& source, ImageBuffer& picture, uint64_t maxPictureBytes);

// The thumbnail of size (FitThumbnail of the size PeekPictureSize gives, or
// any size no larger than the picture) of the document source holds, into
// destination as ScaleToThumbnail writes it, holding at most memoryLimit.
// Decoded: every pixel written, the pixels ScaleToThumbnail gives of the
// picture LoadDocument makes. Read in bands (see ScaleDocumentInBands), the
// layers on pool when given; where memoryLimit holds not even one band, the
// document is decoded whole when the picture takes at most half of
// memoryLimit, and is TooLarge otherwise. Broken: the document does not load.
// TooLarge also when the document would take more work than any painting
// does, or deadline passes first.
ThumbnailPictureStatus DrawThumbnail(ByteSource& source, ThumbnailSize size, uint8_t* destination, ptrdiff_t stride,
                                     WorkPool* pool, uint64_t memoryLimit = kThumbnailBytes,
                                     const Deadline& deadline = Deadline());
