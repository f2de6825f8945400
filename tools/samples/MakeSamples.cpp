// Writes the sample documents of samples/: small pictures in both formats and
// both QVR versions, with several blend modes, hidden layers and Japanese
// layer names, so that the viewer has something to show.
//
//   make_samples OUTPUT_FOLDER

#include "tests/support/DocWriter.h"
#include "tools/ToolArguments.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace docwriter;

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

struct Rgba {
    double r, g, b, a; // 0 to 1
};

int ToByte(double v) {
    return v <= 0 ? 0 : (v >= 1 ? 255 : int(v * 255 + 0.5));
}
double Clamp01(double v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}
// Coverage of a pixel at signed distance d from an edge (inside negative).
double Edge(double d) {
    return Clamp01(0.5 - d);
}

// A QVM layer drawn by a function of picture coordinates (y from the top).
QvmLayer PaintedLayer(const char* name, uint8_t mode, uint8_t opacity, const std::function<Rgba(int, int)>& paint) {
    QvmLayer layer;
    layer.name = name;
    layer.blendMode = mode;
    layer.opacity = opacity;
    layer.pixels.resize(size_t(kWidth) * kHeight * 4);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const Rgba c = paint(x, y);
            uint8_t* p = &layer.pixels[(size_t(kHeight - 1 - y) * kWidth + x) * 4];
            p[0] = uint8_t(ToByte(c.b));
            p[1] = uint8_t(ToByte(c.g));
            p[2] = uint8_t(ToByte(c.r));
            p[3] = uint8_t(ToByte(c.a));
        }
    }
    layer.stream = Compress(layer.pixels, 9);
    return layer;
}

Rgba Hue(double h) {
    const double r = Clamp01(std::fabs(h * 6 - 3) - 1);
    const double g = Clamp01(2 - std::fabs(h * 6 - 2));
    const double b = Clamp01(2 - std::fabs(h * 6 - 4));
    return {r, g, b, 1};
}

Bytes Sunset() {
    QvmDocument doc;
    doc.width = kWidth;
    doc.height = kHeight;
    doc.layers.push_back(PaintedLayer("\x8B\xF3", 0, 128, [](int, int y) { // sky
        const double t = y / double(kHeight - 1);
        return Rgba{0.15 + 0.85 * t, 0.2 + 0.45 * t, 0.55 - 0.35 * t, 1};
    }));
    doc.layers.push_back(PaintedLayer("\x91\xBE\x97\x7A", 4, 128, [](int x, int y) { // sun, Screen
        const double d = std::hypot(x - 230.0, y - 95.0);
        const double glow = Clamp01(1 - (d - 30) / 70);
        return Rgba{1, 0.85, 0.45, std::max(Edge(d - 30), glow * glow * 0.6)};
    }));
    doc.layers.push_back(PaintedLayer("\x8B\x75", 1, 128, [](int x, int y) { // hills, Multiply
        const double top = 175 + 18 * std::sin(x / 37.0) + 9 * std::sin(x / 13.0 + 1);
        const double back = 150 + 25 * std::sin(x / 53.0 + 2);
        const double front = Edge(top - y);
        return front > 0 ? Rgba{0.25, 0.5, 0.2, front} : Rgba{0.55, 0.45, 0.6, Edge(back - y)};
    }));
    doc.layers.push_back(PaintedLayer("light rays", 5, 64, [](int x, int y) { // Overlay
        const double a = std::atan2(y - 95.0, x - 230.0);
        const double ray = 0.5 + 0.5 * std::cos(a * 9);
        return Rgba{1, 1, 0.9, y < 170 ? ray * 0.8 : 0};
    }));
    QvmLayer draft = PaintedLayer("\x89\xBA\x8F\x91\x82\xAB\x81\x69\x94\xF1\x95\x5C\x8E\xA6\x81\x6A", 0, 128,
                                  [](int x, int y) { // draft (hidden)
                                      const bool line = std::abs(x - y) < 3 || std::abs(x + y - kHeight) < 3;
                                      return Rgba{1, 0, 0, line ? 1.0 : 0.0};
                                  });
    draft.flags = 0;
    doc.layers.push_back(draft);
    return WriteQvm(doc);
}

