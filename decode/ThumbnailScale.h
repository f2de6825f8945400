#pragma once
// The thumbnail's size and its pixels: a picture scaled down with an area
// (box) filter, every source pixel weighted by the part of it that falls in
// each thumbnail pixel, so that a one-pixel line stays visible as a lighter
// line instead of vanishing between the samples.

#include <cstddef>
#include <cstdint>

class ImageBuffer;

struct ThumbnailSize {
    int32_t width = 0;
    int32_t height = 0;
};

// The size whose longest side is min(longestSide, the picture's longest side)
// with the picture's aspect kept (rounded, at least 1 pixel). Zero for an
// empty picture or longestSide below 1.
ThumbnailSize FitThumbnail(int32_t pictureWidth, int32_t pictureHeight, int32_t longestSide);

// Scales picture down to size (no side larger than the picture's) into
// destination: size.height rows of size.width pixels (blue, green, red, 255),
// the top row first, rows stride bytes apart. False, with nothing written,
// when the size is empty or larger than the picture, or scratch memory is
// short.
bool ScaleToThumbnail(const ImageBuffer& picture, ThumbnailSize size, uint8_t* destination, ptrdiff_t stride);
