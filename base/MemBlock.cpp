#include "base/MemBlock.h"

#include <cstdlib>

uint8_t* MemBlock::Alloc(uint32_t bytes, bool zeroFill) {
    Release();
    // malloc(0) may return null or a unique pointer; ask for at least a byte
    // so that a zero-sized request still counts as a success.
    const size_t request = bytes == 0 ? 1 : bytes;
    void* block = zeroFill ? std::calloc(request, 1) : std::malloc(request);
    if (block == nullptr)
        return nullptr;
    data = static_cast<uint8_t*>(block);
    size = bytes;
    return data;
}

void MemBlock::Release() {
    std::free(data);
    data = nullptr;
    size = 0;
}
