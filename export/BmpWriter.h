#pragma once
// BMP output of an ImageBuffer: an uncompressed 24-bit Windows bitmap with
// the 40-byte information header, rows bottom-up as the picture stores them,
// alpha dropped.

class ImageBuffer;

// Writes picture to path as a BMP file. False for an empty picture or one
// whose file size would not fit the header's 32-bit field; true only when the
// whole file is in place: on failure path keeps what it held.
bool SaveBmp(const ImageBuffer& picture, const char* path);
