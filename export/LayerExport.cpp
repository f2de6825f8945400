#include "export/LayerExport.h"

#include "base/ByteFile.h"
#include "base/FileFailure.h"
#include "base/FileSystem.h"
#include "base/LayerName.h"
#include "base/MemBlock.h"
#include "base/Text.h"
#include "decode/Inflate.h"
#include "decode/QvmFormat.h"
#include "export/PngWriter.h"
#include "pixels/ImageBuffer.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kChunkBytes = 65536;

} // namespace

// Characters that lead out of the folder ("\\", "/", ":") or that Windows
// refuses in file names, and the control characters.
bool IsRefusedInFileName(unsigned char c) {
    return c < 0x20 || c == 0x7F || (c != 0 && std::strchr("\\/:*?\"<>|", c) != nullptr);
}

namespace {

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
    if (!options.overwrite && filesystem::Exists(file)) {
        ++report.skipped;
        return;
    }
    if (options.dryRun) {
        report.planned.push_back(file);
        return;
    }
    if (SavePng(layer, file, true)) {
        ++report.written;
        return;
    }
    if (report.failedWrites++ == 0)
        report.firstFailedFile.Assign(file);
    report.failures.push_back({file, filesystem::LastFailure()});
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
    if (options.dryRun ? !ImageBuffer::SizeFits(header.width, header.height)
                       : !layer.Create(header.width, header.height))
        return LayerExportStatus::TooLarge;
    const uint32_t capacity = uint32_t(layer.ByteCount());
    Str output(511);
    for (int32_t i = 0; i < header.layerCount; ++i) {
        if (options.cancel != nullptr && options.cancel->load())
            return LayerExportStatus::Stopped;
        QvmLayerRecord record;
        if (!ReadQvmLayerRecord(file, header.recordLength, record)) {
            report.corruptLayer = i;
            return LayerExportStatus::CorruptLayer;
        }
        const int64_t dataStart = file.Tell();
        uint32_t produced = 0;
        if (dataStart < 0 || (!options.dryRun && !InflateFromSource(file, layer.bits, capacity, record.compressedSize,
                                                                    scratch.data, kChunkBytes, &produced))) {
            report.corruptLayer = i;
            return LayerExportStatus::CorruptLayer;
        }
        // The buffer is reused from layer to layer: a stream that ends early
        // must not pass the previous layer's pixels off as this one's.
        if (!options.dryRun)
            std::memset(layer.bits + produced, 0, capacity - produced);
        // The next record starts right after this one's block, whatever the
        // stream left unread inside it.
        if (file.Seek(dataStart + record.compressedSize, ByteFile::FromStart) < 0) {
            report.corruptLayer = i;
            return LayerExportStatus::CorruptLayer;
        }
        const std::string name = LayerFileNamePart(record.name, options.namesCodePage);
        BuildLayerFileName(output, stem, uint16_t(header.layerCount - 1 - i), name.c_str());
        WriteLayer(layer, output.Text(), options, report);
    }
    return LayerExportStatus::Done;
}

} // namespace

void MakeLayerNameSafe(char* name) {
    for (char* p = name; *p != 0; ++p)
        if (IsRefusedInFileName(static_cast<unsigned char>(*p)))
            *p = '_';
}

std::string LayerFileNamePart(const char* stored, uint32_t codePage) {
    std::string name = text::DecodeLayerName(stored, codePage);
    MakeLayerNameSafe(&name[0]);
    return name;
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
    report.failures.clear();
    report.planned.clear();
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
