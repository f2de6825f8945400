#pragma once
// PNG output of an ImageBuffer: 8-bit truecolour (colour type 2) or
// truecolour with alpha (colour type 6), chunks IHDR, IDAT and IEND only,
// filter type 0 on every row, one IDAT chunk holding the whole zlib stream.
// The program reaches it through SavePng; PngImage, Convert and PngWriter are
// the steps behind it.
//
// The picture is turned into PNG rows a band at a time and each band is handed
// to deflate as it is made, so saving never holds a second copy of the whole
// picture. deflate's output does not depend on how its input is split when no
// flush is asked for, so the file is byte for byte the one a single-block
// encoder writes (the tests compare both). Large pictures are deflated in
// bands on several threads instead (PngBands.h): still one zlib stream in one
// IDAT chunk, a few bytes in a megabyte larger.

#include "base/FileWriter.h"
#include "base/MemBlock.h"

#include <cstdint>

class ImageBuffer;
class WorkPool;

// The picture in PNG row form. Each stored row is a filter-type byte (0)
// followed by the samples, red, green, blue and, at depth 32, alpha. rows
// holds bandRows such rows at a time; row 0 of the PNG is the top row of the
// picture.
struct PngImage {
    int16_t depth = 0; // 24: RGB, 32: RGBA
    int32_t width = 0;
    int32_t height = 0;
    int32_t rowBytes = 0; // 1 + depth / 8 * width
    const ImageBuffer* source = nullptr;
    // The part of source the PNG holds starts at this pixel (y from the top).
    int32_t left = 0;
    int32_t top = 0;
    int32_t bandRows = 0;
    MemBlock rows;
    // Deflates a large picture's bands on its threads; null: this thread.
    WorkPool* pool = nullptr;
};

// Writes picture to path as a PNG file, with its alpha channel or without.
// A large picture is deflated on pool's threads when one is given. True only
// when the whole file is in place; on failure path keeps what it held.
bool SavePng(const ImageBuffer& picture, const char* path, bool withAlpha, WorkPool* pool = nullptr);

// Prepares image for source at depth 24 or 32 and allocates its band of
// rows. False for an empty picture, a depth other than 24 or 32, a row too
// long for the format, or when the band cannot be allocated.
bool Convert(const ImageBuffer& source, PngImage& image, int16_t depth);

// The same for the width x height part of source whose top-left pixel is
// (left, top), which must lie inside it.
bool ConvertPart(const ImageBuffer& source, PngImage& image, int16_t depth, int32_t left, int32_t top, int32_t width,
                 int32_t height);

// Fills the band with count PNG rows starting at PNG row first (0 = top).
// count is at most bandRows.
void ConvertRows(PngImage& image, int32_t first, int32_t count);
// The same into out, which has room for count rows.
void ConvertRowsInto(const PngImage& image, int32_t first, int32_t count, uint8_t* out);

// The most saving a picture of width x height at depth 24 or 32 holds
// beside the picture itself: its band of PNG rows, deflate's state and
// output buffer, and the bands in flight of a large picture (PngBands.h),
// whatever the pool.
uint64_t PngSavingBytes(int32_t width, int32_t height, int16_t depth);

class PngWriter : public FileWriter {
public:
    // Writes the PNG file; level is deflate's compression level (0-9). True
    // only when every byte reached the file. The file is written under a
    // temporary name and replaces path only when complete: on any failure
    // path keeps what it held and no temporary remains.
    bool WritePng(const char* path, PngImage& picture, int level);

private:
    bool WriteBody();
    bool WriteChunk(const char* type, const uint8_t* data, uint32_t length);
    bool WriteImageData();
    bool DeflateWhole();
    bool WritePiece(const uint8_t* data, uint32_t length);

    PngImage* image = nullptr;
    struct z_stream_s* stream = nullptr;
    MemBlock output;
    uint32_t checksum = 0;
    uint64_t total = 0;
    int level = 0;
};
