#pragma once
// FileWriter: a file written, by the picture and layered-file writers and
// the settings. A file is either written (FileWriter) or read (ByteFile),
// never both, so writes never meet read-ahead bytes. The platform half
// (FileWriter_win.cpp, FileWriter_posix.cpp) opens and writes; the handle
// itself is a FileHandle. Every failure is noted as filesystem::LastFailure.

#include "base/FileHandle.h"

#include <cstdint>

class FileWriter {
public:
    // Neither open closes a file that is already open: open only while closed.
    bool OpenWrite(const char* path);
    // Creates a file that must not exist yet (false when it does). On Windows
    // it is opened shared for deletion, so an interrupt handler on another
    // thread can remove it while it is being written, and hidden: a leading
    // dot hides nothing there. filesystem::Replace shows it again.
    bool OpenNew(const char* path);
    // True when the file was open and everything written reached it.
    bool Close() { return file.Close(); }
    // Pushes what was written to the disk itself, for a file about to
    // replace another: renamed before its bytes are on the disk, a crash
    // could leave an empty file in the old one's place.
    bool Flush();
    bool IsClosed() const { return file.IsClosed(); }

    // Raw write: the number of bytes moved, 0 on failure.
    uint32_t Write(const void* buffer, uint32_t count);
    // True when every byte was written.
    bool WriteExact(const void* buffer, uint32_t count) { return Write(buffer, count) == count; }

    // Where the next write goes, or -1 when closed or the system cannot say.
    int64_t Tell() { return file.Seek(0, ByteSource::FromCurrent); }
    // Moves to position bytes from the start, back to fill in a field whose
    // value is known only later (a length, a checksum) and on again to the
    // end: the new position, or -1.
    int64_t Seek(int64_t position) { return file.Seek(position, ByteSource::FromStart); }

private:
    FileHandle file;
};
