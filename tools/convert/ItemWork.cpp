#include "tools/convert/ItemWork.h"

#include "base/FileFailure.h"
#include "base/FileSystem.h"
#include "pixels/ImageBuffer.h"
#include "decode/SteadyRead.h"
#include "decode/DocumentLoader.h"
#include "export/LayerExport.h"
#include "export/PsdWriter.h"
#include "export/OutputCollisions.h"
#include "export/TempOutput.h"
#include "base/Str.h"
#include "base/Text.h"
#include "decode/DocumentKind.h"
#include "decode/FolderList.h"
#include "export/OutputFolder.h"
#include "tools/convert/StdoutCopy.h"

#include <algorithm>

namespace {

std::string SystemReason() {
    char words[256] = {};
    filesystem::DescribeFailure(filesystem::LastFailure(), words, sizeof words);
    return words;
}

std::string CannotWrite(const std::string& file, int code) {
    char words[256] = {};
    filesystem::DescribeFailure(code, words, sizeof words);
    return code != 0 ? "cannot write " + file + ": " + words : "cannot write " + file;
}

std::string Stem(const std::string& name) {
    Str text;
    text.Assign(name.c_str());
    const int32_t dot = text.FindLast('.');
    if (dot >= 0)
        text.SetCharAt(dot, 0);
    return text.Text();
}

std::string OutputName(const Item& item, const ConvertOptions& options) {
    Str name;
    name.Assign(item.name.c_str());
    name.ReplaceExtension(OutputExtension(options.format, item.path.c_str()));
    return name.Text();
}

std::string OutputFolder(const Item& item, const ConvertOptions& options) {
    return JoinPath(options.destination, item.relative);
}

// The subfolder of a -r run, made on the way.
bool MakeOutputFolder(const Item& item, const ConvertOptions& options, ItemReport& report) {
    if (item.relative.empty() || MakeFolders(OutputFolder(item, options)))
        return true;
    report = {Outcome::Failed, "cannot create the folder " + OutputFolder(item, options) + ": " + SystemReason()};
    return false;
}

std::string LayerFailure(const LayerExportReport& report) {
    switch (report.status) {
    case LayerExportStatus::Done:
        break;
    case LayerExportStatus::CannotOpen:
        return "cannot open";
    case LayerExportStatus::NotQvm:
        return "not a QVM/QVR document";
    case LayerExportStatus::TooLarge:
        return "picture too large";
    case LayerExportStatus::CorruptLayer:
        return "corrupt layer " + std::to_string(report.corruptLayer + 1);
    case LayerExportStatus::Stopped:
        return "stopped";
    }
    return std::string();
}

ItemReport ExportItemLayers(const Item& item, const ConvertOptions& options, LayerExportReport& report) {
    if (KindByExtension(item.name) != DocumentKind::Qvm)
        return {Outcome::Failed, "not a QVM document (--layers exports the layers of QVM documents only)"};
    const std::string folder = OutputFolder(item, options);
    LayerExportOptions exportOptions;
    exportOptions.folder = folder.c_str();
    exportOptions.overwrite = options.overwrite;
    exportOptions.dryRun = options.dryRun;
    exportOptions.namesCodePage = options.namesCodePage;
    const bool done = ExportLayers(item.path.c_str(), exportOptions, report);
    // Every layer that could not be written is named, with the layer
    // failure that stopped the export, if any, after them.
    std::string reasons;
    for (const LayerExportReport::Failure& failure : report.failures)
        reasons += (reasons.empty() ? "" : "\n") + CannotWrite(failure.file, failure.error);
    if (!done)
        reasons += (reasons.empty() ? "" : "\n") + LayerFailure(report);
    if (!reasons.empty())
        return {Outcome::Failed, reasons};
    if (report.written == 0 && report.planned.empty() && report.skipped > 0)
        return {Outcome::Skipped, ""};
    return {Outcome::Converted, ""};
}

bool IsPsbName(const std::string& path) {
    Str name;
    name.Assign(path.c_str());
    Str extension;
    name.GetExtension(extension);
    return text::CompareNoCase(extension.Text(), "psb") == 0;
}

bool NeedsPsbFor(const Item& item) {
    uint32_t width = 0, height = 0;
    return PeekDocumentSize(item.path.c_str(), width, height) && NeedsPsb(int32_t(width), int32_t(height));
}

ItemReport Flatten(const Item& item, const ConvertOptions& options, ImageBuffer& image, const std::string& output,
                   WorkPool* pool) {
    filesystem::ClearFailure();
    if (options.format == OutputFormat::Psd && !IsPsbName(output) && NeedsPsbFor(item))
        return {Outcome::Failed, "more than 30000 pixels a side, which PSD cannot hold: name the output .psb"};
    std::vector<std::string> warnings;
    LoadResult loadFailure;
    switch (ConvertItemTo(image, item.path.c_str(), output.c_str(), options.format, options.overwrite, pool,
                          options.namesCodePage, &warnings, &loadFailure)) {
    case ItemResult::Converted:
        return {Outcome::Converted, "", warnings};
    case ItemResult::Skipped:
        return {Outcome::Skipped, ""};
    case ItemResult::LoadFailed:
        return {Outcome::Failed, loadFailure.reason};
    case ItemResult::WriteFailed:
        break;
    }
    return {Outcome::Failed, CannotWrite(output, filesystem::LastFailure())};
}

ItemReport FlattenToStdout(const Item& item, const ConvertOptions& options, ImageBuffer& image, WorkPool* pool) {
    // PNG's image-data length is filled in afterwards, so the picture is
    // written to a file first and then copied. The file is one this run made
    // itself (the picture replaces nothing of anyone else's) and is listed
    // so an interruption removes it too.
    std::string file;
    if (!CreateStagingFile(std::string(".") + OutputExtension(options.format, item.path.c_str()), file))
        return {Outcome::Failed, "cannot create a temporary file in " + TemporaryFolder() + ": " + SystemReason()};
    const int slot = ListPending(file.c_str());
    ConvertOptions always = options;
    always.overwrite = true; // standard output is never "already there"
    ItemReport report = Flatten(item, always, image, file, pool);
    if (report.outcome == Outcome::Converted && !CopyToStdout(file))
        report = {Outcome::Failed, "cannot write to standard output: " + SystemReason()};
    filesystem::Delete(file.c_str());
    ForgetPending(slot);
    return report;
}

} // namespace

