#pragma once
// ByteFile: a file handle; the document readers read it as a ByteSource.
// Raw writes, text-line writes for the settings file and the big-endian
// helpers of the PNG writer. The platform half (ByteFile_win.cpp,
// ByteFile_posix.cpp) owns the handle.

#include "base/ByteSource.h"

#include <cstdint>
#include <functional>

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
    ~ByteFile() override { Close(); }

    // Neither open closes a file that is already open: open only while closed.
    // OpenRead shares reading, writing and deletion, so another program can
    // save over the file while it is read (see Stamp). It opens regular
    // files only, and never waits: a pipe or a device is refused.
    bool OpenRead(const char* path);
    bool OpenWrite(const char* path);
    // Creates a file that must not exist yet (false when it does). On Windows
    // it is opened shared for deletion, so an interrupt handler on another
    // thread can remove it while it is being written, and hidden: a leading
    // dot hides nothing there. Replace shows it again.
    bool OpenNew(const char* path);
    // True when the file was open and everything written reached it.
    bool Close();
    // Pushes what was written to the disk itself, for a file about to
    // replace another: renamed before its bytes are on the disk, a crash
    // could leave an empty file in the old one's place.
    bool Flush();
    bool IsClosed() const { return handle == nullptr; }
    // The open file's stamp now; false when the system cannot say.
    bool TakeStamp(Stamp& stamp) const;

    // Raw write: the number of bytes moved, 0 on failure. A file is opened
    // for reading or for writing, never both, so writes never meet
    // read-ahead bytes.
    uint32_t Write(const void* buffer, uint32_t count);

    // Writes: true when every byte was written.
    bool WriteExact(const void* buffer, uint32_t count) { return Write(buffer, count) == count; }
    bool WriteText(const char* text);
    bool WriteNewline();
    bool WriteKeyInt(const char* name, int32_t value);
    bool WriteKeyText(const char* name, const char* text);

    static uint32_t SwapBytes32(uint32_t value);
    static void PutU32BE(uint32_t value, uint8_t* destination);

    // File-system helpers shared by the writers and the converter. Delete
    // removes plain files only, never a folder or a device.
    static bool Delete(const char* path);
    static bool Exists(const char* path);
    static bool IsDirectory(const char* path);
    // True for an existing entry that is neither a plain file nor a folder: a
    // device or a pipe, which is written in place and never replaced.
    static bool IsSpecial(const char* path);
    // Puts the file at from in the place of the one at to in one step, so a
    // reader sees either the old file or the whole new one. On Windows a file
    // held for a moment by another program (a virus scanner, the search
    // indexer, another viewer) is waited for up to about a second; when it
    // stays held the failure is the system's sharing violation. On POSIX the
    // folder is synced afterwards, so the new name survives a power cut.
    static bool Replace(const char* from, const char* to);
    // Between two tries at a destination held by another program: waits
    // before try attempt + 1 (attempt counts from 0) and says whether to make
    // it. Replace's own waits 50 ms up to 20 times; a test passes one that
    // lets go of the file it holds. Never called on POSIX, where no file is
    // held.
    using HeldPause = std::function<bool(int attempt)>;
    static bool Replace(const char* from, const char* to, const HeldPause& pause);

    // The system's error code of the last open, write, close or replace that
    // failed on the calling thread, kept apart from errno and GetLastError so
    // that the clean-up after a failure does not overwrite it; 0 when none.
    static int LastFailure();
    static void ClearFailure();
    // For file-system work outside ByteFile (making folders) that reports
    // its failure the same way.
    static void SetFailure(int code);
    // The system's own words for code (strerror, FormatMessage), without a
    // line break, into buffer.
    static void DescribeFailure(int code, char* buffer, uint32_t size);

protected:
    uint32_t ReadFromSource(void* buffer, uint32_t count) override;
    int64_t SeekInSource(int64_t distance, Origin origin) override;

private:
    // Platform half (ByteFile_win.cpp, ByteFile_posix.cpp), called with a
    // file open.
    uint32_t ReadFromFile(void* buffer, uint32_t count);
    // Takes the system's current error code as LastFailure.
    static void NoteFailure();
    int64_t SeekInFile(int64_t distance, Origin origin);

    void* handle = nullptr;
};
