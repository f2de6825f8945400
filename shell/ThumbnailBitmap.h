#pragma once
// The bitmap a thumbnail is handed out in: a top-down 32-bit DIB section of
// the thumbnail's size, drawn by a callback. The bitmap is owned here until
// it is handed out, so neither a failed drawing nor a throw from it leaks
// one in the shell's long-lived process.

#include "decode/ThumbnailScale.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>

// Draws into rows of stride bytes; the HRESULT is the thumbnail's (S_OK
// keeps the bitmap).
using ThumbnailDrawing = std::function<HRESULT(uint8_t* bits, ptrdiff_t stride)>;

// The header of a top-down 32-bit picture of width x height, BI_RGB: the
// thumbnail's DIB section and the preview's drawing alike.
BITMAPINFO TopDownBitmapInfo(int32_t width, int32_t height);

// *bitmap is the drawn bitmap on S_OK and null otherwise; a throw from draw
// passes through after the bitmap is deleted.
HRESULT MakeThumbnailBitmap(const ThumbnailSize& size, const ThumbnailDrawing& draw, HBITMAP* bitmap);
