#pragma once
// What a document load came to, told by the reader where it met the fault:
// the converter prints the reason, and the viewer shows it in its view and
// status bar.

#include <cstdint>
#include <string>

enum class LoadCode {
    Loaded,
    NotDocument,        // "not a QVM/QVR document": the name, magic or kind is not one we read
    CannotOpen,         // "cannot open"
    UnsupportedVersion, // "unsupported version N"
    CorruptHeader,      // "corrupt header": cut short, or a length below its least
    EmptyPicture,       // "empty picture (WxH)": a side of 0
    TooLarge,           // "picture too large (WxH)": no bitmap of that size can be made
    OutOfMemory,        // "not enough memory for WxH"
    Truncated,          // "truncated at layer N", "truncated at tile T of layer N"
    CorruptLayer,       // "corrupt layer N": a QVM layer's stream
    CorruptMask,        // "corrupt mask of layer N": a QVR version 0 mask stream
    CorruptPicture,     // "corrupt flattened picture": the picture a QVR version 0 document stores
    CorruptTile,        // "corrupt tile T of layer N": a bad size or stream
    ReadError,          // "cannot read": the file or source failed to go back to a place it read
    Changed,            // "changed while it was read"
    Cancelled,          // "cancelled": the pool's owner gave the document up
};

struct LoadResult {
    LoadCode code = LoadCode::Loaded;
    uint32_t layer = 0; // the layer concerned, 1 for the bottom one; 0 for none
    uint32_t tile = 0;  // the tile concerned within that layer, 1 for its first; 0 for none
    std::string reason; // as the program shows it; empty when loaded

    // True when the whole document was read.
    explicit operator bool() const { return code == LoadCode::Loaded; }
};

// The results, each with its reason in the words above.
namespace loadresult {
LoadResult NotDocument();
LoadResult CannotOpen();
LoadResult UnsupportedVersion(uint32_t version);
LoadResult CorruptHeader();
LoadResult EmptyPicture(uint32_t width, uint32_t height);
LoadResult TooLarge(uint32_t width, uint32_t height);
LoadResult OutOfMemory(uint32_t width, uint32_t height);
LoadResult TruncatedAt(uint32_t layer, uint32_t tile = 0);
LoadResult CorruptLayer(uint32_t layer);
LoadResult CorruptMask(uint32_t layer);
LoadResult CorruptPicture();
LoadResult CorruptTile(uint32_t layer, uint32_t tile);
LoadResult ReadError();
LoadResult Changed();
// Why a picture of that size could not be created: EmptyPicture for a side
// of 0, TooLarge where no bitmap of it can be, else OutOfMemory.
LoadResult NotCreated(uint32_t width, uint32_t height);
LoadResult Cancelled();
} // namespace loadresult
