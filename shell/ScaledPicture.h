#pragma once
// A document's picture, area-averaged down to fit a box: what the preview
// pane shows. The document is decoded once, by the thumbnail's road
// (DrawThumbnail: flattened band by band, in the thumbnail's memory and time
// bounds whatever its size), into a kept picture: the picture itself when no
// side exceeds kKeptSide, otherwise the picture fitted within that. Every
// size the pane asks for is then scaled from the kept picture, so resizing
// the pane never reads the document again.

#include <windows.h>

#include <objidl.h>

#include <atomic>
#include <cstdint>
#include <vector>

// The most a side of the kept picture takes: a pane wider than a screen is
// rare, and 2048 x 2048 pixels take 16 MB.
inline constexpr int32_t kKeptSide = 2048;

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
// at start) into kept: its picture, or the picture fitted within kKeptSide
// a side. A document that does not decode, or cannot be drawn within the
// thumbnails' memory and time bounds, gives a failed HRESULT and leaves kept
// empty; so does cancelled (when given) turning true before the end.
HRESULT DecodeKeptPicture(IStream* stream, uint64_t start, ScaledPicture& kept,
                          const std::atomic<bool>* cancelled = nullptr);

// kept scaled to fit boxWidth x boxHeight, never above the document's own
// size nor above kept's. E_INVALIDARG for an empty box.
HRESULT ScaleKeptPicture(const ScaledPicture& kept, int32_t boxWidth, int32_t boxHeight, ScaledPicture& picture);
