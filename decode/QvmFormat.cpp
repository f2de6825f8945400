#include "decode/QvmFormat.h"

#include "decode/ByteSource.h"

namespace {

// HS counts the width, height and layer count and the 4 bytes after them.
constexpr uint32_t kMinHeaderLength = 10;
// LS counts the name, blend mode, opacity and flags.
constexpr uint32_t kMinRecordLength = 35;
constexpr uint32_t kNameBytes = 32;

} // namespace

bool ReadQvmHeader(ByteSource& file, QvmHeader& header) {
    uint8_t version = 0;
    uint32_t headerLength = 0;
    uint32_t blockLength = 0;
    if (!file.ReadAndCompare("QVMDATA") || !file.ReadU8(version) || version != 0)
        return false;
    if (!file.ReadU32LE(headerLength) || headerLength < kMinHeaderLength)
        return false;
    if (!file.ReadU16LE(header.width) || !file.ReadU16LE(header.height) || !file.ReadU16LE(header.layerCount))
        return false;
    if (!file.Skip(4 + int64_t(headerLength - kMinHeaderLength) + 4))
        return false;
    if (!file.ReadU32LE(blockLength) || !file.Skip(blockLength))
        return false;
    return file.ReadU32LE(header.recordLength) && header.recordLength >= kMinRecordLength;
}

bool ReadQvmLayerRecord(ByteSource& file, uint32_t recordLength, QvmLayerRecord& record) {
    if (!file.ReadExact(record.name, kNameBytes))
        return false;
    record.name[kNameBytes] = 0;
    return file.ReadU8(record.blendMode) && file.ReadU8(record.opacity) && file.ReadU8(record.flags) &&
           file.Skip(int64_t(recordLength) - kMinRecordLength) && file.ReadU32LE(record.compressedSize);
}
