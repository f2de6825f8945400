#pragma once
// A document's layers one at a time, for the layered exports: each layer's
// record (name, blend mode, opacity, visibility) and, when asked, its pixels
// in a picture of the document's size. Only one layer is expanded at any
// time, whatever the layer count.
//
// A QVM layer is its stored pixels. A QVR layer is its colour with its
// coverage as alpha (opacity and visibility kept apart, as in QVM); a QVR
// version 0 document that stores a flattened picture gives that picture as
// one opaque layer. QVR layers have no names: they are called "Layer N",
// counting from 1 at the bottom.
//
// Records are found as the readers find them, so a walk meets the layers
// the flattened picture was made of. A layer whose stream cannot be
// expanded (a hidden one with a corrupt stream, which the readers never
// expand) comes back with no pixels and decoded false; the walk goes on
// with the next record.

#include "base/ByteFile.h"
#include "decode/DocumentHeader.h"
#include "decode/LoadResult.h"
#include "base/MemBlock.h"

#include <cstdint>
#include <string>

class ImageBuffer;

struct WalkedLayer {
    std::string name;        // as stored (QVM: up to 32 bytes in its code page); "Layer N" for QVR
    bool storedName = false; // true: name holds stored bytes, read by the layer-name rule
    uint8_t blendMode = 0;   // QVM's codes 0 to 20 (others as stored); QVR: 0, Normal
    uint8_t opacity = 128;   // 0 to 128 as stored
    bool visible = true;
    bool decoded = true; // false: the pixels could not be expanded and are all clear
    // QVM: the whole pixels the stream produced, those the reader blends.
    uint64_t produced = 0;
    // The smallest rectangle holding every pixel whose alpha is above 0, in
    // picture coordinates (y from the top), right and bottom exclusive;
    // empty (all 0) for a layer with nothing in it. Set when pixels were read.
    int32_t left = 0, top = 0, right = 0, bottom = 0;

    bool Empty() const { return right <= left || bottom <= top; }
};

class LayerWalk {
public:
    // Opens the document at path and reads its header; false when it is no
    // QVM or QVR document or its header is unusable.
    bool Open(const char* path);
    const DocumentHeader& Header() const { return header; }
    // The layer records the document declares (1 for a stored flattened picture).
    uint32_t LayerCount() const { return count; }

    // The next layer, bottom first. With pixels (a picture of the document's
    // size, created by the caller) its pixels are expanded into it and its
    // bounds found; without, its data is passed over. False when no layer is
    // left or the file ends inside a record.
    bool Next(WalkedLayer& layer, ImageBuffer* pixels);

    // Why Open or Next last failed, in the readers' words: the layer
    // (counted from 1) or tile where the walk stopped.
    const LoadResult& Failure() const { return failure; }

private:
    bool Fail(LoadResult why) {
        failure = std::move(why);
        return false;
    }
    bool NextQvm(WalkedLayer& layer, ImageBuffer* pixels);
    bool NextQvrMask(WalkedLayer& layer, ImageBuffer* pixels);
    bool NextQvrTiles(WalkedLayer& layer, ImageBuffer* pixels);
    bool NextFlattened(WalkedLayer& layer, ImageBuffer* pixels);

    ByteFile file;
    DocumentHeader header;
    uint32_t count = 0;
    uint32_t index = 0;
    bool flattened = false;
    uint32_t flattenedSize = 0;
    MemBlock scratch;
    MemBlock input;
    MemBlock mask; // QVR version 0 only
    LoadResult failure;
};

// Finds the bounds of the pixels whose alpha is above 0 (WalkedLayer).
void FindAlphaBounds(const ImageBuffer& pixels, WalkedLayer& layer);
