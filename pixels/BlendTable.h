#pragma once
// The separable blend modes (codes 0, 1 and 4 to 16) as a 256 x 256 lookup
// table: entry [d * 256 + s] is the blended value of one colour channel whose
// picture value is d and whose layer value is s.
//
// Every decode owns its table, so decodes on different threads never share
// one and no layer is ever blended with a table left by another document.

#include "base/MemBlock.h"

#include <cstdint>

class BlendTable {
public:
    static constexpr uint32_t kEntries = 256 * 256;

    // Allocates the zero-filled table; false when memory runs out.
    bool Allocate() {
        builtFor = -1;
        return block.Alloc(kEntries, true) != nullptr;
    }
    bool IsAllocated() const { return block.data != nullptr; }

    uint8_t At(uint8_t d, uint8_t s) const { return block.data[uint32_t(d) * 256 + s]; }
    uint8_t* Entries() { return block.data; }
    const uint8_t* Entries() const { return block.data; }

private:
    friend void BuildBlendTable(BlendTable& table, uint8_t code);
    MemBlock block;
    // The code the entries were last built for: a document flattened band
    // by band blends each layer many times and builds its table once.
    int builtFor = -1;
};

// True for the codes that blend through the table.
bool IsTableMode(uint8_t code);

// One entry computed directly: the value T[d][s] for a table-mode code. For
// other codes the layer value s (Normal).
uint8_t BlendChannel(uint8_t code, int d, int s);

// Fills the whole (allocated) table for code; codes without a table formula
// fill it as Normal.
void BuildBlendTable(BlendTable& table, uint8_t code);
