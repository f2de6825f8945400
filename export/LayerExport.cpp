#include "export/LayerExport.h"

#include "decode/ByteFile.h"
#include "decode/ImageBuffer.h"
#include "decode/Inflate.h"
#include "decode/MemBlock.h"
#include "decode/QvmFormat.h"
#include "framework/Text.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kChunkBytes = 65536;

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
    QvmHeader header;
    if (!ReadQvmHeader(file, header))
        return LayerExportStatus::NotQvm;
    report.layerCount = header.layerCount;
    ImageBuffer layer;
    if (!layer.Create(header.width, header.height))
        return LayerExportStatus::TooLarge;
    const uint32_t capacity = uint32_t(layer.ByteCount());
    Str output(511);
    for (int32_t i = 0; i < header.layerCount; ++i) {
        QvmLayerRecord record;
        if (!ReadQvmLayerRecord(file, header.recordLength, record)) {
            report.corruptLayer = i;
            return LayerExportStatus::CorruptLayer;
        }
        const int64_t dataStart = file.Tell();
        uint32_t produced = 0;
        if (dataStart < 0 ||
            !InflateFromSource(file, layer.bits, capacity, record.compressedSize, scratch.data, kChunkBytes, &produced)) {
            report.corruptLayer = i;
            return LayerExportStatus::CorruptLayer;
        }
        // The buffer is reused from layer to layer: a stream that ends early
        // must not pass the previous layer's pixels off as this one's.
        std::memset(layer.bits + produced, 0, capacity - produced);
        // The next record starts right after this one's block, whatever the
        // stream left unread inside it.
        if (file.Seek(dataStart + record.compressedSize, ByteFile::FromStart) < 0) {
            report.corruptLayer = i;
            return LayerExportStatus::CorruptLayer;
        }
        MakeLayerNameSafe(record.name);
        BuildLayerFileName(output, stem, uint16_t(header.layerCount - 1 - i), record.name);
        WriteLayer(layer, output.Text(), options, report);
    }
    return LayerExportStatus::Done;
}

} // namespace

void MakeLayerNameSafe(char* name) {
    bool previousWasDot = false;
    for (char* p = name; *p != 0;) {
        char* next = const_cast<char*>(text::NextChar(p));
        // A second byte of CP932 is 0x40 or above. A lead byte in front of a
        // lower byte ("/", ":", ".") is no character, and the file system may
        // read that byte on its own: it must not shield a separator.
        if (next == p + 2 && static_cast<unsigned char>(p[1]) < 0x40)
            next = p + 1;
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
