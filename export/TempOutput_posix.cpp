#include "export/TempOutput.h"

#include <cerrno>
#include <climits>
#include <unistd.h>

namespace tempoutput {

void RemoveFileNow(const char* path) {
    unlink(path);
}

unsigned long ProcessId() {
    return static_cast<unsigned long>(getpid());
}

int OutOfMemoryError() {
    return ENOMEM;
}

size_t PathRoom() {
    return PATH_MAX - 1;
}

} // namespace tempoutput
