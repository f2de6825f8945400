#pragma once
// A cell's thumbnail made from its document, on any thread: the document
// read from its file band by band straight into the scaled picture, as the
// Explorer handler makes its thumbnails, so a grid of large documents holds
// a few bands at a time, not their pictures.

#include "app/ThumbnailGrid.h"

#include <atomic>

enum class CellOutcome { Made, Failed, Cancelled };

// The thumbnail of the document at path with its longest side at most side
// (never enlarged), into picture. Failed: the file cannot be opened, is no
// document or does not load whole. Cancelled: cancel turned true first.
CellOutcome MakeCellThumbnail(const char* path, int32_t side, CellPicture& picture, const std::atomic<bool>& cancel);
