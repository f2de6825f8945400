#pragma once
// FileStamp: what the file system says about a file at one moment (its size,
// last-write time and identity), so that a picture decoded from it earlier
// can be told apart from the file as it is now. Times count 100-ns ticks
// since 1601 on every platform. The platform half (FileStamp_win.cpp,
// FileStamp_posix.cpp) takes the stamp.

#include <cstdint>

struct FileStamp {
    // File systems keep write times coarsely (FAT to 2 s, others to a clock
    // tick), so a file rewritten shortly after it was stamped may keep its
    // time and size. A stamp is trusted only when the file's write time lies
    // at least this long before the moment the stamp was taken.
    static constexpr uint64_t kSettleTicks = 2 * 10000000ull;

    bool exists = false; // a plain file could be asked about at all
    uint64_t size = 0;
    uint64_t writeTime = 0;
    uint64_t volume = 0; // with fileId: which file, so a replaced one differs
    uint64_t fileId = 0;
    uint64_t takenAt = 0; // when the stamp was taken, on the same clock

    // The file at path now; exists is false when it is gone or not a plain
    // file.
    static FileStamp Of(const char* path);

    // Whether a program has the file at path open for writing now (a save
    // under way); never on a platform that cannot tell.
    static bool HeldForWriting(const char* path);

    bool SameFile(const FileStamp& other) const;
    bool Settled() const;
};

// Whether a picture decoded from the file when recorded was taken still shows
// the file whose stamp is now: the file is the same one, unchanged, and was
// not written too shortly before recorded was taken to be sure of that.
bool StillFresh(const FileStamp& recorded, const FileStamp& now);
