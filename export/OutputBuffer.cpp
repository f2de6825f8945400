#include "export/OutputBuffer.h"

#include "base/FileWriter.h"

#include <cstring>

OutputBuffer::OutputBuffer(FileWriter& file, size_t capacity) : file(file), capacity(capacity) {
    buffer.reserve(capacity);
}

void OutputBuffer::Drain() {
    // FileWriter takes at most 4 GiB - 1 a call, and the buffer never holds that.
    if (good && !buffer.empty() && !file.WriteExact(buffer.data(), uint32_t(buffer.size())))
        good = false;
    flushed += buffer.size();
    buffer.clear();
}

void OutputBuffer::Bytes(const void* data, size_t count) {
    if (!good)
        return;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    while (count > 0) {
        if (buffer.size() == capacity)
            Drain();
        const size_t room = capacity - buffer.size();
        const size_t piece = count < room ? count : room;
        buffer.insert(buffer.end(), p, p + piece);
        p += piece;
        count -= piece;
    }
}

void OutputBuffer::Zeros(size_t count) {
    static const uint8_t kZeros[64] = {};
    while (count > 0) {
        const size_t piece = count < sizeof kZeros ? count : sizeof kZeros;
        Bytes(kZeros, piece);
        count -= piece;
    }
}

void OutputBuffer::U16BE(uint16_t value) {
    const uint8_t bytes[2] = {uint8_t(value >> 8), uint8_t(value)};
    Bytes(bytes, 2);
}

void OutputBuffer::U32BE(uint32_t value) {
    U16BE(uint16_t(value >> 16));
    U16BE(uint16_t(value));
}

void OutputBuffer::U64BE(uint64_t value) {
    U32BE(uint32_t(value >> 32));
    U32BE(uint32_t(value));
}

void OutputBuffer::U16LE(uint16_t value) {
    const uint8_t bytes[2] = {uint8_t(value), uint8_t(value >> 8)};
    Bytes(bytes, 2);
}

void OutputBuffer::U32LE(uint32_t value) {
    U16LE(uint16_t(value));
    U16LE(uint16_t(value >> 16));
}

void OutputBuffer::U64LE(uint64_t value) {
    U32LE(uint32_t(value));
    U32LE(uint32_t(value >> 32));
}

void OutputBuffer::Patch(uint64_t at, const void* data, size_t count) {
    if (!good)
        return;
    if (at >= flushed && at + count <= Position()) {
        std::memcpy(buffer.data() + (at - flushed), data, count);
        return;
    }
    Drain();
    const int64_t end = int64_t(flushed);
    good = good && file.Seek(int64_t(at)) == int64_t(at) && file.WriteExact(data, uint32_t(count)) &&
           file.Seek(end) == end;
}

void OutputBuffer::PatchU32BE(uint64_t at, uint32_t value) {
    const uint8_t bytes[4] = {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
    Patch(at, bytes, 4);
}

void OutputBuffer::PatchU64BE(uint64_t at, uint64_t value) {
    PatchU32BE(at, uint32_t(value >> 32));
    PatchU32BE(at + 4, uint32_t(value));
}

bool OutputBuffer::Finish() {
    Drain();
    return good;
}
