#include "tools/convert/ItemWork.h"

#include "decode/ImageBuffer.h"
#include "export/LayerExport.h"
#include "framework/Str.h"
#include "tools/convert/Diagnosis.h"
#include "tools/convert/DocumentKind.h"

namespace {

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
    }
    std::string reason = std::string("cannot write ") + report.firstFailedFile.Text();
    if (report.failedWrites > 1)
        reason += " and " + std::to_string(report.failedWrites - 1) + " more layer files";
    return reason;
}

ItemReport ExportItemLayers(const Item& item, const ConvertOptions& options) {
    if (KindByExtension(item.name) != DocumentKind::Qvm)
        return {Outcome::Failed, "not a QVM document (layers are exported from QVM documents only)"};
    LayerExportOptions exportOptions;
    exportOptions.folder = options.destination.c_str();
    exportOptions.overwrite = options.overwrite;
    LayerExportReport report;
    if (!ExportLayers(item.path.c_str(), exportOptions, report) || report.failedWrites > 0)
        return {Outcome::Failed, LayerFailure(report)};
    if (report.written == 0 && report.skipped > 0)
        return {Outcome::Skipped, ""};
    return {Outcome::Converted, ""};
}

} // namespace

ItemReport ConvertOne(const Item& item, const ConvertOptions& options, ImageBuffer& image, WorkPool* pool) {
    if (options.layers)
        return ExportItemLayers(item, options);
    Str output;
    switch (ConvertItem(image, item.path.c_str(), item.name.c_str(), options.destination.c_str(), options.format,
                        options.overwrite, output, pool)) {
    case ItemResult::Converted:
        return {Outcome::Converted, ""};
    case ItemResult::Skipped:
        return {Outcome::Skipped, ""};
    case ItemResult::LoadFailed:
        return {Outcome::Failed, DiagnoseLoadFailure(item.path.c_str())};
    case ItemResult::WriteFailed:
        break;
    }
    return {Outcome::Failed, std::string("cannot write ") + output.Text()};
}

std::string OutputKey(const Item& item, const ConvertOptions& options) {
    Str name;
    name.Assign(item.name.c_str());
    if (options.layers) {
        const int32_t dot = name.FindLast('.');
        if (dot >= 0)
            name.SetCharAt(dot, 0);
    } else {
        name.ReplaceExtension(options.format == OutputFormat::Bmp ? "bmp" : "png");
    }
    return name.Text();
}
