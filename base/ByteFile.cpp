#include "base/ByteFile.h"

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

uint32_t ByteFile::ReadFromSource(void* buffer, uint32_t count) {
    return handle == nullptr ? 0 : ReadFromFile(buffer, count);
}

int64_t ByteFile::SeekInSource(int64_t distance, Origin origin) {
    return handle == nullptr ? -1 : SeekInFile(distance, origin);
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
