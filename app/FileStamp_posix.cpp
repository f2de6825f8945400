#include "app/FileStamp.h"

#include <sys/stat.h>
#include <time.h>

namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr uint64_t kEpochDifference = 11644473600ull;

uint64_t Ticks(const timespec& time) {
    return (uint64_t(time.tv_sec) + kEpochDifference) * 10000000ull + uint64_t(time.tv_nsec) / 100;
}

} // namespace

FileStamp FileStamp::Of(const char* path) {
    FileStamp stamp;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    stamp.takenAt = Ticks(now);
    struct stat info;
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode))
        return stamp;
    stamp.exists = true;
    stamp.size = uint64_t(info.st_size);
    stamp.writeTime = Ticks(info.st_mtim);
    stamp.volume = uint64_t(info.st_dev);
    stamp.fileId = uint64_t(info.st_ino);
    return stamp;
}

bool FileStamp::HeldForWriting(const char*) {
    // Files here are not locked against each other: the stamp's steadiness
    // alone tells a save that is over.
    return false;
}