Bytes BlendModes() {
    static const char* const kNames[21] = {
        "Normal",     "Multiply", "Add",    "Subtract",    "Screen",      "Overlay",      "Soft light",
        "Hard light", "Dodge",    "Burn",   "Linear burn", "Vivid light", "Linear light", "Pin light",
        "Difference", "Lighten",  "Darken", "Hue",         "Saturation",  "Color",        "Luminosity"};
    QvmDocument doc;
    doc.width = kWidth;
    doc.height = kHeight;
    doc.layers.push_back(PaintedLayer("rainbow", 0, 128, [](int x, int y) {
        // Bands of 4 columns and 8 rows keep the stream small.
        const Rgba c = Hue((x / 4) * 4 / double(kWidth));
        const double v = 0.35 + 0.65 * (1 - (y / 8) * 8 / double(kHeight));
        return Rgba{c.r * v + 0.1, c.g * v + 0.1, c.b * v + 0.1, 1};
    }));
    // One cell per mode, 7 across and 3 down, each holding the same swatch.
    for (int mode = 0; mode < 21; ++mode) {
        const int left = (mode % 7) * 45 + 3, top = (mode / 7) * 80 + 4;
        doc.layers.push_back(PaintedLayer(kNames[mode], uint8_t(mode), 128, [=](int x, int y) {
            const int u = x - left, v = y - top;
            if (u < 0 || u >= 39 || v < 0 || v >= 72)
                return Rgba{0, 0, 0, 0};
            const double t = u / 38.0;
            if (v < 36)
                return Rgba{t, t, t, 1}; // grey ramp
            const Rgba c = Hue(v / 72.0);
            return Rgba{c.r * (0.3 + 0.7 * t), c.g * (0.3 + 0.7 * t), c.b * (0.3 + 0.7 * t), 1};
        }));
    }
    return WriteQvm(doc);
}

// A QVR colour field: byte 0 blue, 1 green, 2 red.
uint32_t Colour(int r, int g, int b) {
    return uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16;
}

QvrMaskLayer MaskLayer(uint32_t colour, uint8_t opacity, const std::function<double(int, int)>& coverage) {
    QvrMaskLayer layer;
    layer.color = colour;
    layer.opacity = opacity;
    const int stride = (kWidth + 3) & ~3;
    layer.mask.assign(size_t(stride) * kHeight, 0);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            layer.mask[size_t(y) * stride + x] = uint8_t(ToByte(coverage(x, y)));
    layer.stream = Compress(layer.mask, 9);
    return layer;
}

double Disc(int x, int y, double cx, double cy, double r) {
    return Edge(std::hypot(x - cx, y - cy) - r);
}

Bytes Shapes() {
    QvrV0Document doc;
    doc.width = kWidth;
    doc.height = kHeight;
    doc.layers.push_back(MaskLayer(Colour(230, 236, 245), 128, [](int, int y) { return 1 - y / 600.0; }));
    doc.layers.push_back(MaskLayer(Colour(220, 40, 60), 90, [](int x, int y) { return Disc(x, y, 130, 100, 65); }));
    doc.layers.push_back(MaskLayer(Colour(40, 170, 80), 90, [](int x, int y) { return Disc(x, y, 190, 100, 65); }));
    doc.layers.push_back(MaskLayer(Colour(50, 80, 220), 90, [](int x, int y) { return Disc(x, y, 160, 150, 65); }));
    QvrMaskLayer hidden = MaskLayer(Colour(0, 0, 0), 128, [](int x, int) { return x < 20 ? 1.0 : 0.0; });
    hidden.flags = 0;
    doc.layers.push_back(hidden);
    doc.layers.push_back(MaskLayer(Colour(40, 40, 40), 128, [](int x, int y) {
        return std::max(Edge(std::fabs(y - 215.0) - 1.5) * (x > 40 && x < 280), 0.0); // a ruled line
    }));
    return WriteQvrV0(doc);
}

Bytes Flattened() {
    // A tartan: two sets of soft stripes woven together.
    QvrV0Document doc;
    doc.width = kWidth;
    doc.height = kHeight;
    doc.flattened.resize(size_t(kWidth) * kHeight * 4);
    const auto stripe = [](int v) {
        const int p = v % 48;
        return p < 16 ? Rgba{0.55, 0.1, 0.15, 1} : (p < 20 ? Rgba{0.95, 0.85, 0.4, 1} : Rgba{0.1, 0.25, 0.2, 1});
    };
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            // Twill: warp and weft alternate along diagonals.
            const Rgba c = ((x + y) / 2) % 2 ? stripe(x) : stripe(y);
            uint8_t* p = &doc.flattened[(size_t(kHeight - 1 - y) * kWidth + x) * 4];
            p[0] = uint8_t(ToByte(c.b));
            p[1] = uint8_t(ToByte(c.g));
            p[2] = uint8_t(ToByte(c.r));
            p[3] = 255;
        }
    }
    doc.flattenedStream = Compress(doc.flattened, 9);
    return WriteQvrV0(doc);
}

