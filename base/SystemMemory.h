#pragma once
// How much memory the machine has, for the batch conversions that bound the
// pictures they hold at once (SystemMemory_win.cpp, SystemMemory_posix.cpp).

#include <cstdint>

// The physical memory in bytes, or 0 when the system does not say.
uint64_t PhysicalMemoryBytes();
