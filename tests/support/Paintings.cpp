#include "tests/support/Paintings.h"

namespace paintings {

namespace {

// A 32-bit integer mix with good avalanche; the same on every compiler.
uint32_t Hash(uint32_t v) {
    v ^= v >> 16;
    v *= 0x7FEB352Du;
    v ^= v >> 15;
    v *= 0x846CA68Bu;
    v ^= v >> 16;
    return v;
}

uint32_t Hash3(uint32_t a, uint32_t b, uint32_t c) {
    return Hash(a * 0x9E3779B1u ^ Hash(b * 0x85EBCA77u ^ Hash(c)));
}

int Clamp255(int v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

constexpr int kCell = 64;     // one blob per cell of this many pixels square
constexpr int kSoftEdge = 10; // pixels over which a blob fades out

// About a quarter of all tiles are present; one in seven of those is grainy.
bool TilePresent(uint32_t column, uint32_t row, uint32_t layer) {
    return Hash3(column, row, layer) % 4 == 0;
}
bool TileGrainy(uint32_t column, uint32_t row, uint32_t layer) {
    return Hash3(row, column, layer + 77) % 7 == 0;
}

} // namespace

uint8_t CoverageAt(int x, int y, uint32_t seed) {
    const int cx = x >= 0 ? x / kCell : -1 - (-1 - x) / kCell;
    const int cy = y >= 0 ? y / kCell : -1 - (-1 - y) / kCell;
    const uint32_t cell = Hash3(uint32_t(cx), uint32_t(cy), seed);
    if (cell % 3 == 0)
        return 0;                                // an empty cell
    const int radius = 14 + int(cell >> 8) % 18; // 14 to 31: blobs stay inside their cell
    const int centreX = cx * kCell + 32 + int((cell >> 16) % 5) - 2;
    const int centreY = cy * kCell + 32 + int((cell >> 24) % 5) - 2;
    const int dx = x - centreX, dy = y - centreY;
    const int distance2 = dx * dx + dy * dy;
    const int inner = radius - kSoftEdge;
    if (distance2 <= inner * inner)
        return 255;
    if (distance2 >= radius * radius)
        return 0;
    // Fade with the squared distance across the soft edge, with some grain.
    const int fade = (radius * radius - distance2) * 255 / (radius * radius - inner * inner);
    const int grain = int(Hash3(uint32_t(x), uint32_t(y), seed) & 15) - 8;
    return uint8_t(Clamp255(fade + grain));
}

Bytes LayerPixels(int width, int height, uint32_t seed, Cover cover) {
    Bytes out(size_t(width) * size_t(height) * 4);
    const int w = width > 1 ? width - 1 : 1;
    const int h = height > 1 ? height - 1 : 1;
    for (int y = 0; y < height; ++y) {
        uint8_t* p = out.data() + size_t(height - 1 - y) * size_t(width) * 4;
        for (int x = 0; x < width; ++x, p += 4) {
            // Broad ramps in three directions, a hue band that wraps, and
            // brush texture over a third of the picture.
            int b = x * 255 / w;
            int g = y * 255 / h;
            int r = int(((x + y) / 3 + seed * 53) & 255);
            if ((uint32_t(x >> 5) + uint32_t(y >> 5) + seed) % 3 == 0) {
                const uint32_t n = Hash3(uint32_t(x), uint32_t(y), seed);
                b += int(n & 15) - 8;
                g += int((n >> 4) & 15) - 8;
                r += int((n >> 8) & 15) - 8;
            }
            p[0] = uint8_t(Clamp255(b + int(seed * 29 % 64) - 32));
            p[1] = uint8_t(Clamp255(g));
            p[2] = uint8_t(Clamp255(r));
            p[3] = cover == Cover::Opaque ? 255 : CoverageAt(x, y, seed);
        }
    }
    return out;
}

Bytes CoverageMask(int width, int height, uint32_t seed) {
    const size_t stride = (size_t(width) + 3) & ~size_t(3);
    Bytes out(stride * size_t(height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out[size_t(y) * stride + size_t(x)] = CoverageAt(x, y, seed);
    return out;
}

docwriter::QvmDocument TableModeQvm(int width, int height) {
    struct Recipe {
        uint8_t mode, opacity;
        Cover cover;
    };
    const Recipe recipes[] = {{0, 128, Cover::Opaque},  {1, 128, Cover::Partial}, {5, 128, Cover::Partial},
                              {4, 100, Cover::Partial}, {0, 64, Cover::Partial},  {16, 128, Cover::Partial}};
    docwriter::QvmDocument doc;
    doc.width = uint16_t(width);
    doc.height = uint16_t(height);
    uint32_t seed = 1;
    for (const Recipe& s : recipes) {
        docwriter::QvmLayer layer;
        layer.name = "layer " + std::to_string(seed);
        layer.blendMode = s.mode;
        layer.opacity = s.opacity;
        // Only the stream is kept: a large document's raw layers would not fit twice.
        layer.stream = docwriter::Compress(LayerPixels(width, height, seed++, s.cover));
        doc.layers.push_back(std::move(layer));
    }
    return doc;
}

docwriter::QvmDocument EveryModeQvm(int width, int height) {
    docwriter::QvmDocument doc;
    doc.width = uint16_t(width);
    doc.height = uint16_t(height);
    docwriter::QvmLayer bottom;
    bottom.pixels = LayerPixels(width, height, 99, Cover::Opaque);
    doc.layers.push_back(bottom);
    for (uint8_t code = 0; code <= 20; ++code) {
        docwriter::QvmLayer layer;
        layer.blendMode = code;
        layer.opacity = uint8_t(128 - (code * 5) % 64);
        layer.pixels = LayerPixels(width, height, 10u + code, Cover::Partial);
        doc.layers.push_back(layer);
        if (code == 10) {
            docwriter::QvmLayer hidden = layer;
            hidden.flags = 0;
            hidden.blendMode = 14;
            doc.layers.push_back(hidden);
        }
    }
    return doc;
}

docwriter::QvrV1Document SparseTileQvr(int width, int height, int layerCount) {
    docwriter::QvrV1Document doc;
    doc.width = uint16_t(width);
    doc.height = uint16_t(height);
    for (int l = 0; l < layerCount; ++l) {
        const uint32_t seed = 200u + uint32_t(l);
        docwriter::QvrTileLayer layer;
        layer.x = -((l * 7) % 64);
        layer.y = (l * 13) % 64 - 32;
        layer.opacity = uint8_t(128 - (l * 6) % 64);
        layer.color = Hash(seed) & 0xFFFFFF;
        const uint32_t columns = uint32_t((width - layer.x + 63) / 64);
        const uint32_t rows = uint32_t((height - layer.y + 63) / 64);
        for (uint32_t row = 0; row < rows; ++row) {
            for (uint32_t column = 0; column < columns; ++column) {
                if (!TilePresent(column, row, seed))
                    continue;
                docwriter::QvrTile tile;
                tile.column = uint16_t(column);
                tile.row = uint16_t(row);
                tile.coverage.resize(4096);
                const bool grainy = TileGrainy(column, row, seed);
                for (int j = 0; j < 64; ++j) {
                    for (int i = 0; i < 64; ++i) {
                        const int x = layer.x + int(column) * 64 + i, y = layer.y + int(row) * 64 + j;
                        tile.coverage[size_t(j * 64 + i)] =
                            grainy ? uint8_t(Hash3(uint32_t(x), uint32_t(y), seed)) : CoverageAt(x, y, seed);
                    }
                }
                // The stored bytes are kept with the tile, so benchmarks can
                // inflate exactly what the reader does. A grainy tile does not
                // compress to under 4096 bytes and is stored plainly.
                Bytes packed = docwriter::Compress(tile.coverage);
                tile.data = packed.size() < 4096 ? std::move(packed) : tile.coverage;
                layer.tiles.push_back(std::move(tile));
            }
        }
        doc.layers.push_back(std::move(layer));
    }
    return doc;
}

docwriter::QvrV0Document MaskQvr(int width, int height, int layerCount) {
    docwriter::QvrV0Document doc;
    doc.width = uint16_t(width);
    doc.height = uint16_t(height);
    for (int l = 0; l < layerCount; ++l) {
        const uint32_t seed = 300u + uint32_t(l);
        docwriter::QvrMaskLayer layer;
        layer.opacity = uint8_t(128 - (l * 9) % 64);
        layer.flags = l == 1 ? 0 : 1;
        layer.color = Hash(seed) & 0xFFFFFF;
        layer.stream = docwriter::Compress(CoverageMask(width, height, seed));
        doc.layers.push_back(std::move(layer));
    }
    return doc;
}

docwriter::QvmDocument ThreeLayerQvm(int width, int height) {
    docwriter::QvmDocument doc;
    doc.width = uint16_t(width);
    doc.height = uint16_t(height);
    const char* names[] = {"paper", "colour", "line"};
    for (int i = 0; i < 3; ++i) {
        docwriter::QvmLayer layer;
        layer.name = names[i];
        layer.pixels = LayerPixels(width, height, uint32_t(i + 1), Cover::Partial);
        doc.layers.push_back(layer);
    }
    doc.layers[0].flags = 0;
    doc.layers[1].opacity = 50;
    return doc;
}

} // namespace paintings
