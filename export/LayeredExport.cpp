#include "export/LayeredExport.h"

#include "base/LayerName.h"
#include "decode/DocumentLoader.h"
#include "decode/ImageBuffer.h"
#include "decode/LayerWalk.h"
#include "decode/QvmReader.h"
#include "export/LayeredSource.h"
#include "export/OraWriter.h"
#include "export/PsdWriter.h"

namespace {

bool LoadMerged(ImageBuffer& merged, const char* fullPath, DocumentKind kind, const LayeredOptions& options) {
    if (options.visible != nullptr && kind == DocumentKind::Qvm)
        return ReadQvmShowing(merged, fullPath, *options.visible, options.pool);
    return LoadDocument(merged, fullPath, options.pool);
}

// The layers' records, from a walk that expands nothing.
bool ListLayers(const char* fullPath, const LayeredOptions& options, std::vector<LayeredLayer>& layers) {
    LayerWalk walk;
    if (!walk.Open(fullPath))
        return false;
    for (uint32_t i = 0; i < walk.LayerCount(); ++i) {
        WalkedLayer walked;
        if (!walk.Next(walked, nullptr))
            return false;
        LayeredLayer layer;
        layer.name =
            walked.storedName ? text::DecodeLayerName(walked.name.c_str(), options.namesCodePage) : walked.name;
        layer.blendMode = walked.blendMode;
        layer.opacity = walked.opacity;
        layer.visible = walked.visible;
        if (options.visible != nullptr && i < options.visible->size())
            layer.visible = (*options.visible)[i] != 0;
        layers.push_back(layer);
    }
    return true;
}

} // namespace

ItemResult ExportLayered(ImageBuffer& merged, const char* fullPath, const char* outputPath, OutputFormat format,
                         const LayeredOptions& options, std::vector<std::string>& warnings) {
    const DocumentKind kind = KindByExtension(fullPath);
    LayeredSource source;
    if (!LoadMerged(merged, fullPath, kind, options) || !ListLayers(fullPath, options, source.layers))
        return ItemResult::LoadFailed;
    source.merged = &merged;
    LayerWalk walk;
    if (!walk.Open(fullPath))
        return ItemResult::LoadFailed;
    bool readFailed = false;
    source.read = [&](size_t index, ImageBuffer& pixels, WalkedLayer& walked) {
        if (!walk.Next(walked, &pixels)) {
            readFailed = true;
            return false;
        }
        if (!walked.decoded)
            warnings.push_back("layer " + std::to_string(index + 1) + " (" + source.layers[index].name +
                               ") cannot be decoded: written empty and hidden");
        return true;
    };
    const bool written =
        format == OutputFormat::Ora
            ? WriteOra(outputPath, source, options.pool)
            : WritePsd(outputPath, source, options.large || NeedsPsb(merged.width, merged.height), options.pool);
    if (readFailed)
        return ItemResult::LoadFailed; // the temporary is gone: no file is left
    return written ? ItemResult::Converted : ItemResult::WriteFailed;
}
