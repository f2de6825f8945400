#pragma once
// The most heap memory a piece of work holds at once above what was held
// when it started, counted at every allocation and free of every thread
// (the bench program replaces the C library's allocation functions, glibc
// only; elsewhere nothing is measured). Counting beats the resident set:
// memory freed earlier and reused would not show there.

#include <cstdint>

class PeakMemory {
public:
    // Notes the bytes held now and starts the peak from them.
    void Start();
    // Bytes of the peak above the start, or -1 when nothing is counted.
    int64_t Above() const;

private:
    int64_t start = -1;
};
