#pragma once
// MemorySource: a ByteSource over bytes already in memory, which it does not
// own and never changes: a document handed over whole, or a test's bytes.

#include "base/ByteSource.h"

#include <cstddef>
#include <cstdint>

class MemorySource : public ByteSource {
public:
    MemorySource(const uint8_t* data, size_t size) : data(data), size(size) {}

protected:
    uint32_t ReadFromSource(void* buffer, uint32_t count) override;
    int64_t SeekInSource(int64_t distance, Origin origin) override;

private:
    const uint8_t* data;
    size_t size;
    uint64_t position = 0; // may lie past the end after a skip
};
