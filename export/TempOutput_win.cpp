#include "export/TempOutput.h"

#include <windows.h>

namespace tempoutput {

void RemoveFileNow(const char* path) {
    // Temporaries are open shared for deletion (ByteFile::OpenNew): a file
    // still being written is marked and goes when its handle closes, at the
    // latest when the process ends.
    DeleteFileA(path);
}

unsigned long ProcessId() {
    return GetCurrentProcessId();
}

size_t PathRoom() {
    return MAX_PATH - 1;
}

} // namespace tempoutput
