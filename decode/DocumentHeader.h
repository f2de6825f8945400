#pragma once
// The start of a document of either format, read in this one place by every
// reader, the peek at a document's size and the check of its kind.
//
// QVM: "QVMDATA", version 0, then the header of QvmFormat.h through LS.
// QVR: "QVRFDAT", then version 0: width, height, layer count (u16 each), 4
// bytes and a check byte that must be 0; or version 1: the header of
// QvrTileWalk.h through its HS - 12 more bytes.

#include "decode/DocumentKind.h"
#include "decode/LoadResult.h"

#include <cstdint>

class ByteSource;

struct DocumentHeader {
    DocumentKind kind = DocumentKind::Other;
    uint8_t version = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint16_t layerCount = 0;
    uint32_t recordLength = 0; // LS: QVM and QVR version 1
};

// The magic's length: "QVMDATA" and "QVRFDAT" tell the formats apart.
constexpr int64_t kDocumentMagicLength = 7;

// Reads the magic at source's position: the kind it names, Other for
// anything else or a source that ends first.
DocumentKind ReadDocumentMagic(ByteSource& source);

// Reads the header from source's position, the start of a document, and
// leaves source after it: at the first layer record (QVM, QVR version 1) or
// at the flattened picture's size (QVR version 0). False on an unknown magic
// or version, a source that ends inside a field, or a length field below
// its minimum (it would make a reader step back into fields already read).
bool ReadDocumentHeader(ByteSource& source, DocumentHeader& header);
// The same, saying why it failed: NotDocument for an unknown magic,
// UnsupportedVersion for a version no reader takes, CorruptHeader for the
// rest (LoadResult.h).
LoadResult ReadDocumentHeaderSaying(ByteSource& source, DocumentHeader& header);
