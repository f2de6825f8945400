#include "decode/DocumentHeader.h"

#include "base/ByteSource.h"
#include "decode/LoadResult.h"

#include <cstring>

namespace {

// QVM: HS counts the width, height and layer count and the 4 bytes after
// them; LS the name, blend mode, opacity and flags.
constexpr uint32_t kQvmMinHeaderLength = 10;
constexpr uint32_t kQvmMinRecordLength = 35;
// QVR version 1: HS counts the size, layer count, LS and the 2 + 2 bytes
// beside them; LS the fields of a layer record up to its tiles.
constexpr uint16_t kQvrMinHeaderLength = 12;
constexpr uint16_t kQvrMinRecordLength = 79;

bool ReadQvm(ByteSource& file, DocumentHeader& header) {
    uint32_t headerLength = 0, blockLength = 0;
    if (header.version != 0 || !file.ReadU32LE(headerLength) || headerLength < kQvmMinHeaderLength)
        return false;
    if (!file.ReadU16LE(header.width) || !file.ReadU16LE(header.height) || !file.ReadU16LE(header.layerCount))
        return false;
    if (!file.Skip(4 + int64_t(headerLength - kQvmMinHeaderLength) + 4))
        return false;
    if (!file.ReadU32LE(blockLength) || !file.Skip(blockLength))
        return false;
    return file.ReadU32LE(header.recordLength) && header.recordLength >= kQvmMinRecordLength;
}

bool ReadQvrVersion0(ByteSource& file, DocumentHeader& header) {
    uint8_t check = 0;
    return file.ReadU16LE(header.width) && file.ReadU16LE(header.height) && file.ReadU16LE(header.layerCount) &&
           file.Skip(4) && file.ReadU8(check) && check == 0;
}

bool ReadQvrVersion1(ByteSource& file, DocumentHeader& header) {
    uint32_t blockLength = 0;
    uint16_t headerLength = 0, recordLength = 0;
    if (!file.Skip(4) || !file.ReadU32LE(blockLength) || !file.Skip(blockLength) || !file.ReadU16LE(headerLength) ||
        headerLength < kQvrMinHeaderLength)
        return false;
    if (!file.ReadU16LE(header.width) || !file.ReadU16LE(header.height) || !file.Skip(2) ||
        !file.ReadU16LE(header.layerCount) || !file.Skip(2) || !file.ReadU16LE(recordLength) ||
        recordLength < kQvrMinRecordLength)
        return false;
    header.recordLength = recordLength;
    return file.Skip(headerLength - kQvrMinHeaderLength);
}

} // namespace

DocumentKind ReadDocumentMagic(ByteSource& source) {
    char magic[kDocumentMagicLength];
    if (!source.ReadExact(magic, sizeof magic))
        return DocumentKind::Other;
    if (std::memcmp(magic, "QVMDATA", sizeof magic) == 0)
        return DocumentKind::Qvm;
    if (std::memcmp(magic, "QVRFDAT", sizeof magic) == 0)
        return DocumentKind::Qvr;
    return DocumentKind::Other;
}

LoadResult ReadDocumentHeaderSaying(ByteSource& source, DocumentHeader& header) {
    header = DocumentHeader{};
    header.kind = ReadDocumentMagic(source);
    if (header.kind == DocumentKind::Other)
        return loadresult::NotDocument();
    if (!source.ReadU8(header.version))
        return loadresult::CorruptHeader();
    bool read = false;
    if (header.kind == DocumentKind::Qvm) {
        if (header.version != 0)
            return loadresult::UnsupportedVersion(header.version);
        read = ReadQvm(source, header);
    } else if (header.version == 0) {
        read = ReadQvrVersion0(source, header);
    } else if (header.version == 1) {
        read = ReadQvrVersion1(source, header);
    } else {
        return loadresult::UnsupportedVersion(header.version);
    }
    return read ? LoadResult() : loadresult::CorruptHeader();
}

bool ReadDocumentHeader(ByteSource& source, DocumentHeader& header) {
    return bool(ReadDocumentHeaderSaying(source, header));
}
