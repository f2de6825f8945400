#include "export/BmpWriter.h"

#include "base/FileWriter.h"
#include "base/MemBlock.h"
#include "export/TempOutput.h"
#include "pixels/ImageBuffer.h"

#include <cstdint>

namespace {

constexpr uint32_t kHeaderBytes = 14 + 40;
// Resolution fields as the program has always written them (a plain 96,
// although the field counts pixels per metre).
constexpr uint32_t kResolution = 96;
// Rows are gathered into pieces of about this size per write.
constexpr uint64_t kPieceBytes = 64 * 1024;

void PutU16LE(uint8_t* out, uint16_t value) {
    out[0] = uint8_t(value);
    out[1] = uint8_t(value >> 8);
}

void PutU32LE(uint8_t* out, uint32_t value) {
    out[0] = uint8_t(value);
    out[1] = uint8_t(value >> 8);
    out[2] = uint8_t(value >> 16);
    out[3] = uint8_t(value >> 24);
}

void BuildHeaders(uint8_t* h, int32_t width, int32_t height, uint32_t fileSize) {
    h[0] = 'B';
    h[1] = 'M';
    PutU32LE(h + 2, fileSize);
    PutU16LE(h + 6, 0);
    PutU16LE(h + 8, 0);
    PutU32LE(h + 10, kHeaderBytes);
    PutU32LE(h + 14, 40);
    PutU32LE(h + 18, uint32_t(width));
    PutU32LE(h + 22, uint32_t(height)); // positive: bottom-up rows
    PutU16LE(h + 26, 1);                // planes
    PutU16LE(h + 28, 24);               // bits per pixel
    PutU32LE(h + 30, 0);                // no compression
    PutU32LE(h + 34, 0);                // image size, may be 0 when uncompressed
    PutU32LE(h + 38, kResolution);
    PutU32LE(h + 42, kResolution);
    PutU32LE(h + 46, 0); // colours used
    PutU32LE(h + 50, 0); // important colours
}

} // namespace

bool SaveBmp(const ImageBuffer& picture, const char* path) {
    if (picture.IsEmpty())
        return false;
    const int32_t width = picture.width;
    const int32_t height = picture.height;
    const uint64_t stride = (uint64_t(width) * 3 + 3) & ~uint64_t(3);
    const uint64_t fileSize = kHeaderBytes + stride * uint64_t(height);
    // The file-size field has 32 bits; a larger file could not be read back.
    if (fileSize > UINT32_MAX)
        return false;
    uint64_t rowsPerPiece = kPieceBytes / stride;
    if (rowsPerPiece == 0)
        rowsPerPiece = 1;
    if (rowsPerPiece > uint64_t(height))
        rowsPerPiece = uint64_t(height);
    // Allocated before the file is opened, so running out of memory leaves an
    // existing file at the path as it was. Zero-filled: the padding at the end
    // of each row is never written to and stays 0.
    MemBlock piece;
    if (piece.Alloc(uint32_t(rowsPerPiece * stride), true) == nullptr)
        return false;
    uint8_t header[kHeaderBytes];
    BuildHeaders(header, width, height, uint32_t(fileSize));

    // Written beside the final name and put in place only when complete, so
    // neither a failure nor an interruption leaves a truncated bitmap, which
    // would look valid.
    FileWriter file;
    TempOutput temporary;
    if (!temporary.Open(file, path))
        return false;
    bool ok = file.WriteExact(header, kHeaderBytes);
    for (int32_t y = 0; ok && y < height;) {
        const int32_t rest = height - y;
        const int32_t count = uint64_t(rest) < rowsPerPiece ? rest : int32_t(rowsPerPiece);
        for (int32_t r = 0; r < count; ++r) {
            // Memory order is the file's order: the bottom row first.
            const uint8_t* in = picture.bits + size_t(y + r) * size_t(width) * 4;
            uint8_t* out = piece.data + size_t(r) * size_t(stride);
            for (int32_t x = 0; x < width; ++x, in += 4, out += 3) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
            }
        }
        ok = file.WriteExact(piece.data, uint32_t(uint64_t(count) * stride));
        y += count;
    }
    return temporary.Finish(file, ok);
}
