#pragma once
// ByteFile: a file handle with raw reads and writes, explicit little-endian
// field reads for the document readers, text-line writes for the settings
// file and the big-endian helpers of the PNG writer. The platform half
// (ByteFile_win.cpp, ByteFile_posix.cpp) owns the handle.

#include "decode/MemBlock.h"

#include <cstdint>

class ByteFile {
public:
    enum Origin { FromStart = 0, FromCurrent = 1, FromEnd = 2 };

    ByteFile() = default;
    ~ByteFile() { Close(); }
    ByteFile(const ByteFile&) = delete;
    ByteFile& operator=(const ByteFile&) = delete;

    // Neither open closes a file that is already open: open only while closed.
    bool OpenRead(const char* path);
    bool OpenWrite(const char* path);
    // True when the file was open and everything written reached it.
    bool Close();
    // Pushes what was written to the disk itself, for a file about to
    // replace another: renamed before its bytes are on the disk, a crash
    // could leave an empty file in the old one's place.
    bool Flush();
    bool IsClosed() const { return handle == nullptr; }

    // Raw transfer: the number of bytes moved, fewer at the end of the file,
    // 0 on failure. Reads go through a read-ahead block (the readers make
    // many reads of a few bytes each, and each read of the platform is a
    // system call); reads of a block or more go straight to the file. A file
    // is opened for reading or for writing, never both, so writes never meet
    // read-ahead bytes.
    uint32_t Read(void* buffer, uint32_t count);
    uint32_t Write(const void* buffer, uint32_t count);

    // Field reads: true only when every byte of the field arrived. A document
    // that ends inside a field fails its load at that field.
    bool ReadExact(void* buffer, uint32_t count) { return Read(buffer, count) == count; }
    bool ReadU8(uint8_t& value);
    bool ReadU16LE(uint16_t& value);
    bool ReadU32LE(uint32_t& value);
    bool ReadI32LE(int32_t& value);
    // Reads as many bytes as text has characters; true when they equal it.
    bool ReadAndCompare(const char* text);

    // Writes: true when every byte was written.
    bool WriteExact(const void* buffer, uint32_t count) { return Write(buffer, count) == count; }
    bool WriteText(const char* text);
    bool WriteNewline();
    bool WriteKeyInt(const char* name, int32_t value);
    bool WriteKeyText(const char* name, const char* text);

    // New position, or -1 when the platform refuses the move. Skips past the
    // end of the file succeed; the next read then comes back short.
    int64_t Seek(int64_t distance, Origin origin);
    int64_t Tell() { return Seek(0, FromCurrent); }
    bool Skip(int64_t distance) { return Seek(distance, FromCurrent) >= 0; }

    static uint32_t SwapBytes32(uint32_t value);
    static void PutU32BE(uint32_t value, uint8_t* destination);

    // File-system helpers shared by the writers and the converter. Delete
    // removes plain files only, never a folder or a device.
    static bool Delete(const char* path);
    static bool Exists(const char* path);
    static bool IsDirectory(const char* path);
    // Puts the file at from in the place of the one at to in one step, so a
    // reader sees either the old file or the whole new one.
    static bool Replace(const char* from, const char* to);

private:
    static constexpr uint32_t kReadAhead = 16384;

    // Platform half (ByteFile_win.cpp, ByteFile_posix.cpp).
    uint32_t ReadFromFile(void* buffer, uint32_t count);
    int64_t SeekInFile(int64_t distance, Origin origin);

    void* handle = nullptr;
    MemBlock ahead;         // allocated at the first read
    uint32_t aheadNext = 0; // next unread byte of ahead
    uint32_t aheadEnd = 0;  // end of the bytes read ahead
};
