#include "decode/Inflate.h"

#include "decode/ByteSource.h"

#include <zlib.h>

bool InflateFromSource(ByteSource& source, uint8_t* destination, uint32_t capacity, uint32_t compressedSize,
                       uint8_t* scratch, uint32_t chunkSize, uint32_t* produced) {
    if (produced != nullptr)
        *produced = 0;
    z_stream stream = {};
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_out = destination;
    stream.avail_out = capacity;
    uint32_t remaining = compressedSize;
    bool ended = false;
    for (;;) {
        if (stream.avail_in == 0) {
            const uint32_t want = remaining < chunkSize ? remaining : chunkSize;
            const uint32_t got = want == 0 ? 0 : source.Read(scratch, want);
            stream.next_in = scratch;
            stream.avail_in = got;
            remaining -= got;
        }
        const int status = inflate(&stream, Z_NO_FLUSH);
        if (status == Z_STREAM_END) {
            ended = true;
            break;
        }
        // Z_OK is progress; anything else (corrupt data, no room left, no
        // input left in the block or the file) ends the attempt.
        if (status != Z_OK)
            break;
    }
    if (produced != nullptr)
        *produced = capacity - stream.avail_out;
    inflateEnd(&stream);
    return ended;
}

bool PassStream(ByteSource& source, uint64_t capacity, uint32_t compressedSize, uint8_t* input, uint8_t* scratch,
                uint32_t chunkSize) {
    z_stream stream = {};
    if (inflateInit(&stream) != Z_OK)
        return false;
    uint64_t room = capacity;
    uint32_t remaining = compressedSize;
    bool ended = false;
    for (;;) {
        if (stream.avail_in == 0) {
            const uint32_t want = remaining < chunkSize ? remaining : chunkSize;
            const uint32_t got = want == 0 ? 0 : source.Read(input, want);
            stream.next_in = input;
            stream.avail_in = got;
            remaining -= got;
        }
        // The room left of the layer, a scratch's worth at a time; none left
        // makes zlib refuse more output, as the full destination does there.
        if (stream.avail_out == 0) {
            stream.next_out = scratch;
            stream.avail_out = uInt(room < chunkSize ? room : chunkSize);
        }
        const uInt before = stream.avail_out;
        const int status = inflate(&stream, Z_NO_FLUSH);
        room -= before - stream.avail_out;
        if (status == Z_STREAM_END) {
            ended = true;
            break;
        }
        if (status != Z_OK)
            break;
    }
    inflateEnd(&stream);
    return ended;
}
