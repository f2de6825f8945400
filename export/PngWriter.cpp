#include "export/PngWriter.h"

#include "base/BigEndian.h"

#include "export/PngBands.h"
#include "export/TempOutput.h"
#include "pixels/ImageBuffer.h"

#include <zlib.h>

namespace {

// About this much of the picture is in PNG row form at any time.
constexpr uint32_t kBandBytes = 256 * 1024;
// Compressed data passes through a buffer of this size on its way to the file.
constexpr uint32_t kOutputBytes = 32768;
// A chunk's length field is limited to 2^31 - 1 by the format.
constexpr uint64_t kMaxChunkLength = 0x7FFFFFFFu;
constexpr int kLevel = 6;

const uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

uint32_t ChecksumStart(const char* type) {
    return uint32_t(crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(type), 4));
}

} // namespace

bool Convert(const ImageBuffer& source, PngImage& image, int16_t depth) {
    return ConvertPart(source, image, depth, 0, 0, source.width, source.height);
}

bool ConvertPart(const ImageBuffer& source, PngImage& image, int16_t depth, int32_t left, int32_t top, int32_t width,
                 int32_t height) {
    if (source.IsEmpty() || (depth != 24 && depth != 32) || left < 0 || top < 0 || width < 1 || height < 1 ||
        width > source.width - left || height > source.height - top)
        return false;
    const uint64_t rowBytes = 1 + uint64_t(depth / 8) * uint64_t(width);
    if (rowBytes > uint64_t(INT32_MAX))
        return false;
    uint64_t bandRows = kBandBytes / rowBytes;
    if (bandRows == 0)
        bandRows = 1;
    if (bandRows > uint64_t(height))
        bandRows = uint64_t(height);
    // Zero-filled: the filter-type byte of every row is 0 from here on.
    if (image.rows.Alloc(uint32_t(bandRows * rowBytes), true) == nullptr)
        return false;
    image.depth = depth;
    image.width = width;
    image.height = height;
    image.left = left;
    image.top = top;
    image.rowBytes = int32_t(rowBytes);
    image.source = &source;
    image.bandRows = int32_t(bandRows);
    return true;
}

uint64_t PngSavingBytes(int32_t width, int32_t height, int16_t depth) {
    if (width <= 0 || height <= 0)
        return 0;
    const uint64_t rowBytes = 1 + uint64_t(depth / 8) * uint64_t(width);
    uint64_t bandRows = kBandBytes / rowBytes;
    if (bandRows == 0)
        bandRows = 1;
    if (bandRows > uint64_t(height))
        bandRows = uint64_t(height);
    return bandRows * rowBytes + kOutputBytes + kDeflateStateBytes + MostBandsBytes(int64_t(rowBytes), height);
}

void ConvertRows(PngImage& image, int32_t first, int32_t count) {
    ConvertRowsInto(image, first, count, image.rows.data);
}

void ConvertRowsInto(const PngImage& image, int32_t first, int32_t count, uint8_t* rows) {
    const bool alpha = image.depth == 32;
    for (int32_t r = 0; r < count; ++r) {
        const uint8_t* in = image.source->TopRow(image.top + first + r) + size_t(image.left) * 4;
        uint8_t* out = rows + size_t(r) * size_t(image.rowBytes);
        *out++ = 0; // filter type: none
        for (int32_t x = 0; x < image.width; ++x, in += 4) {
            // Pixels are stored blue, green, red, alpha; PNG wants red first.
            *out++ = in[2];
            *out++ = in[1];
            *out++ = in[0];
            if (alpha)
                *out++ = in[3];
        }
    }
}

bool PngWriter::WritePng(const char* path, PngImage& picture, int deflateLevel) {
    if (picture.rows.data == nullptr || picture.source == nullptr || !IsClosed())
        return false;
    // Everything that can fail before the first byte is written is done
    // before the file is opened, so such a failure leaves an existing file
    // at the path untouched.
    if (output.Alloc(kOutputBytes, true) == nullptr)
        return false;
    z_stream zs = {};
    level = deflateLevel;
    if (deflateInit(&zs, level) != Z_OK) {
        output.Release();
        return false;
    }
    image = &picture;
    stream = &zs;
    bool written = false;
    // Written beside the final name and put in place only when complete
    // (TempOutput); Finish's close reports writes the system buffered and
    // could not complete.
    TempOutput temporary;
    if (temporary.Open(*this, path))
        written = temporary.Finish(*this, WriteBody());
    deflateEnd(&zs);
    stream = nullptr;
    image = nullptr;
    output.Release();
    return written;
}

