#include "export/TempOutput.h"

#include "base/Wide.h"

#include <windows.h>

namespace tempoutput {

void RemoveFileNow(const char* path) {
    // Temporaries are open shared for deletion (FileWriter::OpenNew): a file
    // still being written is marked and goes when its handle closes, at the
    // latest when the process ends.
    DeleteFileW(WidePath(path).c_str());
}

unsigned long ProcessId() {
    return GetCurrentProcessId();
}

int OutOfMemoryError() {
    return ERROR_NOT_ENOUGH_MEMORY;
}

size_t PathRoom() {
    // The wide calls take long paths (WidePath); the bound is the list of
    // temporaries the interrupt handler removes (TempOutput.cpp).
    return 4095;
}

} // namespace tempoutput
