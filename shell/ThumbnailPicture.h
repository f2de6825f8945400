#pragma once
// The picture a thumbnail is made from: the whole document decoded, as the
// viewer shows it, within a memory bound fit for the shell's host process.

#include <cstdint>

class ByteSource;
class ImageBuffer;

// A QVM load holds the picture and one layer of the same size, so a document
// at this bound takes about twice it while decoding. 8192 x 8192 pixels.
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
