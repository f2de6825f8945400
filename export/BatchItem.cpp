#include "export/BatchItem.h"

#include "decode/ByteFile.h"
#include "decode/DocumentHeader.h"
#include "decode/DocumentLoader.h"
#include "decode/ImageBuffer.h"
#include "decode/LoadingMemory.h"
#include "base/Str.h"
#include "base/Text.h"
#include "export/PngWriter.h"

OutputFormat FormatFromIndex(int32_t index) {
    return index == 0 ? OutputFormat::Bmp : OutputFormat::Png;
}

void BuildOutputPath(Str& out, const char* folder, const char* itemName, OutputFormat format) {
    Str name;
    name.Assign(itemName);
    name.ReplaceExtension(format == OutputFormat::Bmp ? "bmp" : "png");
    out.Assign(folder);
    out.AppendChar(text::PathSeparator());
    out.Append(name.Text());
}

ItemResult ConvertItem(ImageBuffer& image, const char* fullPath, const char* itemName, const char* folder,
                       OutputFormat format, bool overwrite, Str& outputPath, WorkPool* pool) {
    BuildOutputPath(outputPath, folder, itemName, format);
    return ConvertItemTo(image, fullPath, outputPath.Text(), format, overwrite, pool);
}

ItemResult ConvertItemTo(ImageBuffer& image, const char* fullPath, const char* outputPath, OutputFormat format,
                         bool overwrite, WorkPool* pool) {
    if (!overwrite && ByteFile::Exists(outputPath))
        return ItemResult::Skipped;
    if (!LoadDocument(image, fullPath, pool))
        return ItemResult::LoadFailed;
    const bool saved = format == OutputFormat::Bmp ? image.SaveBmp(outputPath) : image.SavePng(outputPath, false, pool);
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
