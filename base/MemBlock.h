#pragma once
// MemBlock: an owned heap block, used as scratch space by the readers and
// writers. Not copyable; released when destroyed or re-allocated.

#include <cstdint>

class MemBlock {
public:
    MemBlock() = default;
    ~MemBlock() { Release(); }
    MemBlock(const MemBlock&) = delete;
    MemBlock& operator=(const MemBlock&) = delete;

    // Frees the current block first, so a failed allocation leaves it empty.
    uint8_t* Alloc(uint32_t bytes, bool zeroFill);
    void Release();

    uint8_t* data = nullptr;
    uint32_t size = 0;
};
