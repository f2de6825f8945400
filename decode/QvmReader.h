#pragma once
// Flattens a QVM document (see QvmFormat.h) into one picture.

class ByteSource;
class ImageBuffer;

// Creates target at the document's size, fills it opaque white and blends
// every visible layer onto it, bottom layer first. True when every layer
// record was processed. On failure target is untouched when the file could
// not be opened or its header is unusable, empty when the picture could not
// be created, and otherwise holds the layers blended so far.
bool ReadQvm(ImageBuffer& target, const char* path);
// The same from a source positioned at the start of the document.
bool ReadQvm(ImageBuffer& target, ByteSource& source);
