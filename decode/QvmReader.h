#pragma once
// Flattens a QVM document (see QvmFormat.h) into one picture.

#include "decode/LoadResult.h"

#include <cstdint>
#include <vector>

class ByteSource;
class ImageBuffer;
class WorkPool;

// Creates target at the document's size, fills it opaque white and blends
// every visible layer onto it, bottom layer first. Loaded when every layer
// record was processed; otherwise the result names the layer where the read
// stopped (LoadResult.h). On failure target is untouched when the file could
// not be opened or its header is unusable, empty when the picture could not
// be created, and otherwise holds the layers blended so far.
//
// A large picture is flattened a band of rows at a time (QvmPictureBands.h),
// its layers' bands expanded on pool's threads when one is given: beside the
// picture the read holds a few megabytes, however many threads help. The
// picture and the result are the same as reading one layer after the other.
LoadResult ReadQvm(ImageBuffer& target, const char* path, WorkPool* pool = nullptr);
// The same from a source positioned at the start of the document.
LoadResult ReadQvm(ImageBuffer& target, ByteSource& source, WorkPool* pool = nullptr);

// ReadQvm in bands whatever the picture's size, for the tests and fuzz
// targets that hold the two ways against each other.
LoadResult ReadQvmOnPool(ImageBuffer& target, ByteSource& source, WorkPool& pool);

// ReadQvm with the visibility of layer record i (0 = bottom) taken from
// visible[i] instead of its stored flag: the viewer's layers pane hides and
// shows layers without writing the file. Records beyond visible keep their
// flag. A hidden layer's stream is skipped, not expanded.
LoadResult ReadQvmShowing(ImageBuffer& target, const char* path, const std::vector<uint8_t>& visible,
                          WorkPool* pool = nullptr);
// The same from a source positioned at the start of the document.
LoadResult ReadQvmShowing(ImageBuffer& target, ByteSource& source, const std::vector<uint8_t>& visible,
                          WorkPool* pool = nullptr);
