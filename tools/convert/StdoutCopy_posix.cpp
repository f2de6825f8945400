#include "tools/convert/StdoutCopy.h"

#include <cstdlib>

std::string TemporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != 0 ? folder : "/tmp";
}

void SetStdoutBinary() {}
