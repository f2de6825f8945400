#include "bench/PeakMemory.h"

#include <cstdio>
#include <cstring>

namespace {

// A "Name:   N kB" line of /proc/self/status, in bytes; -1 when missing.
int64_t StatusBytes(const char* name) {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return -1;
    char line[256];
    int64_t bytes = -1;
    const size_t length = std::strlen(name);
    while (std::fgets(line, sizeof line, status) != nullptr) {
        long long kb = 0;
        if (std::strncmp(line, name, length) == 0 && line[length] == ':' &&
            std::sscanf(line + length + 1, "%lld", &kb) == 1) {
            bytes = int64_t(kb) * 1024;
            break;
        }
    }
    std::fclose(status);
    return bytes;
}

} // namespace

void PeakMemory::Start() {
    // Writing 5 resets the peak resident set to the present one.
    if (FILE* refs = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", refs);
        std::fclose(refs);
    }
    start = StatusBytes("VmRSS");
}

int64_t PeakMemory::Above() const {
    const int64_t peak = StatusBytes("VmHWM");
    return start < 0 || peak < 0 ? -1 : peak - start;
}
