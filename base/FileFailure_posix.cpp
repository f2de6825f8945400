#include "base/FileFailure.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace filesystem {

void NoteFailure() {
    SetFailure(errno != 0 ? errno : EIO);
}

void DescribeFailure(int code, char* buffer, uint32_t size) {
    if (size == 0)
        return;
    std::snprintf(buffer, size, "%s", std::strerror(code));
}

} // namespace filesystem
