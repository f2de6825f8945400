#include "base/ByteSource.h"

#include <cstring>

uint32_t ByteSource::Read(void* buffer, uint32_t count) {
    if (count == 0)
        return 0;
    uint8_t* out = static_cast<uint8_t*>(buffer);
    uint32_t done = aheadEnd - aheadNext;
    if (done >= count) {
        std::memcpy(out, ahead.data + aheadNext, count);
        aheadNext += count;
        return count;
    }
    if (done > 0)
        std::memcpy(out, ahead.data + aheadNext, done);
    aheadNext = aheadEnd = 0;
    const uint32_t rest = count - done;
    if (rest >= kReadAhead || (ahead.data == nullptr && ahead.Alloc(kReadAhead, false) == nullptr))
        return done + ReadFromSource(out + done, rest);
    aheadEnd = ReadFromSource(ahead.data, kReadAhead);
    const uint32_t take = rest < aheadEnd ? rest : aheadEnd;
    std::memcpy(out + done, ahead.data, take);
    aheadNext = take;
    return done + take;
}

int64_t ByteSource::Seek(int64_t distance, Origin origin) {
    const int64_t buffered = int64_t(aheadEnd) - int64_t(aheadNext);
    // The readers' skips over a few fields stay inside the bytes read ahead.
    if (origin == FromCurrent && buffered > 0 && distance >= -int64_t(aheadNext) && distance <= buffered) {
        aheadNext = uint32_t(int64_t(aheadNext) + distance);
        const int64_t sourcePosition = SeekInSource(0, FromCurrent);
        return sourcePosition < 0 ? -1 : sourcePosition - (int64_t(aheadEnd) - int64_t(aheadNext));
    }
    // The source itself is ahead of the reader by the unread bytes. A move
    // the source refuses leaves it where it was, so the bytes read ahead are
    // kept for the reader, who has not moved either.
    const int64_t position = SeekInSource(origin == FromCurrent ? distance - buffered : distance, origin);
    if (position >= 0)
        aheadNext = aheadEnd = 0;
    return position;
}

int64_t ByteSource::MovedPosition(uint64_t position, uint64_t size, int64_t distance, Origin origin) {
    const int64_t base = origin == FromStart ? 0 : origin == FromCurrent ? int64_t(position) : int64_t(size);
    // Positions are kept below 2^62: far past any document, and no sum of
    // two of them overflows.
    constexpr int64_t kFarthest = int64_t(1) << 62;
    if (distance < -base || distance > kFarthest - base)
        return -1;
    return base + distance;
}

bool ByteSource::ReadU8(uint8_t& value) {
    return ReadExact(&value, 1);
}

bool ByteSource::ReadU16LE(uint16_t& value) {
    uint8_t b[2];
    if (!ReadExact(b, 2))
        return false;
    value = uint16_t(b[0] | (b[1] << 8));
    return true;
}

bool ByteSource::ReadU32LE(uint32_t& value) {
    uint8_t b[4];
    if (!ReadExact(b, 4))
        return false;
    value = uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
    return true;
}

bool ByteSource::ReadI32LE(int32_t& value) {
    uint32_t raw;
    if (!ReadU32LE(raw))
        return false;
    value = int32_t(raw);
    return true;
}

bool ByteSource::ReadAndCompare(const char* text) {
    const size_t length = std::strlen(text);
    char scratch[64];
    if (length >= sizeof scratch)
        return false;
    if (Read(scratch, uint32_t(length)) != length)
        return false;
    scratch[length] = 0;
    return std::strcmp(scratch, text) == 0;
}
