#include "base/SystemMemory.h"

#include <unistd.h>

uint64_t PhysicalMemoryBytes() {
    // Not every system answers these two; a refusal comes back as -1.
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return uint64_t(pages) * uint64_t(pageSize);
}
