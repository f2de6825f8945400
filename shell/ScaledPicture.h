#pragma once
// A document's picture, area-averaged down to fit a box: what the preview
// pane shows. It takes the thumbnail's road (DrawThumbnail) at the pane's
// size: the picture flattened band by band straight into the scaled one, in
// the thumbnail's memory bound whatever the document's size.

#include <windows.h>

#include <objidl.h>

#include <cstdint>
#include <vector>

struct ScaledPicture {
    int32_t width = 0;
    int32_t height = 0;
    int32_t pictureWidth = 0; // the document's own size
    int32_t pictureHeight = 0;
    std::vector<uint8_t> pixels; // top row first, 4 bytes a pixel (blue, green, red, 255)
};

// The largest size within boxWidth x boxHeight with the picture's aspect, never
// above the picture's own size (at least 1 pixel a side); zero for an empty
// picture or box.
void FitWithin(int32_t pictureWidth, int32_t pictureHeight, int32_t boxWidth, int32_t boxHeight, int32_t& width,
               int32_t& height);

// Reads the document from stream (from its start as Initialize handed it,
// at start) and scales its picture to fit boxWidth x boxHeight, never above
// its own size. A document that does not decode, or cannot be drawn within
// the thumbnails' memory bound, gives a failed HRESULT and leaves picture
// empty.
HRESULT MakeScaledPicture(IStream* stream, uint64_t start, int32_t boxWidth, int32_t boxHeight, ScaledPicture& picture);
