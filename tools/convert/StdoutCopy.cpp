#include "tools/convert/StdoutCopy.h"

#include "base/ByteFile.h"
#include "base/FileFailure.h"
#include "base/FileSystem.h"
#include "base/FileWriter.h"
#include "decode/FolderList.h"
#include "export/TempOutput.h"

#include <cerrno>
#include <cstdio>
#include <random>

namespace {

// A name taken by someone else is passed over; so many in a row are no chance.
constexpr int kStagingAttempts = 16;

} // namespace

bool CreateStagingFile(const std::string& extension, std::string& path) {
    // Unpredictable as well as exclusive: another user cannot make the name
    // first to hold the run up.
    std::random_device source;
    const std::string folder = TemporaryFolder();
    for (int attempt = 0; attempt < kStagingAttempts; ++attempt) {
        char random[24];
        std::snprintf(random, sizeof random, "%08x%08x", unsigned(source()), unsigned(source()));
        path =
            JoinPath(folder, "tessavel-convert-" + std::to_string(tempoutput::ProcessId()) + "-" + random + extension);
        FileWriter file;
        if (file.OpenNew(path.c_str()))
            return file.Close();
        if (!filesystem::Exists(path.c_str()))
            return false; // not a clash: the folder refuses
    }
    return false;
}

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
            filesystem::SetFailure(errno != 0 ? errno : EIO);
            return false;
        }
    }
    if (std::fflush(stdout) != 0) {
        filesystem::SetFailure(errno != 0 ? errno : EIO);
        return false;
    }
    return true;
}
