#include "decode/DocumentLayers.h"

#include "decode/ByteFile.h"
#include "decode/QvmFormat.h"

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
        return file.Skip(7) && ReadQvrHeader(file, out);
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
