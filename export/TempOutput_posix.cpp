#include "export/TempOutput.h"

#include <unistd.h>

namespace tempoutput {

void RemoveFileNow(const char* path) {
    unlink(path);
}

unsigned long ProcessId() {
    return static_cast<unsigned long>(getpid());
}

} // namespace tempoutput
