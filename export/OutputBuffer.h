#pragma once
// Buffered writes onto an open FileWriter for the writers that build a file
// of many small fields (PSD, the zip of OpenRaster): explicit big- and
// little-endian fields, the position written so far, and patches of fields
// whose value is known only later (a length, a checksum), made in the buffer
// when still there and by a seek back otherwise. A failed write sticks:
// every later call does nothing and Finish reports it.

#include <cstddef>
#include <cstdint>
#include <vector>

class FileWriter;

class OutputBuffer {
public:
    explicit OutputBuffer(FileWriter& file, size_t capacity = 1u << 20);

    void Bytes(const void* data, size_t count);
    void U8(uint8_t value) { Bytes(&value, 1); }
    void U16BE(uint16_t value);
    void U32BE(uint32_t value);
    void U64BE(uint64_t value);
    void U16LE(uint16_t value);
    void U32LE(uint32_t value);
    void U64LE(uint64_t value);
    void Zeros(size_t count);

    // Bytes written so far, the file's and the buffer's.
    uint64_t Position() const { return flushed + buffer.size(); }
    // Overwrites count bytes at position at, written earlier.
    void Patch(uint64_t at, const void* data, size_t count);
    void PatchU32BE(uint64_t at, uint32_t value);
    void PatchU64BE(uint64_t at, uint64_t value);

    // Writes out what the buffer holds; true when every write so far
    // reached the file.
    bool Finish();
    bool Good() const { return good; }
    // Marks the output as failed (a part that could not be made).
    void Fail() { good = false; }

private:
    void Drain();

    FileWriter& file;
    std::vector<uint8_t> buffer;
    size_t capacity;
    uint64_t flushed = 0;
    bool good = true;
};
