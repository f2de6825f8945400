#include "decode/ByteFile.h"

#include <cstdio>
#include <cstring>

namespace {
// Per thread, as errno is: several converter jobs write at once.
thread_local int failure = 0;
} // namespace

int ByteFile::LastFailure() {
    return failure;
}

void ByteFile::ClearFailure() {
    failure = 0;
}

void ByteFile::SetFailure(int code) {
    failure = code;
}

uint32_t ByteFile::Read(void* buffer, uint32_t count) {
    if (handle == nullptr || count == 0)
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
        return done + ReadFromFile(out + done, rest);
    aheadEnd = ReadFromFile(ahead.data, kReadAhead);
    const uint32_t take = rest < aheadEnd ? rest : aheadEnd;
    std::memcpy(out + done, ahead.data, take);
    aheadNext = take;
    return done + take;
}

int64_t ByteFile::Seek(int64_t distance, Origin origin) {
    if (handle == nullptr)
        return -1;
    const int64_t buffered = int64_t(aheadEnd) - int64_t(aheadNext);
    // The readers' skips over a few fields stay inside the bytes read ahead.
    if (origin == FromCurrent && buffered > 0 && distance >= -int64_t(aheadNext) && distance <= buffered) {
        aheadNext = uint32_t(int64_t(aheadNext) + distance);
        const int64_t filePosition = SeekInFile(0, FromCurrent);
        return filePosition < 0 ? -1 : filePosition - (int64_t(aheadEnd) - int64_t(aheadNext));
    }
    // The file itself is ahead of the reader by the unread bytes.
    aheadNext = aheadEnd = 0;
    return SeekInFile(origin == FromCurrent ? distance - buffered : distance, origin);
}

bool ByteFile::ReadU8(uint8_t& value) {
    return ReadExact(&value, 1);
}

bool ByteFile::ReadU16LE(uint16_t& value) {
    uint8_t b[2];
    if (!ReadExact(b, 2))
        return false;
    value = uint16_t(b[0] | (b[1] << 8));
    return true;
}

bool ByteFile::ReadU32LE(uint32_t& value) {
    uint8_t b[4];
    if (!ReadExact(b, 4))
        return false;
    value = uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
    return true;
}

bool ByteFile::ReadI32LE(int32_t& value) {
    uint32_t raw;
    if (!ReadU32LE(raw))
        return false;
    value = int32_t(raw);
    return true;
}

bool ByteFile::ReadAndCompare(const char* text) {
    const size_t length = std::strlen(text);
    char scratch[64];
    if (length >= sizeof scratch)
        return false;
    if (Read(scratch, uint32_t(length)) != length)
        return false;
    scratch[length] = 0;
    return std::strcmp(scratch, text) == 0;
}

bool ByteFile::WriteText(const char* text) {
    const uint32_t length = uint32_t(std::strlen(text));
    return WriteExact(text, length);
}

bool ByteFile::WriteNewline() {
    return WriteExact("\r\n", 2);
}

bool ByteFile::WriteKeyInt(const char* name, int32_t value) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", value);
    return WriteText(name) && WriteText("=") && WriteText(number) && WriteNewline();
}

bool ByteFile::WriteKeyText(const char* name, const char* text) {
    return WriteText(name) && WriteText("=") && WriteText(text) && WriteNewline();
}

uint32_t ByteFile::SwapBytes32(uint32_t value) {
    return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) | (value << 24);
}

void ByteFile::PutU32BE(uint32_t value, uint8_t* destination) {
    destination[0] = uint8_t(value >> 24);
    destination[1] = uint8_t(value >> 16);
    destination[2] = uint8_t(value >> 8);
    destination[3] = uint8_t(value);
}
