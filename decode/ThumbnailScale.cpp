#include "decode/ThumbnailScale.h"

#include "pixels/AreaAverage.h"
#include "pixels/ImageBuffer.h"

ThumbnailSize FitThumbnail(int32_t pictureWidth, int32_t pictureHeight, int32_t longestSide) {
    ThumbnailSize size;
    if (pictureWidth < 1 || pictureHeight < 1 || longestSide < 1)
        return size;
    const int32_t longest = pictureWidth > pictureHeight ? pictureWidth : pictureHeight;
    const int64_t side = longestSide < longest ? longestSide : longest;
    // The short side rounded to the nearest pixel, never to nothing.
    const auto scaled = [&](int32_t length) {
        const int64_t value = (int64_t(length) * side * 2 + longest) / (2 * int64_t(longest));
        return int32_t(value < 1 ? 1 : value);
    };
    size.width = scaled(pictureWidth);
    size.height = scaled(pictureHeight);
    return size;
}

bool ScaleToThumbnail(const ImageBuffer& picture, ThumbnailSize size, uint8_t* destination, ptrdiff_t stride) {
    if (picture.IsEmpty())
        return false;
    AreaAverage filter;
    if (!filter.Start(picture.width, picture.height, size.width, size.height, false, destination, stride))
        return false;
    for (int32_t y = 0; y < picture.height; ++y)
        filter.AddRow(picture.TopRow(y));
    filter.Finish();
    return true;
}
