#include "base/SystemMemory.h"

#include <windows.h>

uint64_t PhysicalMemoryBytes() {
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    return GlobalMemoryStatusEx(&status) ? uint64_t(status.ullTotalPhys) : 0;
}
