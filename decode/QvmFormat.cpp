#include "decode/QvmFormat.h"

#include "base/ByteSource.h"
#include "decode/DocumentHeader.h"

namespace {

// LS counts the name, blend mode, opacity and flags.
constexpr uint32_t kMinRecordLength = 35;
constexpr uint32_t kNameBytes = 32;

} // namespace

bool ReadQvmHeader(ByteSource& file, QvmHeader& header) {
    DocumentHeader read;
    if (!ReadDocumentHeader(file, read) || read.kind != DocumentKind::Qvm)
        return false;
    header.width = read.width;
    header.height = read.height;
    header.layerCount = read.layerCount;
    header.recordLength = read.recordLength;
    return true;
}

bool ReadQvmLayerRecord(ByteSource& file, uint32_t recordLength, QvmLayerRecord& record) {
    if (!file.ReadExact(record.name, kNameBytes))
        return false;
    record.name[kNameBytes] = 0;
    return file.ReadU8(record.blendMode) && file.ReadU8(record.opacity) && file.ReadU8(record.flags) &&
           file.Skip(int64_t(recordLength) - kMinRecordLength) && file.ReadU32LE(record.compressedSize);
}
