#pragma once
// What a layered writer (PSD, OpenRaster) takes: the picture Tessavel shows
// for the document, which becomes the file's merged picture, the layers'
// records, bottom first, and a way to expand one layer at a time into a
// picture of the document's size. LayeredExport.h makes one from a document.

#include "decode/LayerWalk.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class ImageBuffer;

struct LayeredLayer {
    std::string name; // UTF-8
    uint8_t blendMode = 0;
    uint8_t opacity = 128; // 0 to 128
    bool visible = true;
};

struct LayeredSource {
    const ImageBuffer* merged = nullptr;
    std::vector<LayeredLayer> layers; // bottom first
    // Expands layer index (called once for each, in order from 0) into
    // pixels and sets its bounds; false when the document cannot be read on.
    // A layer whose pixels could not be decoded comes back empty.
    std::function<bool(size_t index, ImageBuffer& pixels, WalkedLayer& walked)> read;
};

// The blend modes' codes 0 to 20; a code beyond them blends as Normal.
inline uint8_t KnownBlendMode(uint8_t code) {
    return code <= 20 ? code : 0;
}

// Opacity above 128 is taken as 128.
inline uint8_t ClampedOpacity(uint8_t opacity) {
    return opacity > 128 ? 128 : opacity;
}
