#include "export/BatchItem.h"

#include "base/FileSystem.h"
#include "base/Str.h"
#include "base/Text.h"
#include "decode/DocumentHeader.h"
#include "decode/DocumentLoader.h"
#include "decode/LoadingMemory.h"
#include "export/BmpWriter.h"
#include "export/LayeredExport.h"
#include "export/PngWriter.h"
#include "export/PsdWriter.h"
#include "pixels/ImageBuffer.h"

OutputFormat FormatFromIndex(int32_t index) {
    switch (index) {
    case 0:
        return OutputFormat::Bmp;
    case 2:
        return OutputFormat::Psd;
    case 3:
        return OutputFormat::Ora;
    default:
        return OutputFormat::Png;
    }
}

const char* OutputExtension(OutputFormat format, const char* fullPath) {
    switch (format) {
    case OutputFormat::Bmp:
        return "bmp";
    case OutputFormat::Png:
        break;
    case OutputFormat::Ora:
        return "ora";
    case OutputFormat::Psd: {
        uint32_t width = 0, height = 0;
        const bool large = fullPath != nullptr && PeekDocumentSize(fullPath, width, height) &&
                           NeedsPsb(int32_t(width), int32_t(height));
        return large ? "psb" : "psd";
    }
    }
    return "png";
}

void BuildOutputPath(Str& out, const char* folder, const char* itemName, OutputFormat format, const char* fullPath) {
    Str name;
    name.Assign(itemName);
    name.ReplaceExtension(OutputExtension(format, fullPath));
    out.Assign(folder);
    out.AppendChar(text::PathSeparator());
    out.Append(name.Text());
}

ItemResult ConvertItem(ImageBuffer& image, const char* fullPath, const char* itemName, const char* folder,
                       OutputFormat format, bool overwrite, Str& outputPath, WorkPool* pool) {
    BuildOutputPath(outputPath, folder, itemName, format, fullPath);
    return ConvertItemTo(image, fullPath, outputPath.Text(), format, overwrite, pool);
}

ItemResult ConvertItemTo(ImageBuffer& image, const char* fullPath, const char* outputPath, OutputFormat format,
                         bool overwrite, WorkPool* pool, uint32_t namesCodePage, std::vector<std::string>* warnings,
                         LoadResult* loadFailure) {
    if (!overwrite && filesystem::Exists(outputPath))
        return ItemResult::Skipped;
    if (format == OutputFormat::Psd || format == OutputFormat::Ora) {
        LayeredOptions options;
        options.namesCodePage = namesCodePage;
        options.pool = pool;
        Str path;
        path.Assign(outputPath);
        Str extension;
        path.GetExtension(extension);
        options.large = text::CompareNoCase(extension.Text(), "psb") == 0;
        std::vector<std::string> noted;
        return ExportLayered(image, fullPath, outputPath, format, options, warnings != nullptr ? *warnings : noted,
                             loadFailure);
    }
    LoadResult loaded = LoadDocument(image, fullPath, pool);
    if (!loaded) {
        if (loadFailure != nullptr)
            *loadFailure = std::move(loaded);
        return ItemResult::LoadFailed;
    }
    const bool saved =
        format == OutputFormat::Bmp ? SaveBmp(image, outputPath) : SavePng(image, outputPath, false, pool);
    return saved ? ItemResult::Converted : ItemResult::WriteFailed;
}

uint64_t ItemMemoryEstimate(const char* fullPath, unsigned poolSize) {
    DocumentHeader header;
    LoadingMemory loading;
    if (!PeekDocumentHeader(fullPath, header) || !LoadingMemoryOf(header, poolSize, loading))
        return 0;
    // The reader's buffers are gone before the writer makes its own; a BMP
    // takes less beside the picture than a PNG.
    const uint64_t saving = PngSavingBytes(header.width, header.height, 24);
    return loading.picture + (loading.beside > saving ? loading.beside : saving);
}
