#pragma once
// One document written as a layered file (PSD, PSB or OpenRaster): its
// flattened picture, as Tessavel shows it, becomes the file's merged
// picture, and its layers are read and written one at a time (LayerWalk.h).
// Shared by the converter and the viewer.

#include "decode/LoadResult.h"
#include "export/BatchItem.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class ImageBuffer;
class WorkPool;

struct LayeredOptions {
    uint32_t namesCodePage = 0; // 0: the layer-name rule (base/LayerName.h)
    // The viewer's layers pane: record i (0 = bottom) shown when visible[i]
    // is not 0, for both the merged picture and the layers' visibility.
    // Null: as stored.
    const std::vector<uint8_t>* visible = nullptr;
    bool large = false; // PSD only: write PSB whatever the size
    WorkPool* pool = nullptr;
    // Set from another thread (the session ending): no further layer is
    // read, and the export fails as a document that could not be read, its
    // temporary removed. Null: never.
    const std::atomic<bool>* cancel = nullptr;
};

// Writes the document at fullPath into outputPath as format (Psd or Ora).
// merged is the caller's picture, reused from item to item. A document that
// fails to load fails (LoadFailed), its reason in loadFailure when given,
// and leaves no file; a layer that cannot be decoded is written empty and
// hidden, and named in warnings.
ItemResult ExportLayered(ImageBuffer& merged, const char* fullPath, const char* outputPath, OutputFormat format,
                         const LayeredOptions& options, std::vector<std::string>& warnings,
                         LoadResult* loadFailure = nullptr);
