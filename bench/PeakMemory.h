#pragma once
// The most memory a piece of work takes above what the process held when it
// started: the kernel's high-water mark of the resident set, reset first
// (Linux; elsewhere nothing is measured).

#include <cstdint>

class PeakMemory {
public:
    // Resets the high-water mark and notes the resident set now.
    void Start();
    // Bytes of the high-water mark above the start, or -1 when the system
    // does not tell.
    int64_t Above() const;

private:
    int64_t start = -1;
};
