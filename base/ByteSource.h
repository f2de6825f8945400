#pragma once
// ByteSource: what the document readers read from: a file (ByteFile), a
// block of memory (MemorySource) or a stream the shell hands over. It gives
// raw reads, explicit little-endian field reads and moves; the source itself
// only says how to read and move its own bytes.

#include "base/MemBlock.h"

#include <cstdint>

class ByteSource {
public:
    enum Origin { FromStart = 0, FromCurrent = 1, FromEnd = 2 };

    ByteSource() = default;
    virtual ~ByteSource() = default;
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;

    // Raw read: the number of bytes moved, fewer at the end of the source, 0
    // on failure. Reads go through a read-ahead block (the readers make many
    // reads of a few bytes each, and each read of a file is a system call);
    // reads of a block or more go straight to the source.
    uint32_t Read(void* buffer, uint32_t count);

    // Field reads: true only when every byte of the field arrived. A document
    // that ends inside a field fails its load at that field.
    bool ReadExact(void* buffer, uint32_t count) { return Read(buffer, count) == count; }
    bool ReadU8(uint8_t& value);
    bool ReadU16LE(uint16_t& value);
    bool ReadU32LE(uint32_t& value);
    bool ReadI32LE(int32_t& value);
    // Reads as many bytes as text has characters; true when they equal it.
    bool ReadAndCompare(const char* text);

    // New position, or -1 when the source refuses the move. Skips past the
    // end succeed; the next read then comes back short.
    int64_t Seek(int64_t distance, Origin origin);
    int64_t Tell() { return Seek(0, FromCurrent); }
    bool Skip(int64_t distance) { return Seek(distance, FromCurrent) >= 0; }

protected:
    // The source's own half, called only to fill the read-ahead block, for
    // reads of a block or more and for moves that leave the block, so that
    // no field read pays for a virtual call. ReadFromSource gives the bytes
    // moved from the source's position (fewer at its end, 0 at the end, on
    // failure or when nothing is open); SeekInSource the new position or -1,
    // with moves past the end allowed as for Seek.
    virtual uint32_t ReadFromSource(void* buffer, uint32_t count) = 0;
    virtual int64_t SeekInSource(int64_t distance, Origin origin) = 0;

    // For sources that keep their own position over size bytes: the position
    // a move leads to, or -1 for one before the start or absurdly far.
    static int64_t MovedPosition(uint64_t position, uint64_t size, int64_t distance, Origin origin);

    // For a source that starts over on other bytes (a file closed or
    // reopened): what was read ahead belongs to the old ones.
    void ForgetReadAhead() { aheadNext = aheadEnd = 0; }

private:
    static constexpr uint32_t kReadAhead = 16384;

    MemBlock ahead;         // allocated at the first read
    uint32_t aheadNext = 0; // next unread byte of ahead
    uint32_t aheadEnd = 0;  // end of the bytes read ahead
};
