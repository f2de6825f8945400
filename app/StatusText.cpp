#include "app/StatusText.h"

#include "base/ByteFile.h"
#include "decode/QvmFormat.h"

#include <cstdio>

namespace {

// The layer count of a QVR document, whose header differs by version: the
// reader's own layout, read no further than the count.
bool ReadQvrLayers(ByteSource& file, uint8_t version, uint16_t& layers) {
    if (version == 0)
        return file.Skip(4) && file.ReadU16LE(layers);
    uint32_t blockLength = 0;
    return file.Skip(4) && file.ReadU32LE(blockLength) && file.Skip(blockLength) && file.Skip(8) &&
           file.ReadU16LE(layers);
}

} // namespace

DocumentSummary SummariseDocument(const char* path) {
    DocumentSummary summary;
    ByteFile file;
    if (!file.OpenRead(path))
        return summary;
    QvmHeader header;
    if (ReadQvmHeader(file, header)) {
        summary.format = DocumentSummary::Format::Qvm;
        summary.layers = header.layerCount;
        return summary;
    }
    uint8_t version = 0;
    uint16_t layers = 0;
    if (file.Seek(0, ByteSource::FromStart) != 0 || !file.ReadAndCompare("QVRFDAT") || !file.ReadU8(version) ||
        version > 1 || !ReadQvrLayers(file, version, layers))
        return summary;
    summary.format = version == 0 ? DocumentSummary::Format::QvrV0 : DocumentSummary::Format::QvrV1;
    summary.layers = layers;
    return summary;
}

std::string PositionText(int index, int count) {
    if (index < 0 || count <= 0)
        return std::string();
    return std::to_string(index + 1) + " / " + std::to_string(count);
}

std::string PictureText(int32_t width, int32_t height, int32_t scale) {
    if (width <= 0 || height <= 0)
        return std::string();
    return std::to_string(width) + " x " + std::to_string(height) + ", " + std::to_string(scale) + "%";
}

std::string DocumentText(const DocumentSummary& summary) {
    const char* format = nullptr;
    switch (summary.format) {
    case DocumentSummary::Format::Unknown:
        return std::string();
    case DocumentSummary::Format::Qvm:
        format = "QVM";
        break;
    case DocumentSummary::Format::QvrV0:
        format = "QVR v0";
        break;
    case DocumentSummary::Format::QvrV1:
        format = "QVR v1";
        break;
    }
    return std::string(format) + ", " + std::to_string(summary.layers) + (summary.layers == 1 ? " layer" : " layers");
}

std::string FileText(uint64_t bytes, const LocalTime& written) {
    char size[32];
    if (bytes < 1024)
        std::snprintf(size, sizeof(size), "%u bytes", unsigned(bytes));
    else if (bytes < 1024 * 1024)
        std::snprintf(size, sizeof(size), "%.1f KB", double(bytes) / 1024);
    else
        std::snprintf(size, sizeof(size), "%.1f MB", double(bytes) / (1024 * 1024));
    char date[48];
    std::snprintf(date, sizeof(date), ", %04d-%02d-%02d %02d:%02d", written.year, written.month, written.day,
                  written.hour, written.minute);
    return std::string(size) + date;
}

std::string HexColourText(uint8_t red, uint8_t green, uint8_t blue) {
    char text[8];
    std::snprintf(text, sizeof(text), "#%02X%02X%02X", unsigned(red), unsigned(green), unsigned(blue));
    return text;
}

std::string ColourText(uint8_t red, uint8_t green, uint8_t blue) {
    char text[32];
    std::snprintf(text, sizeof(text), "R %u G %u B %u  ", unsigned(red), unsigned(green), unsigned(blue));
    return text + HexColourText(red, green, blue);
}
