#include "export/LayerExport.h"

#include "decode/ByteFile.h"
#include "decode/ImageBuffer.h"
#include "decode/Inflate.h"
#include "decode/MemBlock.h"
#include "framework/Text.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kChunkBytes = 65536;
constexpr uint32_t kNameBytes = 32;
// The fixed part of a layer record: name, blend mode, opacity, flags.
constexpr uint32_t kMinRecordLength = kNameBytes + 3;
constexpr uint32_t kMinHeaderLength = 10;

bool IsSeparator(char c) {
    return c == '\\' || c == '/' || c == ':';
}

// Cuts the extension off the file-name part of path; a dot in a folder name
// is left alone.
void RemoveExtension(Str& path) {
    int32_t separator = path.FindLast('\\');
    const int32_t slash = path.FindLast('/');
    if (slash > separator)
        separator = slash;
    const int32_t dot = path.FindLast('.');
    if (dot > separator)
        path.SetCharAt(dot, 0);
}

void BuildStem(Str& stem, const char* path, const char* folder) {
    if (folder == nullptr) {
        stem.Assign(path);
    } else {
        Str source;
        source.Assign(path);
        Str name;
        source.GetFileName(name);
        stem.Assign(folder);
        stem.AppendChar(text::PathSeparator());
        stem.Append(name.Text());
    }
    RemoveExtension(stem);
}

struct QvmLayout {
    uint16_t width = 0;
    uint16_t height = 0;
    uint16_t layerCount = 0;
    uint32_t recordLength = 0;
};

// Reads the fixed start and the two skipped blocks, leaving the file at the
// first layer record.
bool ReadLayout(ByteFile& file, QvmLayout& layout) {
    uint8_t version = 0;
    uint32_t headerLength = 0;
    uint32_t blockLength = 0;
    if (!file.ReadAndCompare("QVMDATA") || !file.ReadU8(version) || version != 0)
        return false;
    if (!file.ReadU32LE(headerLength) || !file.ReadU16LE(layout.width) || !file.ReadU16LE(layout.height) ||
        !file.ReadU16LE(layout.layerCount))
        return false;
    // Shorter lengths would make the reader seek backwards into the fields
    // it has just read.
    if (headerLength < kMinHeaderLength)
        return false;
    if (!file.Skip(4) || !file.Skip(int64_t(headerLength) - kMinHeaderLength) || !file.Skip(4))
        return false;
    if (!file.ReadU32LE(blockLength) || !file.Skip(blockLength) || !file.ReadU32LE(layout.recordLength))
        return false;
    return layout.recordLength >= kMinRecordLength;
}

void WriteLayer(const ImageBuffer& layer, const char* file, const LayerExportOptions& options,
                LayerExportReport& report) {
    if (!options.overwrite && ByteFile::Exists(file)) {
        ++report.skipped;
        return;
    }
    if (layer.SavePng(file, true)) {
        ++report.written;
        return;
    }
    if (report.failedWrites++ == 0)
        report.firstFailedFile.Assign(file);
}

LayerExportStatus ExportRecords(ByteFile& file, const char* stem, const LayerExportOptions& options,
                                LayerExportReport& report) {
    MemBlock scratch;
    if (scratch.Alloc(kChunkBytes, true) == nullptr)
        return LayerExportStatus::CannotOpen;
    QvmLayout layout;
    if (!ReadLayout(file, layout))
        return LayerExportStatus::NotQvm;
    report.layerCount = layout.layerCount;
    ImageBuffer layer;
    if (!layer.Create(layout.width, layout.height))
        return LayerExportStatus::TooLarge;
    const uint32_t capacity = uint32_t(layer.ByteCount());
    Str output(511);
    for (int32_t i = 0; i < layout.layerCount; ++i) {
        char name[kNameBytes + 1] = {};
        uint32_t compressedSize = 0;
        if (!file.ReadExact(name, kNameBytes) || !file.Skip(int64_t(layout.recordLength) - kNameBytes) ||
            !file.ReadU32LE(compressedSize)) {
            report.corruptLayer = i;
            return LayerExportStatus::CorruptLayer;
        }
        const int64_t dataStart = file.Tell();
        uint32_t produced = 0;
        if (dataStart < 0 ||
            !InflateFromFile(file, layer.bits, capacity, compressedSize, scratch.data, kChunkBytes, &produced)) {
            report.corruptLayer = i;
            return LayerExportStatus::CorruptLayer;
        }
        // The buffer is reused from layer to layer: a stream that ends early
        // must not pass the previous layer's pixels off as this one's.
        std::memset(layer.bits + produced, 0, capacity - produced);
        // The next record starts right after this one's block, whatever the
        // stream left unread inside it.
        if (file.Seek(dataStart + compressedSize, ByteFile::FromStart) < 0) {
            report.corruptLayer = i;
            return LayerExportStatus::CorruptLayer;
        }
        MakeLayerNameSafe(name);
        BuildLayerFileName(output, stem, uint16_t(layout.layerCount - 1 - i), name);
        WriteLayer(layer, output.Text(), options, report);
    }
    return LayerExportStatus::Done;
}

} // namespace

void MakeLayerNameSafe(char* name) {
    bool previousWasDot = false;
    for (char* p = name; *p != 0;) {
        char* next = const_cast<char*>(text::NextChar(p));
        const bool single = next == p + 1;
        const bool dot = single && *p == '.';
        if (single && IsSeparator(*p))
            *p = '_';
        else if (dot && (previousWasDot || p[1] == '.'))
            *p = '_';
        previousWasDot = dot;
        p = next;
    }
}

void BuildLayerFileName(Str& out, const char* stem, uint16_t number, const char* name) {
    // Holds "_%02u_" for any 16-bit number.
    char digits[8];
    std::snprintf(digits, sizeof digits, "_%02u_", unsigned(number));
    out.Assign(stem);
    out.Append(digits);
    out.Append(name);
    out.Append(".png");
}

bool ExportLayers(const char* path, const LayerExportOptions& options, LayerExportReport& report) {
    report.layerCount = 0;
    report.written = report.skipped = report.failedWrites = 0;
    report.corruptLayer = -1;
    report.firstFailedFile.Clear();
    ByteFile file;
    if (!file.OpenRead(path)) {
        report.status = LayerExportStatus::CannotOpen;
        return false;
    }
    Str stem;
    BuildStem(stem, path, options.folder);
    report.status = ExportRecords(file, stem.Text(), options, report);
    return report.status == LayerExportStatus::Done;
}

bool ExportLayers(const char* path) {
    LayerExportOptions options;
    LayerExportReport report;
    return ExportLayers(path, options, report);
}
