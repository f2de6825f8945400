#pragma once
// Writes QVM and QVR documents field by field for the tests, the fuzz seeds
// and the sample documents. Every field can be set to any value, so broken and
// hostile documents are made the same way as valid ones. All integers are
// written little-endian, as the formats store them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace docwriter {

using Bytes = std::vector<uint8_t>;

void PutU8(Bytes& out, uint8_t v);
void PutU16(Bytes& out, uint16_t v);
void PutU32(Bytes& out, uint32_t v);
void Append(Bytes& out, const Bytes& more);

// One zlib stream (header, deflate data, Adler-32 trailer) of raw.
Bytes Compress(const Bytes& raw, int level = 6);

// width x height pixels of one colour, in ImageBuffer order (blue, green,
// red, alpha).
Bytes SolidPixels(int width, int height, uint8_t b, uint8_t g, uint8_t r, uint8_t a);

struct QvmLayer {
    std::string name; // up to 32 bytes; a 32-byte name is stored without NUL
    uint8_t blendMode = 0;
    uint8_t opacity = 128;
    uint8_t flags = 1;                      // bit 0: visible
    Bytes recordExtra;                      // the LS - 35 bytes after the flags
    Bytes pixels;                           // width x height x 4, bottom row first
    std::optional<Bytes> stream;            // written instead of Compress(pixels)
    Bytes trailing;                         // bytes after the stream, inside the block
    std::optional<uint32_t> compressedSize; // CS; default: stream + trailing
};

// A layer with the given name, pixels, blend mode and opacity, visible.
QvmLayer MakeQvmLayer(const std::string& name, Bytes pixels, uint8_t blendMode = 0, uint8_t opacity = 128);

struct QvmDocument {
    std::string magic = "QVMDATA";
    uint8_t version = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    std::optional<uint16_t> layerCount;   // default: layers.size()
    Bytes headerExtra;                    // the HS - 10 bytes of the header block
    std::optional<uint32_t> headerLength; // HS; default 10 + headerExtra
    Bytes block;                          // the block of length B
    std::optional<uint32_t> recordLength; // LS; default 35 + the first layer's recordExtra
    std::vector<QvmLayer> layers;
};

Bytes WriteQvm(const QvmDocument& doc);

struct QvrMaskLayer {
    uint8_t opacity = 128;
    uint8_t flags = 1;
    uint32_t color = 0; // byte 0 blue, byte 1 green, byte 2 red, byte 3 unused
    Bytes mask;         // ((width + 3) & ~3) x height coverage bytes, top row first
    std::optional<Bytes> stream;
    std::optional<uint32_t> compressedSize;
};

struct QvrV0Document {
    std::string magic = "QVRFDAT";
    uint8_t version = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    std::optional<uint16_t> layerCount;
    uint8_t checkByte = 0;
    Bytes flattened;                      // when not empty: the stored picture (S != 0)
    std::optional<Bytes> flattenedStream; // written instead of Compress(flattened)
    std::vector<QvrMaskLayer> layers;
};

Bytes WriteQvrV0(const QvrV0Document& doc);

struct QvrTile {
    uint16_t column = 0;
    uint16_t row = 0;
    Bytes coverage;               // 4096 bytes, rows of 64, top row first
    bool plain = false;           // store the 4096 bytes as they are
    std::optional<Bytes> data;    // written as the tile's data instead
    std::optional<uint16_t> size; // the size field; default: data length
};

struct QvrTileLayer {
    int32_t x = 0;
    int32_t y = 0;
    uint32_t unused1 = 0;
    uint32_t unused2 = 0;
    std::optional<uint32_t> tileCount; // default: tiles.size()
    uint8_t opacity = 128;
    uint32_t color = 0;
    uint8_t flags = 1;
    Bytes recordExtra; // the LS - 79 bytes
    std::vector<QvrTile> tiles;
};

struct QvrV1Document {
    std::string magic = "QVRFDAT";
    uint8_t version = 1;
    Bytes block; // the block of length B
    uint16_t width = 0;
    uint16_t height = 0;
    std::optional<uint16_t> layerCount;
    Bytes headerExtra;                    // the HS - 12 bytes
    std::optional<uint16_t> headerLength; // HS; default 12 + headerExtra
    std::optional<uint16_t> recordLength; // LS; default 79 + the first layer's recordExtra
    std::vector<QvrTileLayer> layers;
};

Bytes WriteQvrV1(const QvrV1Document& doc);

// Writes bytes (or text, byte for byte) to path; true on success.
bool WriteFile(const std::string& path, const Bytes& bytes);
bool WriteText(const std::string& path, const std::string& text);
Bytes ReadFile(const std::string& path);

} // namespace docwriter
