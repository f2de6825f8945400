#include "export/ZipWriter.h"

#include "export/OutputBuffer.h"

#include <cstring>
#include <zlib.h>

namespace {

constexpr uint32_t kLocalSignature = 0x04034B50;
constexpr uint32_t kCentralSignature = 0x02014B50;
constexpr uint32_t kEndSignature = 0x06054B50;
constexpr uint32_t kZip64EndSignature = 0x06064B50;
constexpr uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr uint16_t kZip64Extra = 0x0001;
constexpr uint16_t kVersion = 20;      // deflate
constexpr uint16_t kVersionZip64 = 45; // ZIP64 records
constexpr uint16_t kUtf8Names = 0x0800;
constexpr uint16_t kStored = 0;
constexpr uint16_t kDeflated = 8;
// 1980-01-01 00:00, the format's first day: the files carry no date, so the
// same document always gives the same archive.
constexpr uint16_t kTime = 0;
constexpr uint16_t kDate = (1 << 5) | 1;
constexpr uint32_t kAll32 = 0xFFFFFFFFu;

} // namespace

ZipWriter::ZipWriter(OutputBuffer& out, uint64_t limit) : out(out), limit(limit) {}

void ZipWriter::LocalHeader(Entry& entry) {
    entry.headerAt = out.Position();
    out.U32LE(kLocalSignature);
    out.U16LE(entry.zip64Header ? kVersionZip64 : kVersion);
    out.U16LE(kUtf8Names);
    out.U16LE(entry.method);
    out.U16LE(kTime);
    out.U16LE(kDate);
    out.U32LE(entry.crc);
    out.U32LE(entry.zip64Header ? kAll32 : uint32_t(entry.compressed));
    out.U32LE(entry.zip64Header ? kAll32 : uint32_t(entry.size));
    out.U16LE(uint16_t(entry.name.size()));
    out.U16LE(entry.zip64Header ? 20 : 0);
    out.Bytes(entry.name.data(), entry.name.size());
    if (entry.zip64Header) {
        out.U16LE(kZip64Extra);
        out.U16LE(16);
        out.U64LE(entry.size);
        out.U64LE(entry.compressed);
    }
}

// The checksum and sizes, once known, over their places in the local header.
void ZipWriter::PatchLocalHeader(const Entry& entry) {
    uint8_t fields[12];
    const uint32_t values[3] = {entry.crc, entry.zip64Header ? kAll32 : uint32_t(entry.compressed),
                                entry.zip64Header ? kAll32 : uint32_t(entry.size)};
    for (int i = 0; i < 3; ++i)
        for (int b = 0; b < 4; ++b)
            fields[i * 4 + b] = uint8_t(values[i] >> (8 * b));
    out.Patch(entry.headerAt + 14, fields, sizeof fields);
    if (entry.zip64Header) {
        uint8_t sizes[16];
        for (int b = 0; b < 8; ++b) {
            sizes[b] = uint8_t(entry.size >> (8 * b));
            sizes[8 + b] = uint8_t(entry.compressed >> (8 * b));
        }
        out.Patch(entry.headerAt + 30 + entry.name.size() + 4, sizes, sizeof sizes);
    }
}

void ZipWriter::AddStored(const char* name, const void* data, size_t count) {
    BeginStored(name, count);
    Append(data, count);
    EndStored();
}

