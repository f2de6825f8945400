#pragma once
// A zip archive written front to back onto an OutputBuffer, for OpenRaster:
// entries stored or deflated (raw deflate, zlib's CRC-32), names in UTF-8,
// and ZIP64 records where an entry or the archive passes what the classic
// 32-bit fields hold. An entry's sizes and checksum are patched into its
// local header once its data is written, so no data descriptor follows it:
// the first entry's name and data then stand at the fixed offsets
// OpenRaster readers look at for its media type.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class OutputBuffer;

class ZipWriter {
public:
    // limit: the largest value a 32-bit field takes before ZIP64 steps in;
    // smaller only in the tests, which cannot write 4 GiB.
    explicit ZipWriter(OutputBuffer& out, uint64_t limit = 0xFFFFFFFEu);

    // A whole entry from memory.
    void AddStored(const char* name, const void* data, size_t count);
    void AddDeflated(const char* name, const void* data, size_t count);

    // A stored entry written in pieces; mostBytes bounds its size, which
    // decides whether its local header carries ZIP64 sizes.
    void BeginStored(const char* name, uint64_t mostBytes);
    void Append(const void* data, size_t count);
    void EndStored();

    // The central directory and the end records. True when every byte went
    // out and every entry was whole.
    bool Finish();

private:
    struct Entry {
        std::string name;
        uint16_t method = 0;
        uint32_t crc = 0;
        uint64_t compressed = 0;
        uint64_t size = 0;
        uint64_t headerAt = 0;
        bool zip64Header = false;
    };

    void LocalHeader(Entry& entry);
    void PatchLocalHeader(const Entry& entry);
    void CentralHeader(const Entry& entry);

    OutputBuffer& out;
    const uint64_t limit;
    std::vector<Entry> entries;
    Entry open;
    bool writing = false;
    bool good = true;
};
