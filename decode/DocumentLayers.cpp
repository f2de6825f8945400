#include "decode/DocumentLayers.h"

#include "base/ByteFile.h"
#include "decode/DocumentHeader.h"
#include "decode/QvmFormat.h"
#include "decode/QvrTileWalk.h"

#include <cstdio>

namespace {

bool ReadQvmLayers(ByteSource& file, DocumentLayers& out) {
    QvmHeader header;
    if (!ReadQvmHeader(file, header))
        return false;
    out.kind = DocumentLayers::Kind::Qvm;
    // Entries are added as their records are read: a forged count of 65 535
    // costs nothing until its records are there.
    for (uint32_t index = 0; index < header.layerCount; ++index) {
        QvmLayerRecord record;
        if (!ReadQvmLayerRecord(file, header.recordLength, record) || !file.Skip(record.compressedSize))
            return false;
        LayerEntry entry;
        entry.name = record.name;
        entry.blendMode = record.blendMode;
        entry.opacity = record.opacity;
        entry.visible = record.Visible();
        out.layers.push_back(entry);
    }
    return true;
}

// Version 0: width, height, layer count, 4 bytes, a check byte, S (non-zero
// for a flattened picture). Version 1: 4 bytes, B and B bytes, HS, width,
// height, 2 bytes, layer count.
bool ReadQvrHeader(ByteSource& file, DocumentLayers& out) {
    if (!file.ReadU8(out.qvrVersion))
        return false;
    out.kind = DocumentLayers::Kind::Qvr;
    uint16_t width = 0, height = 0;
    if (out.qvrVersion == 0) {
        uint8_t check = 0;
        uint32_t flattenedSize = 0;
        if (!file.ReadU16LE(width) || !file.ReadU16LE(height) || !file.ReadU16LE(out.qvrLayers) || !file.Skip(4) ||
            !file.ReadU8(check) || !file.ReadU32LE(flattenedSize))
            return false;
        out.qvrFlattened = flattenedSize != 0;
        return true;
    }
    uint32_t blockLength = 0;
    uint16_t headerLength = 0;
    return out.qvrVersion == 1 && file.Skip(4) && file.ReadU32LE(blockLength) && file.Skip(blockLength) &&
           file.ReadU16LE(headerLength) && file.ReadU16LE(width) && file.ReadU16LE(height) && file.Skip(2) &&
           file.ReadU16LE(out.qvrLayers);
}

LayerEntry QvrEntry(uint32_t index, uint8_t opacity, uint32_t colour, uint8_t flags) {
    LayerEntry entry;
    entry.name = "Layer " + std::to_string(index + 1);
    entry.opacity = opacity;
    entry.colour = colour;
    entry.visible = (flags & 1) != 0;
    return entry;
}

// Version 0 records: 32 bytes, opacity, flags, colour, CS and CS bytes of
// mask stream, stepped over by that length.
bool ReadQvrMaskLayers(ByteSource& file, uint16_t layerCount, DocumentLayers& out) {
    for (uint32_t index = 0; index < layerCount; ++index) {
        uint8_t opacity = 0, flags = 0;
        uint32_t colour = 0, compressedSize = 0;
        if (!file.Skip(32) || !file.ReadU8(opacity) || !file.ReadU8(flags) || !file.ReadU32LE(colour) ||
            !file.ReadU32LE(compressedSize) || !file.Skip(compressedSize))
            return false;
        out.layers.push_back(QvrEntry(index, opacity, colour, flags));
    }
    return true;
}

// Version 1 records with their tiles stepped over. A forged tile count ends
// at the first tile the file does not hold.
bool ReadQvrTileLayers(ByteSource& file, const DocumentHeader& header, DocumentLayers& out) {
    for (uint32_t index = 0; index < header.layerCount; ++index) {
        qvrtiles::TileLayer layer;
        if (!qvrtiles::ReadLayerRecord(file, uint16_t(header.recordLength), layer))
            return false;
        for (uint32_t t = 0; t < layer.tileCount; ++t) {
            uint16_t column = 0, row = 0, size = 0;
            if (!file.ReadU16LE(column) || !file.ReadU16LE(row) || !file.ReadU16LE(size) || !file.Skip(size))
                return false;
        }
        out.layers.push_back(QvrEntry(index, layer.opacity, layer.colour, layer.flags));
    }
    return true;
}

bool ReadQvrLayers(ByteSource& file, DocumentLayers& out) {
    const int64_t start = file.Tell();
    if (!file.Skip(7) || !ReadQvrHeader(file, out))
        return false;
    DocumentHeader header;
    if (out.qvrFlattened || file.Seek(start, ByteSource::FromStart) != start || !ReadDocumentHeader(file, header))
        return out.qvrFlattened;
    if (header.version == 0) {
        uint32_t flattenedSize = 0;
        return file.ReadU32LE(flattenedSize) && ReadQvrMaskLayers(file, header.layerCount, out);
    }
    return ReadQvrTileLayers(file, header, out);
}

} // namespace

bool ReadDocumentLayers(const char* path, DocumentLayers& out) {
    out = DocumentLayers();
    ByteFile file;
    if (!file.OpenRead(path))
        return false;
    char magic[8] = {};
    if (!file.ReadExact(magic, 7))
        return false;
    if (file.Seek(0, ByteFile::FromStart) < 0)
        return false;
    const std::string start(magic);
    if (start == "QVMDATA")
        return ReadQvmLayers(file, out);
    if (start == "QVRFDAT")
        return ReadQvrLayers(file, out);
    return false;
}

std::string BlendModeName(uint8_t code) {
    static const char* const kNames[] = {
        "Normal",     "Multiply", "Add",    "Subtract",    "Screen",      "Overlay",      "Soft light",
        "Hard light", "Dodge",    "Burn",   "Linear burn", "Vivid light", "Linear light", "Pin light",
        "Difference", "Lighten",  "Darken", "Hue",         "Saturation",  "Color",        "Luminosity",
    };
    if (code < sizeof kNames / sizeof kNames[0])
        return kNames[code];
    return "Normal (" + std::to_string(code) + ")";
}

std::string QvrSummary(const DocumentLayers& layers) {
    const std::string count = std::to_string(layers.qvrLayers);
    if (layers.qvrVersion == 0)
        return layers.qvrFlattened ? "QVR 0: one flattened picture" : "QVR 0: " + count + " masks";
    return "QVR 1: " + count + " layers of 64 x 64 tiles";
}

std::string QvrColourText(uint32_t colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", unsigned(colour >> 16) & 0xFF, unsigned(colour >> 8) & 0xFF,
                  unsigned(colour) & 0xFF);
    return text;
}
