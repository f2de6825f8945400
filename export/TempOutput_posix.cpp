#include "export/TempOutput.h"

#include <climits>
#include <unistd.h>

namespace tempoutput {

void RemoveFileNow(const char* path) {
    unlink(path);
}

unsigned long ProcessId() {
    return static_cast<unsigned long>(getpid());
}

size_t PathRoom() {
    return PATH_MAX - 1;
}

} // namespace tempoutput
