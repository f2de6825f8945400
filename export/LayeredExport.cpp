#include "export/LayeredExport.h"

#include "base/LayerName.h"
#include "decode/DocumentHeader.h"
#include "decode/DocumentLoader.h"
#include "decode/LayerWalk.h"
#include "export/LayeredSource.h"
#include "export/OraWriter.h"
#include "export/PsdWriter.h"
#include "pixels/BlendTable.h"
#include "pixels/CompositeLayer.h"
#include "pixels/ImageBuffer.h"

namespace {

// A QVR document's picture is read whole first, on this thread alone: the
// readers on a pool hold a layer buffer per thread, and the export holds at
// most the picture and one layer. A QVM document's picture is blended as
// its layers are walked instead (each is expanded once), exactly as the
// reader blends them one by one: white, then each layer shown.
bool StartMerged(ImageBuffer& merged, const char* fullPath, DocumentKind kind, const LayeredOptions& options) {
    if (kind != DocumentKind::Qvm)
        return options.visible != nullptr ? LoadDocumentShowing(merged, fullPath, *options.visible, nullptr)
                                          : LoadDocument(merged, fullPath, nullptr);
    uint32_t width = 0, height = 0;
    if (!PeekDocumentSize(fullPath, width, height) || !merged.Create(int32_t(width), int32_t(height)))
        return false;
    merged.Fill(0xFFFFFFFF);
    return true;
}

bool Shown(const LayeredOptions& options, size_t index, const WalkedLayer& walked) {
    if (options.visible != nullptr && index < options.visible->size())
        return (*options.visible)[index] != 0;
    return walked.visible;
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
    BlendTable table;
    if (kind == DocumentKind::Other || !table.Allocate() || !ListLayers(fullPath, options, source.layers) ||
        !StartMerged(merged, fullPath, kind, options))
        return ItemResult::LoadFailed;
    source.merged = &merged;
    LayerWalk walk;
    if (!walk.Open(fullPath))
        return ItemResult::LoadFailed;
    bool readFailed = false;
    source.read = [&](size_t index, ImageBuffer& pixels, WalkedLayer& walked) {
        if ((options.cancel != nullptr && options.cancel->load()) || !walk.Next(walked, &pixels)) {
            readFailed = true;
            return false;
        }
        if (kind == DocumentKind::Qvm && Shown(options, index, walked)) {
            // A layer shown whose stream is broken fails the document, as
            // it fails the reader.
            if (!walked.decoded) {
                readFailed = true;
                return false;
            }
            CompositeLayer(merged, pixels, walked.blendMode, walked.opacity, table, walked.produced);
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