void ZipWriter::AddDeflated(const char* name, const void* data, size_t count) {
    Entry entry;
    entry.name = name;
    entry.method = kDeflated;
    entry.size = count;
    entry.crc = uint32_t(crc32(0, static_cast<const Bytef*>(data), uInt(count)));
    // Small texts only (stack.xml): deflated whole in memory.
    z_stream zs = {};
    if (count > 0x7FFFFFFF || deflateInit2(&zs, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        good = false;
        return;
    }
    std::vector<uint8_t> packed(deflateBound(&zs, uLong(count)));
    zs.next_in = static_cast<Bytef*>(const_cast<void*>(data));
    zs.avail_in = uInt(count);
    zs.next_out = packed.data();
    zs.avail_out = uInt(packed.size());
    const bool ended = deflate(&zs, Z_FINISH) == Z_STREAM_END;
    packed.resize(packed.size() - zs.avail_out);
    deflateEnd(&zs);
    if (!ended) {
        good = false;
        return;
    }
    entry.compressed = packed.size();
    entry.zip64Header = entry.size > limit || entry.compressed > limit;
    LocalHeader(entry);
    out.Bytes(packed.data(), packed.size());
    entries.push_back(entry);
}

void ZipWriter::BeginStored(const char* name, uint64_t mostBytes) {
    open = Entry();
    open.name = name;
    open.method = kStored;
    open.zip64Header = mostBytes > limit;
    writing = true;
    LocalHeader(open);
}

void ZipWriter::Append(const void* data, size_t count) {
    if (!writing || count == 0)
        return;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    // crc32 takes at most 4 GiB - 1 a call.
    for (size_t done = 0; done < count;) {
        const size_t piece = count - done < 0x40000000u ? count - done : 0x40000000u;
        open.crc = uint32_t(crc32(open.crc, p + done, uInt(piece)));
        done += piece;
    }
    out.Bytes(p, count);
    open.size += count;
    open.compressed += count;
}

void ZipWriter::EndStored() {
    if (!writing)
        return;
    writing = false;
    // A header without room for ZIP64 sizes cannot describe a larger entry.
    if (!open.zip64Header && open.size > limit)
        good = false;
    PatchLocalHeader(open);
    entries.push_back(open);
}

void ZipWriter::CentralHeader(const Entry& entry) {
    const bool bigSize = entry.zip64Header || entry.size > limit || entry.compressed > limit;
    const bool farOffset = entry.headerAt > limit;
    const uint16_t extra = uint16_t((bigSize ? 16 : 0) + (farOffset ? 8 : 0));
    out.U32LE(kCentralSignature);
    out.U16LE(kVersionZip64);
    out.U16LE(bigSize || farOffset ? kVersionZip64 : kVersion);
    out.U16LE(kUtf8Names);
    out.U16LE(entry.method);
    out.U16LE(kTime);
    out.U16LE(kDate);
    out.U32LE(entry.crc);
    out.U32LE(bigSize ? kAll32 : uint32_t(entry.compressed));
    out.U32LE(bigSize ? kAll32 : uint32_t(entry.size));
    out.U16LE(uint16_t(entry.name.size()));
    out.U16LE(extra == 0 ? 0 : uint16_t(4 + extra));
    out.U16LE(0); // no comment
    out.U16LE(0); // disk
    out.U16LE(0); // internal attributes
    out.U32LE(0); // external attributes
    out.U32LE(farOffset ? kAll32 : uint32_t(entry.headerAt));
    out.Bytes(entry.name.data(), entry.name.size());
    if (extra != 0) {
        // Only the fields the header marks as held here, in this order.
        out.U16LE(kZip64Extra);
        out.U16LE(extra);
        if (bigSize) {
            out.U64LE(entry.size);
            out.U64LE(entry.compressed);
        }
        if (farOffset)
            out.U64LE(entry.headerAt);
    }
}

bool ZipWriter::Finish() {
    if (writing)
        EndStored();
    const uint64_t directoryAt = out.Position();
    for (const Entry& entry : entries)
        CentralHeader(entry);
    const uint64_t directorySize = out.Position() - directoryAt;
    const uint64_t count = entries.size();
    const bool zip64 = count >= 0xFFFF || directoryAt > limit || directorySize > limit;
    if (zip64) {
        const uint64_t endAt = out.Position();
        out.U32LE(kZip64EndSignature);
        out.U64LE(44); // the record's size after this field
        out.U16LE(kVersionZip64);
        out.U16LE(kVersionZip64);
        out.U32LE(0);
        out.U32LE(0);
        out.U64LE(count);
        out.U64LE(count);
        out.U64LE(directorySize);
        out.U64LE(directoryAt);
        out.U32LE(kZip64LocatorSignature);
        out.U32LE(0);
        out.U64LE(endAt);
        out.U32LE(1);
    }
    out.U32LE(kEndSignature);
    out.U16LE(0);
    out.U16LE(0);
    out.U16LE(zip64 ? 0xFFFF : uint16_t(count));
    out.U16LE(zip64 ? 0xFFFF : uint16_t(count));
    out.U32LE(zip64 ? kAll32 : uint32_t(directorySize));
    out.U32LE(zip64 ? kAll32 : uint32_t(directoryAt));
    out.U16LE(0); // no comment
    return good && out.Good();
}
