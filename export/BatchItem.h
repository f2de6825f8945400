#pragma once
// The rules for one item of a batch conversion, shared by the viewer's
// conversion dialog and the command-line converter: where the output goes,
// when an item is skipped, how it is loaded and written.

#include "decode/LoadResult.h"

#include <cstdint>
#include <string>
#include <vector>

class ImageBuffer;
class Str;
class WorkPool;

// The layered files: Psd is PSD, or PSB for a picture beyond what PSD
// holds; Ora is OpenRaster.
enum class OutputFormat { Bmp, Png, Psd, Ora };

// The conversion dialog's format index (and the ConvType setting): 0 is BMP,
// 2 PSD (PSB for a large document), 3 OpenRaster; every other value,
// including no selection, is PNG.
OutputFormat FormatFromIndex(int32_t index);

enum class ItemResult {
    Converted,   // loaded and written
    Skipped,     // the output existed and overwrite was off; nothing loaded
    LoadFailed,  // not a readable QVM/QVR document; nothing written
    WriteFailed, // loaded, but the output file could not be written
};

// The extension of format's files: "bmp", "png", "ora", or for Psd "psd", and
// "psb" when the document at fullPath declares a picture larger than PSD
// holds (fullPath null: "psd").
const char* OutputExtension(OutputFormat format, const char* fullPath = nullptr);

// folder + separator + itemName with the text after its last "." replaced by
// the format's extension (a name without "." keeps its text). The separator
// is always added, also after a folder that already ends in one.
void BuildOutputPath(Str& out, const char* folder, const char* itemName, OutputFormat format,
                     const char* fullPath = nullptr);

// Converts the document at fullPath, shown as itemName, into folder. image is
// the caller's own picture, reused from item to item. outputPath receives
// the path written (or skipped). pool, when given, reads and writes the
// document on its threads.
ItemResult ConvertItem(ImageBuffer& image, const char* fullPath, const char* itemName, const char* folder,
                       OutputFormat format, bool overwrite, Str& outputPath, WorkPool* pool = nullptr);

// The same into the file outputPath, named by the caller. A layered file
// whose path ends in ".psb" is PSB whatever the size; a layer it cannot
// decode is written empty and hidden and named in warnings (when given). A
// document that fails to load (LoadFailed) says why in loadFailure (when
// given).
ItemResult ConvertItemTo(ImageBuffer& image, const char* fullPath, const char* outputPath, OutputFormat format,
                         bool overwrite, WorkPool* pool = nullptr, uint32_t namesCodePage = 0,
                         std::vector<std::string>* warnings = nullptr, LoadResult* loadFailure = nullptr);

// The bytes converting the document at fullPath on poolSize threads holds at
// most, from its header alone (nothing is decoded): the picture, and beside
// it the larger of what its reader holds (LoadingMemory.h: bands and pieces
// of input, or a layer for a small QVM picture) and what writing the PNG
// holds. 0 for a document that will fail before it allocates (no header, or
// a picture too large to create).
uint64_t ItemMemoryEstimate(const char* fullPath, unsigned poolSize);