ItemReport ConvertOne(const Item& item, const ConvertOptions& options, ImageBuffer& image, WorkPool* pool) {
    if (!item.collision.empty())
        return {Outcome::Failed, item.collision};
    ItemReport report;
    if (!MakeOutputFolder(item, options, report))
        return report;
    if (options.layers) {
        LayerExportReport layers;
        return ExportItemLayers(item, options, layers);
    }
    switch (options.target) {
    case OutputTarget::File:
        return Flatten(item, options, image, options.destination, pool);
    case OutputTarget::Stdout:
        return FlattenToStdout(item, options, image, pool);
    case OutputTarget::Folder:
        break;
    }
    return Flatten(item, options, image, JoinPath(OutputFolder(item, options), OutputName(item, options)), pool);
}

ItemReport PlanOne(const Item& item, const ConvertOptions& options, std::vector<std::string>& lines) {
    if (!item.collision.empty())
        return {Outcome::Failed, item.collision};
    std::vector<std::string> files;
    ItemReport report{Outcome::Converted, ""};
    if (options.layers) {
        LayerExportReport layers;
        report = ExportItemLayers(item, options, layers);
        files = layers.planned;
    } else if (options.target == OutputTarget::Stdout) {
        lines.push_back(item.path + " -> standard output");
        return report;
    } else {
        const std::string output = options.target == OutputTarget::File
                                       ? options.destination
                                       : JoinPath(OutputFolder(item, options), OutputName(item, options));
        if (!options.overwrite && filesystem::Exists(output.c_str())) {
            lines.push_back(item.path + " -> " + output + " (exists, skipped)");
            return {Outcome::Skipped, ""};
        }
        files.push_back(output);
    }
    for (const std::string& file : files)
        lines.push_back(item.path + " -> " + file);
    return report;
}

std::string OutputShown(const Item& item, const ConvertOptions& options) {
    if (options.layers)
        return JoinPath(item.relative, Stem(item.name) + "_NN_*.png");
    if (options.target == OutputTarget::File)
        return options.destination;
    return JoinPath(item.relative, OutputName(item, options));
}

std::string OutputKey(const Item& item, const ConvertOptions& options) {
    return JoinPath(item.relative, options.layers ? Stem(item.name) : OutputName(item, options));
}

namespace {

// The paths of the files the layer export of item would write, existing ones
// included; none for a document that cannot be read.
std::vector<std::string> LayerFiles(const Item& item, const ConvertOptions& options) {
    if (KindByExtension(item.name) != DocumentKind::Qvm)
        return {};
    const std::string folder = OutputFolder(item, options);
    LayerExportOptions plan;
    plan.folder = folder.c_str();
    plan.dryRun = true;
    plan.overwrite = true; // every file the export may write, existing or not
    LayerExportReport report;
    ExportLayers(item.path.c_str(), plan, report);
    return report.planned;
}

// Layer files are named after the layers as well as the document, so two
// documents of different stems can still meet on one file (a.qvm's layer
// "x_01_y" and a_00_x.qvm's second layer "y"). Every file each document's
// layers will write is compared with those of the documents before it.
void MarkLayerCollisions(std::vector<Item>& items, const ConvertOptions& options) {
    std::vector<std::string> files;
    std::vector<size_t> owners;
    for (size_t i = 0; i < items.size(); ++i) {
        if (!items[i].collision.empty())
            continue;
        for (std::string& file : LayerFiles(items[i], options)) {
            files.push_back(std::move(file));
            owners.push_back(i);
        }
    }
    const std::vector<size_t> writers = EarlierWriters(files);
    for (size_t k = 0; k < files.size(); ++k) {
        Item& item = items[owners[k]];
        if (writers[k] == kWritesItsOwnFile || owners[writers[k]] == owners[k] || !item.collision.empty())
            continue;
        item.collision =
            JoinPath(item.relative, FileNameOf(files[k])) + " is also the output of " + items[owners[writers[k]]].path;
    }
}

} // namespace

void MarkCollisions(std::vector<Item>& items, const ConvertOptions& options) {
    std::vector<std::string> keys;
    for (const Item& item : items)
        keys.push_back(OutputKey(item, options));
    const std::vector<size_t> writers = EarlierWriters(keys);
    for (size_t i = 0; i < items.size(); ++i) {
        if (writers[i] == kWritesItsOwnFile)
            continue;
        items[i].collision = OutputShown(items[i], options) +
                             (options.layers ? " are also the outputs of " : " is also the output of ") +
                             items[writers[i]].path;
    }
    if (options.layers)
        MarkLayerCollisions(items, options);
}
