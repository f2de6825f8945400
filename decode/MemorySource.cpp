#include "decode/MemorySource.h"

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
    const int64_t base = origin == FromStart ? 0 : origin == FromCurrent ? int64_t(position) : int64_t(size);
    // Positions are kept below 2^62: far past any document, and no sum of
    // two of them overflows.
    constexpr int64_t kFarthest = int64_t(1) << 62;
    if (distance < -base || distance > kFarthest - base)
        return -1;
    position = uint64_t(base + distance);
    return int64_t(position);
}
