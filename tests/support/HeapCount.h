#pragma once
// The heap the process holds, counted through the address sanitizer's
// allocation hooks in the sanitizer builds, so that a test can tell the most
// a piece of work held above what was held before it. Elsewhere nothing is
// counted and Start says so.

#include <cstdint>

namespace heapcount {

// Installs the hooks (once); false where allocations cannot be counted.
bool Start();
// The bytes held now.
int64_t Held();
// The most held since the last call of MarkPeak, less start.
void MarkPeak();
int64_t PeakAbove(int64_t start);

} // namespace heapcount
