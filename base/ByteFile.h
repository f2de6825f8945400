#pragma once
// ByteFile: a file read; the document readers read it as a ByteSource.
// Files are written through FileWriter, never through this. The platform
// half (ByteFile_win.cpp, ByteFile_posix.cpp) opens and reads it; the
// handle itself is a FileHandle.

#include "base/ByteSource.h"
#include "base/FileHandle.h"

#include <cstdint>

class ByteFile : public ByteSource {
public:
    // What the open file looks like at one moment: its length and its last
    // write and change times. Documents are opened sharing writes and
    // deletion with other programs (the paint program saves over a document
    // the viewer is reading), so a reader compares the stamps taken before
    // and after a read to tell a whole read from one that met a save.
    struct Stamp {
        uint64_t size = 0;
        uint64_t writeTime = 0;
        uint64_t changeTime = 0;
        bool operator==(const Stamp& other) const {
            return size == other.size && writeTime == other.writeTime && changeTime == other.changeTime;
        }
        bool operator!=(const Stamp& other) const { return !(*this == other); }
    };

    ByteFile() = default;

    // Opens only while closed: an open file is not closed first. OpenRead
    // shares reading, writing and deletion, so another program can save over
    // the file while it is read (see Stamp). It opens regular files only,
    // and never waits: a pipe or a device is refused.
    bool OpenRead(const char* path);
    // True when the file was open and the system closed it cleanly.
    bool Close();
    bool IsClosed() const { return file.IsClosed(); }
    // The open file's stamp now; false when the system cannot say.
    bool TakeStamp(Stamp& stamp) const;

protected:
    uint32_t ReadFromSource(void* buffer, uint32_t count) override;
    int64_t SeekInSource(int64_t distance, Origin origin) override;

private:
    // Platform half, called with the file open.
    uint32_t ReadFromFile(void* buffer, uint32_t count);

    FileHandle file;
};
