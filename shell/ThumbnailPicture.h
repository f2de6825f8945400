#pragma once
// The thumbnail's pixels: a QVM document flattened band by band straight into
// the scaled picture, in bounded memory whatever its size; a QVR document,
// or a QVM one that cannot be read in bands, decoded whole, as the viewer
// shows it, within a memory bound fit for the shell's host process.

#include "shell/ThumbnailScale.h"

#include <cstddef>
#include <cstdint>

class ByteSource;
class ImageBuffer;
class WorkPool;

// What the banded road holds at most: the shell's host process extracts
// several files at once.
inline constexpr uint64_t kBandedThumbnailBytes = uint64_t(40) << 20;

// The whole-picture road: a QVM load holds the picture and one layer of the
// same size, so a document at this bound takes about twice it while
// decoding. 8192 x 8192 pixels.
inline constexpr uint64_t kMaxThumbnailPictureBytes = uint64_t(256) << 20;

enum class ThumbnailPictureStatus { Decoded, Broken, TooLarge };

// The picture size the document's header states, read from the start of
// source, which is left at the start again. False when the header is not
// one of the formats or ends early.
bool PeekPictureSize(ByteSource& source, int32_t& width, int32_t& height);

// Decodes the document source holds from its start into picture. A picture
// above kMaxThumbnailPictureBytes is refused before anything is allocated; a
// document that does not load completely gives Broken.
ThumbnailPictureStatus DecodeThumbnailPicture(ByteSource& source, ImageBuffer& picture);

// The thumbnail of size (FitThumbnail of the size PeekPictureSize gives) of
// the document source holds, into destination as ScaleToThumbnail writes it.
// Decoded: every pixel written. A QVM document is read in bands within
// bandedBytes, its layers on pool when given; one that cannot be (see
// ReadQvmInBands) and a QVR document are decoded whole, refused as
// DecodeThumbnailPicture refuses them.
ThumbnailPictureStatus DrawThumbnail(ByteSource& source, ThumbnailSize size, uint8_t* destination, ptrdiff_t stride,
                                     WorkPool* pool, uint64_t bandedBytes = kBandedThumbnailBytes);
