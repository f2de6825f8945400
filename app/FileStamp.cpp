#include "app/FileStamp.h"

bool FileStamp::SameFile(const FileStamp& other) const {
    return exists && other.exists && size == other.size && writeTime == other.writeTime && volume == other.volume &&
           fileId == other.fileId;
}

bool FileStamp::Settled() const {
    // A write time later than the stamp itself (a clock set back, a server
    // ahead of us) is never trusted either.
    return exists && writeTime <= takenAt && takenAt - writeTime >= kSettleTicks;
}

bool StillFresh(const FileStamp& recorded, const FileStamp& now) {
    return recorded.Settled() && recorded.SameFile(now);
}
