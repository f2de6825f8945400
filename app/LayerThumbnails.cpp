#include "app/LayerThumbnails.h"

#include "pixels/AreaAverage.h"
#include "pixels/ImageBuffer.h"
#include "decode/LayerWalk.h"

#include <algorithm>

namespace {

// The checkerboard's two greys and the square's colour around the canvas.
constexpr uint8_t kLightSquare = 0xFF;
constexpr uint8_t kDarkSquare = 0xCC;
constexpr uint8_t kAround = 0xFF;

// The canvas's side along one direction once fitted into side.
int32_t Fitted(int32_t length, int32_t longest, int32_t side) {
    if (longest <= side)
        return length; // never enlarged
    return std::max<int32_t>(1, int32_t(int64_t(length) * side / longest));
}

} // namespace

bool LayerThumbnail(const ImageBuffer& pixels, const WalkedLayer& layer, int32_t side, Thumbnail& out) {
    const int32_t width = pixels.width, height = pixels.height;
    if (pixels.IsEmpty() || width <= 0 || height <= 0 || side <= 0)
        return false;
    const int32_t longest = std::max(width, height);
    const int32_t outWidth = Fitted(width, longest, side);
    const int32_t outHeight = Fitted(height, longest, side);
    // The colours weighted by their alpha, and the alpha, averaged apart:
    // a clear pixel's colour counts for nothing.
    std::vector<uint8_t> colour(size_t(outWidth) * outHeight * 4);
    std::vector<uint8_t> alpha(colour.size());
    AreaAverage colourAverage, alphaAverage;
    if (!colourAverage.Start(width, height, outWidth, outHeight, false, colour.data(), ptrdiff_t(outWidth) * 4) ||
        !alphaAverage.Start(width, height, outWidth, outHeight, false, alpha.data(), ptrdiff_t(outWidth) * 4))
        return false;
    std::vector<uint8_t> clear(size_t(width) * 4, 0);
    std::vector<uint8_t> weighted(clear.size()), coverage(clear.size());
    const int32_t top = layer.Empty() ? 0 : std::clamp(layer.top, 0, height);
    const int32_t bottom = layer.Empty() ? 0 : std::clamp(layer.bottom, top, height);
    if (top > 0) {
        colourAverage.AddRepeatedRow(clear.data(), top);
        alphaAverage.AddRepeatedRow(clear.data(), top);
    }
    for (int32_t y = top; y < bottom; ++y) {
        const uint8_t* row = pixels.TopRow(y);
        for (size_t x = 0; x < size_t(width); ++x) {
            const unsigned a = row[x * 4 + 3];
            for (int c = 0; c < 3; ++c) {
                weighted[x * 4 + size_t(c)] = uint8_t((row[x * 4 + size_t(c)] * a + 127) / 255);
                coverage[x * 4 + size_t(c)] = uint8_t(a);
            }
        }
        colourAverage.AddRow(weighted.data());
        alphaAverage.AddRow(coverage.data());
    }
    if (bottom < height) {
        colourAverage.AddRepeatedRow(clear.data(), height - bottom);
        alphaAverage.AddRepeatedRow(clear.data(), height - bottom);
    }
    colourAverage.Finish();
    alphaAverage.Finish();

    out.assign(size_t(side) * side * 4, kAround);
    const int32_t left = (side - outWidth) / 2, up = (side - outHeight) / 2;
    // Squares of a quarter of the side, at least two pixels.
    const int32_t square = std::max<int32_t>(2, side / 4);
    for (int32_t y = 0; y < outHeight; ++y) {
        for (int32_t x = 0; x < outWidth; ++x) {
            const size_t from = (size_t(y) * outWidth + size_t(x)) * 4;
            const unsigned a = alpha[from];
            const unsigned behind = ((x / square + y / square) % 2 == 0) ? kLightSquare : kDarkSquare;
            uint8_t* to = &out[(size_t(y + up) * side + size_t(x + left)) * 4];
            for (int c = 0; c < 3; ++c)
                to[c] = uint8_t(std::min(255u, colour[from + size_t(c)] + (behind * (255 - a) + 127) / 255));
            to[3] = 255;
        }
    }
    return true;
}

bool DocumentLayerThumbnails(const char* path, int32_t side, const std::atomic<bool>& cancel,
                             std::vector<Thumbnail>& out) {
    out.clear();
    LayerWalk walk;
    if (!walk.Open(path))
        return false;
    ImageBuffer pixels;
    if (!pixels.Create(walk.Header().width, walk.Header().height))
        return false;
    WalkedLayer layer;
    while (!cancel.load()) {
        // Every layer on a clear picture: a walk writes only its own pixels.
        pixels.Fill(0);
        if (!walk.Next(layer, &pixels))
            break;
        Thumbnail thumbnail;
        if (!LayerThumbnail(pixels, layer, side, thumbnail))
            thumbnail.clear();
        out.push_back(std::move(thumbnail));
    }
    return true;
}
