#include "shell/StreamSource.h"

#include <windows.h>

#include <objidl.h>

uint32_t StreamSource::ReadFromSource(void* buffer, uint32_t count) {
    if (position >= size)
        return 0;
    if (!streamAt) {
        LARGE_INTEGER move;
        move.QuadPart = LONGLONG(start + position);
        if (FAILED(stream->Seek(move, STREAM_SEEK_SET, nullptr)))
            return 0;
        streamAt = true;
    }
    const uint64_t left = size - position;
    const uint32_t want = left < count ? uint32_t(left) : count;
    // A stream may hand over fewer bytes than asked before its end; ask
    // again until it gives nothing.
    uint8_t* out = static_cast<uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < want) {
        ULONG got = 0;
        const HRESULT result = stream->Read(out + done, want - done, &got);
        if (FAILED(result) || got == 0 || got > want - done)
            break;
        done += got;
    }
    position += done;
    if (done < want)
        streamAt = false; // where the stream stands after a failure is unknown
    return done;
}

int64_t StreamSource::SeekInSource(int64_t distance, Origin origin) {
    const int64_t moved = MovedPosition(position, size, distance, origin);
    if (moved >= 0 && uint64_t(moved) != position) {
        position = uint64_t(moved);
        streamAt = false;
    }
    return moved;
}
