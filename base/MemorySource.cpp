#include "base/MemorySource.h"

#include <cstring>

uint32_t MemorySource::ReadFromSource(void* buffer, uint32_t count) {
    if (position >= size)
        return 0;
    const uint64_t left = size - position;
    const uint32_t take = left < count ? uint32_t(left) : count;
    std::memcpy(buffer, data + position, take);
    position += take;
    return take;
}

int64_t MemorySource::SeekInSource(int64_t distance, Origin origin) {
    const int64_t moved = MovedPosition(position, size, distance, origin);
    if (moved >= 0)
        position = uint64_t(moved);
    return moved;
}
