#include "decode/LoadResult.h"

#include "pixels/ImageBuffer.h"

namespace loadresult {

namespace {

LoadResult Failed(LoadCode code, std::string reason, uint32_t layer = 0, uint32_t tile = 0) {
    LoadResult result;
    result.code = code;
    result.layer = layer;
    result.tile = tile;
    result.reason = std::move(reason);
    return result;
}

std::string Size(uint32_t width, uint32_t height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

std::string OfLayer(uint32_t layer, uint32_t tile) {
    const std::string number = std::to_string(layer);
    return tile == 0 ? "layer " + number : "tile " + std::to_string(tile) + " of layer " + number;
}

} // namespace

LoadResult NotDocument() {
    return Failed(LoadCode::NotDocument, "not a QVM/QVR document");
}

LoadResult CannotOpen() {
    return Failed(LoadCode::CannotOpen, "cannot open");
}

LoadResult UnsupportedVersion(uint32_t version) {
    return Failed(LoadCode::UnsupportedVersion, "unsupported version " + std::to_string(version));
}

LoadResult CorruptHeader() {
    return Failed(LoadCode::CorruptHeader, "corrupt header");
}

LoadResult EmptyPicture(uint32_t width, uint32_t height) {
    return Failed(LoadCode::EmptyPicture, "empty picture (" + Size(width, height) + ")");
}

LoadResult TooLarge(uint32_t width, uint32_t height) {
    return Failed(LoadCode::TooLarge, "picture too large (" + Size(width, height) + ")");
}

LoadResult OutOfMemory(uint32_t width, uint32_t height) {
    return Failed(LoadCode::OutOfMemory, "not enough memory for " + Size(width, height));
}

LoadResult TruncatedAt(uint32_t layer, uint32_t tile) {
    return Failed(LoadCode::Truncated, "truncated at " + OfLayer(layer, tile), layer, tile);
}

LoadResult CorruptLayer(uint32_t layer) {
    return Failed(LoadCode::CorruptLayer, "corrupt " + OfLayer(layer, 0), layer);
}

LoadResult CorruptMask(uint32_t layer) {
    return Failed(LoadCode::CorruptMask, "corrupt mask of " + OfLayer(layer, 0), layer);
}

LoadResult CorruptPicture() {
    return Failed(LoadCode::CorruptPicture, "corrupt flattened picture");
}

LoadResult CorruptTile(uint32_t layer, uint32_t tile) {
    return Failed(LoadCode::CorruptTile, "corrupt " + OfLayer(layer, tile), layer, tile);
}

LoadResult ReadError() {
    return Failed(LoadCode::ReadError, "cannot read");
}

LoadResult NotCreated(uint32_t width, uint32_t height) {
    if (width == 0 || height == 0)
        return EmptyPicture(width, height);
    return ImageBuffer::SizeFits(width, height) ? OutOfMemory(width, height) : TooLarge(width, height);
}

LoadResult Changed() {
    return Failed(LoadCode::Changed, "changed while it was read");
}

LoadResult Cancelled() {
    return Failed(LoadCode::Cancelled, "cancelled");
}

} // namespace loadresult
