#include "decode/Inflate.h"

#include "base/ByteSource.h"

#include <zlib.h>

namespace {

// Inflates the zlib stream in the next compressedSize bytes of source, read
// in pieces of at most chunkSize bytes through input, until the stream ends
// (true) or the attempt does (false): corrupt data, no room left, no input
// left in the block or the file. makeRoom(stream) runs before every step and
// may point the stream at more output. Both ways of reading a stream go
// through here, so that they end at the same byte and fail at the same place.
// A deadline that passes ends the attempt too.
template <class MakeRoom>
bool InflateBlock(ByteSource& source, z_stream& stream, uint32_t compressedSize, uint8_t* input, uint32_t chunkSize,
                  const Deadline& deadline, MakeRoom makeRoom) {
    uint32_t remaining = compressedSize;
    for (;;) {
        if (deadline.Passed())
            return false;
        if (stream.avail_in == 0) {
            const uint32_t want = remaining < chunkSize ? remaining : chunkSize;
            const uint32_t got = want == 0 ? 0 : source.Read(input, want);
            stream.next_in = input;
            stream.avail_in = got;
            remaining -= got;
        }
        makeRoom(stream);
        // Z_OK is progress; anything else ends the attempt.
        const int status = inflate(&stream, Z_NO_FLUSH);
        if (status == Z_STREAM_END)
            return true;
        if (status != Z_OK)
            return false;
    }
}

} // namespace

bool InflateFromSource(ByteSource& source, uint8_t* destination, uint32_t capacity, uint32_t compressedSize,
                       uint8_t* scratch, uint32_t chunkSize, uint32_t* produced) {
    if (produced != nullptr)
        *produced = 0;
    z_stream stream = {};
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_out = destination;
    stream.avail_out = capacity;
    const bool ended = InflateBlock(source, stream, compressedSize, scratch, chunkSize, Deadline(), [](z_stream&) {});
    if (produced != nullptr)
        *produced = capacity - stream.avail_out;
    inflateEnd(&stream);
    return ended;
}

bool PassStream(ByteSource& source, uint64_t capacity, uint32_t compressedSize, uint8_t* input, uint8_t* scratch,
                uint32_t chunkSize, const Deadline& deadline) {
    z_stream stream = {};
    if (inflateInit(&stream) != Z_OK)
        return false;
    uint64_t room = capacity;
    uInt given = 0; // the output room the last step was given
    const bool ended = InflateBlock(source, stream, compressedSize, input, chunkSize, deadline, [&](z_stream& s) {
        room -= given - s.avail_out;
        // The room left of the layer, a scratch's worth at a time; none left
        // makes zlib refuse more output, as the full destination does there.
        if (s.avail_out == 0) {
            s.next_out = scratch;
            s.avail_out = uInt(room < chunkSize ? room : chunkSize);
        }
        given = s.avail_out;
    });
    inflateEnd(&stream);
    return ended;
}
