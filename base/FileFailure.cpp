#include "base/FileFailure.h"

namespace {
// Per thread, as errno is: several converter jobs write at once.
thread_local int failure = 0;
} // namespace

namespace filesystem {

int LastFailure() {
    return failure;
}

void ClearFailure() {
    failure = 0;
}

void SetFailure(int code) {
    failure = code;
}

} // namespace filesystem
