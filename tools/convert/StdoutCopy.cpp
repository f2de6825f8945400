#include "tools/convert/StdoutCopy.h"

#include "decode/ByteFile.h"

#include <cerrno>
#include <cstdio>

bool CopyToStdout(const std::string& file) {
    ByteFile input;
    if (!input.OpenRead(file.c_str()))
        return false;
    SetStdoutBinary();
    char buffer[65536];
    for (;;) {
        const uint32_t count = input.Read(buffer, sizeof buffer);
        if (count == 0)
            break;
        if (std::fwrite(buffer, 1, count, stdout) != count) {
            ByteFile::SetFailure(errno != 0 ? errno : EIO);
            return false;
        }
    }
    if (std::fflush(stdout) != 0) {
        ByteFile::SetFailure(errno != 0 ? errno : EIO);
        return false;
    }
    return true;
}
