#include "tests/export/PngReadBack.h"

#include <zlib.h>

namespace pngread {

namespace {

uint32_t GetU32BE(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

void PutU32BE(Bytes& out, uint32_t v) {
    out.push_back(uint8_t(v >> 24));
    out.push_back(uint8_t(v >> 16));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void PutChunk(Bytes& out, const char* type, const Bytes& data) {
    PutU32BE(out, uint32_t(data.size()));
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
    if (!data.empty()) // crc32 with no buffer restarts at 0
        crc = crc32(crc, data.data(), uInt(data.size()));
    PutU32BE(out, uint32_t(crc));
}

} // namespace

bool Parse(const Bytes& file, Png& png) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    png = Png();
    if (file.size() < 8)
        return false;
    png.signatureOk = std::equal(signature, signature + 8, file.begin());
    size_t at = 8;
    while (at < file.size()) {
        if (file.size() - at < 12)
            return false;
        const uint32_t length = GetU32BE(&file[at]);
        if (file.size() - at - 12 < length)
            return false;
        Chunk chunk;
        chunk.type.assign(reinterpret_cast<const char*>(&file[at + 4]), 4);
        chunk.data.assign(file.begin() + long(at + 8), file.begin() + long(at + 8 + length));
        const uLong crc = crc32(0, &file[at + 4], uInt(4 + length));
        chunk.crcOk = crc == GetU32BE(&file[at + 8 + length]);
        if (chunk.type == "IHDR" && length == 13) {
            png.width = GetU32BE(&chunk.data[0]);
            png.height = GetU32BE(&chunk.data[4]);
            png.colourType = chunk.data[9];
        }
        png.chunks.push_back(std::move(chunk));
        at += 12 + length;
    }
    return true;
}

bool Expand(Png& png) {
    Bytes compressed;
    for (const Chunk& chunk : png.chunks)
        if (chunk.type == "IDAT")
            compressed.insert(compressed.end(), chunk.data.begin(), chunk.data.end());
    z_stream zs = {};
    if (inflateInit(&zs) != Z_OK)
        return false;
    zs.next_in = compressed.data();
    zs.avail_in = uInt(compressed.size());
    png.raw.clear();
    uint8_t buffer[65536];
    int status = Z_OK;
    while (status == Z_OK) {
        zs.next_out = buffer;
        zs.avail_out = sizeof buffer;
        status = inflate(&zs, Z_NO_FLUSH);
        png.raw.insert(png.raw.end(), buffer, buffer + (sizeof buffer - zs.avail_out));
    }
    inflateEnd(&zs);
    return status == Z_STREAM_END && zs.avail_in == 0;
}

Bytes ReferenceEncode(uint32_t width, uint32_t height, bool alpha, const Bytes& rows) {
    Bytes out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes header;
    PutU32BE(header, width);
    PutU32BE(header, height);
    header.insert(header.end(), {8, uint8_t(alpha ? 6 : 2), 0, 0, 0});
    PutChunk(out, "IHDR", header);

    z_stream zs = {};
    deflateInit(&zs, 6);
    Bytes data;
    uint8_t buffer[32768];
    zs.next_in = const_cast<uint8_t*>(rows.data());
    zs.avail_in = uInt(rows.size());
    zs.next_out = buffer;
    zs.avail_out = sizeof buffer;
    int flush = Z_NO_FLUSH;
    for (;;) {
        if (zs.avail_in == 0)
            flush = Z_FINISH;
        const int status = deflate(&zs, flush);
        if (status == Z_OK) {
            if (zs.avail_out == 0) {
                data.insert(data.end(), buffer, buffer + sizeof buffer);
                zs.next_out = buffer;
                zs.avail_out = sizeof buffer;
            }
            continue;
        }
        data.insert(data.end(), buffer, buffer + (sizeof buffer - zs.avail_out));
        break;
    }
    deflateEnd(&zs);
    PutChunk(out, "IDAT", data);
    PutChunk(out, "IEND", {});
    return out;
}

} // namespace pngread
