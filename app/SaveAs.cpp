#include "app/SaveAs.h"

#include "base/Text.h"
#include "base/FileFailure.h"
#include "decode/DocumentKind.h"
#include "decode/DocumentLoader.h"
#include "pixels/ImageBuffer.h"
#include "export/BmpWriter.h"
#include "export/LayeredExport.h"
#include "export/PngWriter.h"

const char kSaveAsFilter[] = "PNG (*.png)\0*.png\0BMP (*.bmp)\0*.bmp\0PSD (*.psd)\0*.psd;*.psb\0"
                             "OpenRaster (*.ora)\0*.ora\0";

namespace {

struct SaveType {
    OutputFormat format;
    const char* extension;
};

// In the filter's order.
constexpr SaveType kTypes[] = {
    {OutputFormat::Png, "png"},
    {OutputFormat::Bmp, "bmp"},
    {OutputFormat::Psd, "psd"},
    {OutputFormat::Ora, "ora"},
};

bool IsSeparator(char c) {
    return c == '/' || c == text::PathSeparator();
}

// Where the file name starts in path.
size_t NameStart(const std::string& path) {
    for (size_t i = path.size(); i > 0; --i)
        if (IsSeparator(path[i - 1]))
            return i;
    return 0;
}

// Where the extension's dot is, npos for a name without one.
size_t ExtensionDot(const std::string& path) {
    const size_t dot = path.rfind('.');
    return dot == std::string::npos || dot < NameStart(path) ? std::string::npos : dot;
}

bool FormatOfExtension(const char* extension, OutputFormat& format) {
    if (text::CompareNoCase(extension, "psb") == 0) {
        format = OutputFormat::Psd;
        return true;
    }
    for (const SaveType& type : kTypes)
        if (text::CompareNoCase(extension, type.extension) == 0) {
            format = type.format;
            return true;
        }
    return false;
}

} // namespace

uint32_t SaveAsTypeIndex(OutputFormat format) {
    for (uint32_t i = 0; i < sizeof kTypes / sizeof kTypes[0]; ++i)
        if (kTypes[i].format == format)
            return i + 1;
    return 1;
}

OutputFormat ChooseSaveAs(std::string& path, uint32_t typeIndex, const char* documentPath) {
    const size_t dot = ExtensionDot(path);
    OutputFormat format = OutputFormat::Png;
    if (dot == std::string::npos || !FormatOfExtension(path.c_str() + dot + 1, format)) {
        format = typeIndex >= 1 && typeIndex <= sizeof kTypes / sizeof kTypes[0] ? kTypes[typeIndex - 1].format
                                                                                 : OutputFormat::Png;
        path += '.';
        path += OutputExtension(format, documentPath);
        return format;
    }
    // PSD's version 1 cannot hold the document: the file is a PSB, and says so.
    if (format == OutputFormat::Psd && text::CompareNoCase(path.c_str() + dot + 1, "psd") == 0 &&
        text::CompareNoCase(OutputExtension(format, documentPath), "psb") == 0)
        path.replace(dot + 1, std::string::npos, "psb");
    return format;
}

void SuggestSaveAs(const char* documentPath, OutputFormat format, std::string& folder, std::string& name) {
    const std::string path = documentPath;
    const size_t start = NameStart(path);
    // The folder without its separator, except for a root ("C:\", "/").
    folder.assign(path, 0, start > 1 && path[start - 2] != ':' ? start - 1 : start);
    name.assign(path, start, std::string::npos);
    const size_t dot = ExtensionDot(path);
    if (dot != std::string::npos)
        name.resize(dot - start);
    name += '.';
    name += OutputExtension(format, documentPath);
}

SaveAsOutcome SaveDocumentAs(const char* documentPath, const char* outputPath, OutputFormat format,
                             const std::vector<uint8_t>& visible, uint32_t namesCodePage,
                             const std::atomic<bool>* cancel, WorkPool* pool) {
    SaveAsOutcome outcome;
    filesystem::ClearFailure();
    ImageBuffer picture;
    LoadResult loadFailure;
    if (format == OutputFormat::Psd || format == OutputFormat::Ora) {
        LayeredOptions options;
        options.namesCodePage = namesCodePage;
        options.visible = visible.empty() ? nullptr : &visible;
        options.pool = pool;
        options.cancel = cancel;
        const size_t dot = ExtensionDot(outputPath);
        options.large = dot != std::string::npos && text::CompareNoCase(outputPath + dot + 1, "psb") == 0;
        outcome.result =
            ExportLayered(picture, documentPath, outputPath, format, options, outcome.warnings, &loadFailure);
    } else {
        loadFailure = visible.empty() ? LoadDocument(picture, documentPath, pool)
                                      : LoadDocumentShowing(picture, documentPath, visible, pool);
        if (!loadFailure)
            outcome.result = ItemResult::LoadFailed;
        else if (cancel != nullptr && cancel->load())
            outcome.stopped = true;
        else if (format == OutputFormat::Bmp ? SaveBmp(picture, outputPath) : SavePng(picture, outputPath, false, pool))
            outcome.result = ItemResult::Converted;
        else
            outcome.result = ItemResult::WriteFailed;
    }
    if (cancel != nullptr && cancel->load() && outcome.result != ItemResult::Converted)
        outcome.stopped = true;
    if (outcome.result == ItemResult::WriteFailed)
        outcome.error = filesystem::LastFailure();
    else if (outcome.result == ItemResult::LoadFailed && !outcome.stopped)
        outcome.loadFailure = std::move(loadFailure.reason);
    return outcome;
}
