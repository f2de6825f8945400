#include "tools/fuzz/ScratchFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string ScratchRoot() {
    struct stat info;
    if (stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode))
        return "/dev/shm";
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && *tmp != 0 ? tmp : "/tmp";
}

std::string ProcessName(const char* name) {
    return ScratchRoot() + "/tessavel-fuzz-" + std::to_string(getpid()) + "-" + name;
}

} // namespace

ScratchFile::ScratchFile(const char* extension) : path(ProcessName("input.") + extension) {}

ScratchFile::~ScratchFile() {
    unlink(path.c_str());
}

void ScratchFile::Write(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || (size != 0 && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0) {
        std::fprintf(stderr, "cannot write the scratch file %s\n", path.c_str());
        std::abort();
    }
}

ScratchFolder::ScratchFolder(const char* name) : path(ProcessName(name)) {
    std::error_code error;
    std::filesystem::remove_all(path, error);
    if (!std::filesystem::create_directory(path, error)) {
        std::fprintf(stderr, "cannot make the scratch folder %s\n", path.c_str());
        std::abort();
    }
}

ScratchFolder::~ScratchFolder() {
    std::error_code error;
    std::filesystem::remove_all(path, error);
}
