#pragma once
// Made-up paintings for the tests that pin decoded bytes and for the
// benchmarks: layer pixels, coverage masks and whole documents that look like
// painted work (smooth ramps, textured strokes, soft-edged shapes, empty
// areas) rather than flat colour or pure noise, so compositing takes every
// branch and the zlib streams cost what real documents cost. Everything is
// derived from the size and a seed, the same on every platform.

#include "tests/support/DocWriter.h"

#include <cstdint>

namespace paintings {

using docwriter::Bytes;

enum class Cover {
    Opaque,  // alpha 255 everywhere
    Partial, // soft-edged shapes: about a third clear, a third solid, the rest between
};

// width x height pixels in ImageBuffer order (blue, green, red, alpha; the
// bottom row first).
Bytes LayerPixels(int width, int height, uint32_t seed, Cover cover);

// Coverage of picture pixel (x, y) for a layer painted with seed: soft blobs
// with empty space between them, the edges slightly grainy.
uint8_t CoverageAt(int x, int y, uint32_t seed);

// A QVR version 0 mask: rows of ((width + 3) & ~3) bytes, the top row first.
Bytes CoverageMask(int width, int height, uint32_t seed);

// Six visible table-mode layers (Normal, Multiply, Overlay, Screen, Normal at
// half opacity, Darken), the bottom one opaque, the others partly clear.
docwriter::QvmDocument TableModeQvm(int width, int height);

// Three named layers as the layer-export tests use them, bottom to top: a
// hidden "paper", a "colour" layer at opacity 50 and a "line" layer, each
// partly clear and painted with its own seed (1, 2, 3).
docwriter::QvmDocument ThreeLayerQvm(int width, int height);

// One partly clear layer per blend code 0 to 20, at varied opacities, with an
// invisible layer in between.
docwriter::QvmDocument EveryModeQvm(int width, int height);

// layerCount visible layers of sparse 64 x 64 tiles, each layer offset by a
// few pixels off the tile grid and covering about a quarter of the picture;
// some tiles are grainy enough to be stored plainly. Each tile's data holds
// the bytes stored for it.
docwriter::QvrV1Document SparseTileQvr(int width, int height, int layerCount);

// Version 0 with layerCount whole masks, one of them invisible.
docwriter::QvrV0Document MaskQvr(int width, int height, int layerCount);

} // namespace paintings
