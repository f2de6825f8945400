// Every reader, the size peek and the thumbnail's banded read take a
// document's start from one header reader: it must read each format's
// header to its last byte, no further, and refuse one cut anywhere short.
#include "base/MemorySource.h"
#include "decode/DocumentHeader.h"
#include "tests/decode/DocTest.h"

using namespace doctest;

namespace {

struct HeaderCase {
    const char* what;
    Bytes bytes;
    DocumentKind kind;
    uint8_t version;
    uint16_t width, height, layerCount;
    uint32_t recordLength;
    size_t needed; // the bytes it must find
    size_t end;    // where it leaves the source: the first layer record, or S in QVR version 0
};

std::vector<HeaderCase> HeaderCases() {
    docwriter::QvmDocument qvm;
    qvm.width = 7;
    qvm.height = 3;
    qvm.layerCount = 4;
    qvm.headerExtra = Bytes(5, 0xAA);
    qvm.block = Bytes(6, 0xBB);
    qvm.recordLength = 40;
    docwriter::QvrV0Document v0;
    v0.width = 5;
    v0.height = 9;
    v0.layerCount = 2;
    docwriter::QvrV1Document v1;
    v1.width = 300;
    v1.height = 2;
    v1.layerCount = 3;
    v1.block = Bytes(10, 0xEE);
    v1.headerExtra = Bytes(3, 0xCC);
    v1.recordLength = 81;
    return {
        // magic, version, HS, size and count, 4 + 5 + 4 bytes, B and 6 bytes, LS
        {"QVM", docwriter::WriteQvm(qvm), DocumentKind::Qvm, 0, 7, 3, 4, 40, 45, 8 + 4 + 6 + 13 + 4 + 6 + 4},
        // magic, version, size and count, 4 bytes, check byte
        {"QVR 0", docwriter::WriteQvrV0(v0), DocumentKind::Qvr, 0, 5, 9, 2, 0, 19, 8 + 6 + 4 + 1},
        // magic, version, 4 bytes, B and 10 bytes, HS, 12 + 3 bytes. The 3
        // are stepped over, not read: a document cut among them fails at
        // its first layer record.
        {"QVR 1", docwriter::WriteQvrV1(v1), DocumentKind::Qvr, 1, 300, 2, 3, 81, 40, 8 + 4 + 4 + 10 + 2 + 15},
    };
}

TEST(DocumentHeader, ReadsEachHeaderToItsLastByteAndRefusesOneCutShort) {
    for (const HeaderCase& c : HeaderCases()) {
        ASSERT_LE(c.end, c.bytes.size()) << c.what;
        for (size_t length = 0; length < c.needed; ++length) {
            MemorySource source(c.bytes.data(), length);
            DocumentHeader header;
            EXPECT_FALSE(ReadDocumentHeader(source, header)) << c.what << " cut at " << length;
        }
        for (const size_t length : {c.needed, c.bytes.size()}) {
            MemorySource source(c.bytes.data(), length);
            DocumentHeader header;
            ASSERT_TRUE(ReadDocumentHeader(source, header)) << c.what << " cut at " << length;
            EXPECT_EQ(source.Tell(), int64_t(c.end)) << c.what;
            EXPECT_EQ(header.kind, c.kind) << c.what;
            EXPECT_EQ(header.version, c.version) << c.what;
            EXPECT_EQ(header.width, c.width) << c.what;
            EXPECT_EQ(header.height, c.height) << c.what;
            EXPECT_EQ(header.layerCount, c.layerCount) << c.what;
            EXPECT_EQ(header.recordLength, c.recordLength) << c.what;
        }
    }
}

// Versions the readers do not know, a wrong magic, a set check byte and
// lengths below their minimum would each send a reader into bytes that are
// not what it takes them for.
TEST(DocumentHeader, RefusesUnknownVersionsMagicAndShortLengths) {
    docwriter::QvmDocument qvm1, shortHs, shortLs;
    qvm1.version = 1;
    shortHs.headerLength = 9;
    shortLs.recordLength = 34;
    docwriter::QvrV0Document checked, wrongMagic;
    checked.checkByte = 1;
    wrongMagic.magic = "QVRFDAX";
    docwriter::QvrV1Document qvr2, shortQvrHs, shortQvrLs;
    qvr2.version = 2;
    shortQvrHs.headerLength = 11;
    shortQvrLs.recordLength = 78;
    const std::pair<const char*, Bytes> cases[] = {
        {"QVM version 1", docwriter::WriteQvm(qvm1)},       {"QVM HS 9", docwriter::WriteQvm(shortHs)},
        {"QVM LS 34", docwriter::WriteQvm(shortLs)},        {"QVR check byte 1", docwriter::WriteQvrV0(checked)},
        {"wrong magic", docwriter::WriteQvrV0(wrongMagic)}, {"QVR version 2", docwriter::WriteQvrV1(qvr2)},
        {"QVR HS 11", docwriter::WriteQvrV1(shortQvrHs)},   {"QVR LS 78", docwriter::WriteQvrV1(shortQvrLs)},
    };
    for (const auto& [what, bytes] : cases) {
        MemorySource source(bytes.data(), bytes.size());
        DocumentHeader header;
        EXPECT_FALSE(ReadDocumentHeader(source, header)) << what;
    }
}

} // namespace