// A tile layer at offset (ox, oy) holding only the tiles the shape touches.
QvrTileLayer TileLayer(int ox, int oy, uint32_t colour, uint8_t opacity,
                       const std::function<double(int, int)>& coverage) {
    QvrTileLayer layer;
    layer.x = ox;
    layer.y = oy;
    layer.color = colour;
    layer.opacity = opacity;
    for (int row = 0; oy + 64 * row < kHeight; ++row) {
        for (int column = 0; ox + 64 * column < kWidth; ++column) {
            QvrTile tile;
            tile.column = uint16_t(column);
            tile.row = uint16_t(row);
            bool any = false;
            for (int i = 0; i < 64; ++i) {
                for (int j = 0; j < 64; ++j) {
                    const uint8_t v = uint8_t(ToByte(coverage(ox + 64 * column + j, oy + 64 * row + i)));
                    any = any || v != 0;
                    tile.coverage.push_back(v);
                }
            }
            if (any)
                layer.tiles.push_back(tile);
        }
    }
    return layer;
}

Bytes Tiles() {
    QvrV1Document doc;
    doc.width = kWidth;
    doc.height = kHeight;
    doc.layers.push_back(TileLayer(-20, -12, Colour(250, 240, 215), 128, [](int, int) { return 1.0; }));
    doc.layers.push_back(TileLayer(-20, -12, Colour(20, 130, 140), 110, [](int x, int y) {
        const double d = std::hypot(x - 110.0, y - 120.0);
        return d < 95 ? Edge(std::fabs(std::fmod(d, 16.0) - 8) - 3) : 0.0; // rings
    }));
    doc.layers.push_back(TileLayer(7, 3, Colour(200, 40, 150), 128, [](int x, int y) {
        const double a = std::atan2(y - 120.0, x - 235.0), d = std::hypot(x - 235.0, y - 120.0);
        return Edge(d - (40 + 25 * std::cos(5 * a))); // a five-pointed flower
    }));
    // Sparkles: noisy coverage compresses badly, so these tiles are stored plainly.
    uint32_t seed = 2024;
    QvrTileLayer sparkles = TileLayer(0, 0, Colour(235, 160, 40), 128, [&seed](int x, int y) {
        seed = seed * 1664525u + 1013904223u;
        return (y < 64 && x >= 192 && (seed >> 24) > 246) ? 1.0 : 0.0;
    });
    for (QvrTile& tile : sparkles.tiles)
        tile.plain = true;
    doc.layers.push_back(sparkles);
    QvrTileLayer hidden =
        TileLayer(0, 0, Colour(0, 0, 0), 128, [](int x, int y) { return (x + y) % 40 < 2 ? 1.0 : 0.0; });
    hidden.flags = 0;
    doc.layers.push_back(hidden);
    return WriteQvrV1(doc);
}

} // namespace

const char kUsage[] = "usage: make_samples OUTPUT_FOLDER\n"
                      "Writes the sample documents (QVM and QVR) into OUTPUT_FOLDER, which must exist.\n"
                      "\n"
                      "  -h, --help  this text\n"
                      "  --          what follows is the folder, even when it starts with '-'\n"
                      "\n"
                      "Exit status: 0 when every sample was written, 1 when one could not be,\n"
                      "2 for bad usage.\n";

int main(int argc, char** argv) {
    std::vector<std::string> args;
    const int early = toolargs::Read(argc, argv, "make_samples", kUsage, args);
    if (early != toolargs::kGoOn)
        return early;
    if (args.size() != 1) {
        std::fprintf(stderr, "%s", kUsage);
        return toolargs::kBadUsage;
    }
    const std::string folder = args[0];
    const struct {
        const char* name;
        Bytes (*make)();
    } samples[] = {
        {"sunset.qvm", Sunset}, {"blend-modes.qvm", BlendModes}, {"shapes.qvr", Shapes}, {"flattened.qvr", Flattened},
        {"tiles.qvr", Tiles},
    };
    for (const auto& sample : samples) {
        const Bytes bytes = sample.make();
        const std::string path = folder + "/" + sample.name;
        if (!WriteFile(path, bytes)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s: %zu bytes\n", sample.name, bytes.size());
    }
    return 0;
}
