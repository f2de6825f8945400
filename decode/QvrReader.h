#pragma once
// Flattens a QVR document into one picture. Each QVR layer is one colour
// painted through an 8-bit coverage mask; version 0 stores each mask whole (or
// a picture already flattened), version 1 stores masks as sparse 64 x 64
// tiles placed by a per-layer offset.

#include "decode/LoadResult.h"

#include <cstdint>
#include <vector>

class ByteSource;
class ImageBuffer;
class WorkPool;

// Creates target at the document's size, fills it opaque white and mixes
// every visible layer's colour onto it, bottom layer first (a stored
// flattened picture is taken as it is). Loaded when the document was read to
// the end of its last layer or of its flattened picture; otherwise the result
// names the layer, mask or tile where the read stopped. On failure target is
// untouched when the file could not be opened or its header is unusable,
// empty when the picture could not be created, and otherwise holds what was
// mixed so far.
//
// With a pool, the masks or tiles of a large picture are inflated on its
// threads and mixed in the same order; the picture and the result are the
// same as without.
LoadResult ReadQvr(ImageBuffer& target, const char* path, WorkPool* pool = nullptr);
// The same from a source positioned at the start of the document.
LoadResult ReadQvr(ImageBuffer& target, ByteSource& source, WorkPool* pool = nullptr);

// ReadQvr on the pool whatever the picture's size, for the tests and fuzz
// targets that hold the two ways against each other.
LoadResult ReadQvrOnPool(ImageBuffer& target, ByteSource& source, WorkPool& pool);

// ReadQvr with the visibility of layer record i (0 = bottom) taken from
// visible[i] instead of its stored flag: the viewer's layers pane hides and
// shows layers without writing the file. Records beyond visible keep their
// flag; a stored flattened picture is taken as it is.
LoadResult ReadQvrShowing(ImageBuffer& target, const char* path, const std::vector<uint8_t>& visible,
                          WorkPool* pool = nullptr);
// The same from a source positioned at the start of the document.
LoadResult ReadQvrShowing(ImageBuffer& target, ByteSource& source, const std::vector<uint8_t>& visible,
                          WorkPool* pool = nullptr);
