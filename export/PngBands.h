#pragma once
// The image data of a large PNG deflated band by band on a work pool. Each
// band of rows is compressed on its own as raw deflate, primed with the 32 KB
// of rows before it as its dictionary and ended on a byte boundary (the last
// band finishes the stream), so the bands put end to end, behind a zlib
// header and before the joined Adler-32, form one ordinary zlib stream. Every
// decoder reads the same pixels; the bytes depend only on the picture, never
// on the number of threads.

#include <cstdint>
#include <functional>

struct PngImage;
class WorkPool;

// What deflate's own state takes at the default window and memory level
// (two 64 K-entry tables of two bytes and the window, twice 32 KB), with the
// stream record.
inline constexpr uint64_t kDeflateStateBytes = 272 * 1024;

// The most the band jobs of one picture of `height` rows of rowBytes PNG
// bytes hold at once, whatever the pool: 0 for a picture deflated in one
// piece.
uint64_t MostBandsBytes(int64_t rowBytes, int32_t height);

// True when the picture is large enough for bands to pay. Smaller pictures
// are deflated in one piece.
bool SplitsIntoBands(const PngImage& image);

// Compresses every row of image at level and hands the zlib stream, header
// and checksum included, to write piece by piece in stream order. pool may be
// null (everything on this thread). False when compression fails or write
// returns false; every job has ended by then.
bool DeflateInBands(const PngImage& image, int level, WorkPool* pool,
                    const std::function<bool(const uint8_t*, uint32_t)>& write);
