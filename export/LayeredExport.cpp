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
// The walk that lists the layers has read the header already.
LoadResult StartMerged(ImageBuffer& merged, const char* fullPath, DocumentKind kind, const LayeredOptions& options,
                       const DocumentHeader& header) {
    if (kind != DocumentKind::Qvm)
        return options.visible != nullptr ? LoadDocumentShowing(merged, fullPath, *options.visible, nullptr)
                                          : LoadDocument(merged, fullPath, nullptr);
    if (!merged.Create(header.width, header.height))
        return loadresult::NotCreated(header.width, header.height);
    merged.Fill(0xFFFFFFFF);
    return LoadResult();
}

bool Shown(const LayeredOptions& options, size_t index, const WalkedLayer& walked) {
    if (options.visible != nullptr && index < options.visible->size())
        return (*options.visible)[index] != 0;
    return walked.visible;
}

// The layers' records, from a walk that expands nothing.
LoadResult ListLayers(const char* fullPath, const LayeredOptions& options, std::vector<LayeredLayer>& layers,
                      DocumentHeader& header) {
    LayerWalk walk;
    if (!walk.Open(fullPath))
        return walk.Failure();
    header = walk.Header();
    for (uint32_t i = 0; i < walk.LayerCount(); ++i) {
        WalkedLayer walked;
        if (!walk.Next(walked, nullptr))
            return walk.Failure();
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
    return LoadResult();
}

} // namespace

ItemResult ExportLayered(ImageBuffer& merged, const char* fullPath, const char* outputPath, OutputFormat format,
                         const LayeredOptions& options, std::vector<std::string>& warnings, LoadResult* loadFailure) {
    LoadResult unused;
    LoadResult& failure = loadFailure != nullptr ? *loadFailure : unused;
    failure = LoadResult();
    const DocumentKind kind = KindByExtension(fullPath);
    if (kind == DocumentKind::Other) {
        failure = loadresult::NotDocument();
        return ItemResult::LoadFailed;
    }
    LayeredSource source;
    BlendTable table;
    DocumentHeader header;
    failure = ListLayers(fullPath, options, source.layers, header);
    if (failure && header.kind != kind)
        failure = loadresult::NotDocument();
    if (failure && !table.Allocate())
        failure = loadresult::OutOfMemory(header.width, header.height);
    if (failure)
        failure = StartMerged(merged, fullPath, kind, options, header);
    if (!failure)
        return ItemResult::LoadFailed;
    source.merged = &merged;
    LayerWalk walk;
    if (!walk.Open(fullPath)) {
        failure = walk.Failure();
        return ItemResult::LoadFailed;
    }
    bool readFailed = false;
    source.read = [&](size_t index, ImageBuffer& pixels, WalkedLayer& walked) {
        if (options.cancel != nullptr && options.cancel->load()) {
            failure = loadresult::Cancelled();
            readFailed = true;
            return false;
        }
        if (!walk.Next(walked, &pixels)) {
            failure = walk.Failure();
            readFailed = true;
            return false;
        }
        if (kind == DocumentKind::Qvm && Shown(options, index, walked)) {
            // A layer shown whose stream is broken fails the document, as
            // it fails the reader.
            if (!walked.decoded) {
                failure = loadresult::CorruptLayer(uint32_t(index) + 1);
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
