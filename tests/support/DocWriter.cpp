#include "tests/support/DocWriter.h"

#include <cstdio>
#include <utility>
#include <zlib.h>

namespace docwriter {

void PutU8(Bytes& out, uint8_t v) {
    out.push_back(v);
}

void PutU16(Bytes& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void PutU32(Bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

Bytes Compress(const Bytes& raw, int level) {
    uLongf size = compressBound(uLong(raw.size()));
    Bytes out(size);
    if (compress2(out.data(), &size, raw.data(), uLong(raw.size()), level) != Z_OK)
        return {};
    out.resize(size);
    return out;
}

Bytes SolidPixels(int width, int height, uint8_t b, uint8_t g, uint8_t r, uint8_t a) {
    Bytes out;
    out.reserve(size_t(width) * size_t(height) * 4);
    for (int i = 0; i < width * height; ++i) {
        out.push_back(b);
        out.push_back(g);
        out.push_back(r);
        out.push_back(a);
    }
    return out;
}

namespace {

void PutMagic(Bytes& out, const std::string& magic) {
    out.insert(out.end(), magic.begin(), magic.end());
}

void PutName(Bytes& out, const std::string& name) {
    for (size_t i = 0; i < 32; ++i)
        out.push_back(i < name.size() ? uint8_t(name[i]) : 0);
}

} // namespace

QvmLayer MakeQvmLayer(const std::string& name, Bytes pixels, uint8_t blendMode, uint8_t opacity) {
    QvmLayer layer;
    layer.name = name;
    layer.blendMode = blendMode;
    layer.opacity = opacity;
    layer.pixels = std::move(pixels);
    return layer;
}

Bytes WriteQvm(const QvmDocument& doc) {
    Bytes out;
    PutMagic(out, doc.magic);
    PutU8(out, doc.version);
    PutU32(out, doc.headerLength.value_or(uint32_t(10 + doc.headerExtra.size())));
    PutU16(out, doc.width);
    PutU16(out, doc.height);
    PutU16(out, doc.layerCount.value_or(uint16_t(doc.layers.size())));
    PutU32(out, 0);
    Append(out, doc.headerExtra);
    PutU32(out, 0);
    PutU32(out, uint32_t(doc.block.size()));
    Append(out, doc.block);
    const uint32_t defaultLs = uint32_t(35 + (doc.layers.empty() ? 0 : doc.layers[0].recordExtra.size()));
    PutU32(out, doc.recordLength.value_or(defaultLs));
    for (const QvmLayer& layer : doc.layers) {
        PutName(out, layer.name);
        PutU8(out, layer.blendMode);
        PutU8(out, layer.opacity);
        PutU8(out, layer.flags);
        Append(out, layer.recordExtra);
        const Bytes stream = layer.stream ? *layer.stream : Compress(layer.pixels);
        PutU32(out, layer.compressedSize.value_or(uint32_t(stream.size() + layer.trailing.size())));
        Append(out, stream);
        Append(out, layer.trailing);
    }
    return out;
}

Bytes WriteQvrV0(const QvrV0Document& doc) {
    Bytes out;
    PutMagic(out, doc.magic);
    PutU8(out, doc.version);
    PutU16(out, doc.width);
    PutU16(out, doc.height);
    PutU16(out, doc.layerCount.value_or(uint16_t(doc.layers.size())));
    PutU32(out, 0);
    PutU8(out, doc.checkByte);
    if (!doc.flattened.empty() || doc.flattenedStream) {
        const Bytes stream = doc.flattenedStream ? *doc.flattenedStream : Compress(doc.flattened);
        PutU32(out, uint32_t(stream.size()));
        Append(out, stream);
        return out;
    }
    PutU32(out, 0);
    for (const QvrMaskLayer& layer : doc.layers) {
        for (int i = 0; i < 32; ++i)
            PutU8(out, 0);
        PutU8(out, layer.opacity);
        PutU8(out, layer.flags);
        PutU32(out, layer.color);
        const Bytes stream = layer.stream ? *layer.stream : Compress(layer.mask);
        PutU32(out, layer.compressedSize.value_or(uint32_t(stream.size())));
        Append(out, stream);
    }
    return out;
}

Bytes WriteQvrV1(const QvrV1Document& doc) {
    Bytes out;
    PutMagic(out, doc.magic);
    PutU8(out, doc.version);
    PutU32(out, 0);
    PutU32(out, uint32_t(doc.block.size()));
    Append(out, doc.block);
    PutU16(out, doc.headerLength.value_or(uint16_t(12 + doc.headerExtra.size())));
    PutU16(out, doc.width);
    PutU16(out, doc.height);
    PutU16(out, 0);
    PutU16(out, doc.layerCount.value_or(uint16_t(doc.layers.size())));
    PutU16(out, 0);
    const uint16_t defaultLs = uint16_t(79 + (doc.layers.empty() ? 0 : doc.layers[0].recordExtra.size()));
    PutU16(out, doc.recordLength.value_or(defaultLs));
    Append(out, doc.headerExtra);
    for (const QvrTileLayer& layer : doc.layers) {
        PutU32(out, uint32_t(layer.x));
        PutU32(out, uint32_t(layer.y));
        PutU32(out, layer.unused1);
        PutU32(out, layer.unused2);
        PutU32(out, layer.tileCount.value_or(uint32_t(layer.tiles.size())));
        for (int i = 0; i < 50; ++i)
            PutU8(out, 0);
        PutU8(out, layer.opacity);
        PutU32(out, layer.color);
        PutU8(out, layer.flags);
        for (int i = 0; i < 3; ++i)
            PutU8(out, 0);
        Append(out, layer.recordExtra);
        for (const QvrTile& tile : layer.tiles) {
            Bytes data;
            if (tile.data) {
                data = *tile.data;
            } else if (tile.plain) {
                data = tile.coverage;
            } else {
                data = Compress(tile.coverage);
                // A stream of 4096 bytes or more would read as plain bytes.
                if (data.size() >= 4096)
                    data = tile.coverage;
            }
            PutU16(out, tile.column);
            PutU16(out, tile.row);
            PutU16(out, tile.size.value_or(uint16_t(data.size())));
            Append(out, data);
        }
    }
    return out;
}

bool WriteFile(const std::string& path, const Bytes& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool WriteText(const std::string& path, const std::string& text) {
    return WriteFile(path, Bytes(text.begin(), text.end()));
}

Bytes ReadFile(const std::string& path) {
    Bytes out;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return out;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        out.insert(out.end(), buffer, buffer + n);
    std::fclose(file);
    return out;
}

} // namespace docwriter