bool PngWriter::WriteBody() {
    if (!WriteExact(kSignature, sizeof kSignature))
        return false;
    uint8_t header[13];
    PutU32BE(uint32_t(image->width), header);
    PutU32BE(uint32_t(image->height), header + 4);
    header[8] = 8;                            // bits per sample
    header[9] = image->depth == 32 ? 6 : 2;   // colour type: RGBA or RGB
    header[10] = header[11] = header[12] = 0; // deflate, adaptive filtering, not interlaced
    return WriteChunk("IHDR", header, sizeof header) && WriteImageData() && WriteChunk("IEND", nullptr, 0);
}

bool PngWriter::WriteChunk(const char* type, const uint8_t* data, uint32_t length) {
    uint8_t field[4];
    PutU32BE(length, field);
    if (!WriteExact(field, 4) || !WriteExact(type, 4))
        return false;
    uint32_t crc = ChecksumStart(type);
    if (length > 0) {
        if (!WriteExact(data, length))
            return false;
        crc = uint32_t(crc32(crc, data, length));
    }
    PutU32BE(crc, field);
    return WriteExact(field, 4);
}

bool PngWriter::WritePiece(const uint8_t* data, uint32_t length) {
    if (length == 0)
        return true;
    total += length;
    if (total > kMaxChunkLength)
        return false;
    checksum = uint32_t(crc32(checksum, data, length));
    return WriteExact(data, length);
}

// The whole compressed stream forms one IDAT chunk. Its length is known only
// at the end, so a placeholder is written first and filled in afterwards.
bool PngWriter::WriteImageData() {
    const int64_t lengthAt = Tell();
    if (lengthAt < 0)
        return false;
    const uint8_t placeholder[4] = {0, 0, 0, 0};
    if (!WriteExact(placeholder, 4) || !WriteExact("IDAT", 4))
        return false;
    checksum = ChecksumStart("IDAT");
    total = 0;
    const bool deflated =
        SplitsIntoBands(*image)
            ? DeflateInBands(*image, level, image->pool,
                             [this](const uint8_t* data, uint32_t length) { return WritePiece(data, length); })
            : DeflateWhole();
    if (!deflated)
        return false;
    const int64_t end = Tell();
    uint8_t field[4];
    PutU32BE(uint32_t(total), field);
    if (end < 0 || Seek(lengthAt) != lengthAt || !WriteExact(field, 4) || Seek(end) != end)
        return false;
    PutU32BE(checksum, field);
    return WriteExact(field, 4);
}

bool PngWriter::DeflateWhole() {
    z_stream& zs = *stream;
    zs.next_out = output.data;
    zs.avail_out = output.size;
    auto drain = [&]() {
        const bool ok = WritePiece(output.data, output.size - zs.avail_out);
        zs.next_out = output.data;
        zs.avail_out = output.size;
        return ok;
    };
    for (int32_t first = 0; first < image->height; first += image->bandRows) {
        const int32_t rest = image->height - first;
        const int32_t count = rest < image->bandRows ? rest : image->bandRows;
        ConvertRows(*image, first, count);
        zs.next_in = image->rows.data;
        zs.avail_in = uint32_t(count) * uint32_t(image->rowBytes);
        while (zs.avail_in > 0) {
            if (deflate(&zs, Z_NO_FLUSH) != Z_OK)
                return false;
            if (zs.avail_out == 0 && !drain())
                return false;
        }
    }
    for (;;) {
        const int status = deflate(&zs, Z_FINISH);
        if (status == Z_STREAM_END)
            break;
        if (status != Z_OK)
            return false;
        if (zs.avail_out == 0 && !drain())
            return false;
    }
    if (!drain())
        return false;
    return true;
}

bool SavePng(const ImageBuffer& picture, const char* path, bool withAlpha, WorkPool* pool) {
    PngImage image;
    if (!Convert(picture, image, withAlpha ? 32 : 24))
        return false;
    image.pool = pool;
    PngWriter writer;
    return writer.WritePng(path, image, kLevel);
}
