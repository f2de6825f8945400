#pragma once
// The one entry for opening a document of either format.

#include "decode/LoadResult.h"

#include <cstdint>
#include <vector>

class ByteSource;
struct DocumentHeader;
class ImageBuffer;
class WorkPool;

// Decodes the document at path into target, choosing the reader by the
// path's extension ("qvr" or "qvm", any letter case); any other extension
// fails without opening the file (NotDocument). Loaded when the whole
// document was read; otherwise the result says what stopped the read where
// the reader met it (LoadResult.h). pool, when given, inflates a large
// document's layers on its threads.
LoadResult LoadDocument(ImageBuffer& target, const char* path, WorkPool* pool = nullptr);

// LoadDocument with the visibility of layer record i taken from visible[i]
// (ReadQvmShowing, QvmReader.h; ReadQvrShowing, QvrReader.h), read as
// steadily: a file that changed while it was read is read once more, and a
// picture torn by a save is never handed on (Changed).
LoadResult LoadDocumentShowing(ImageBuffer& target, const char* path, const std::vector<uint8_t>& visible,
                               WorkPool* pool = nullptr);

// Decodes the document that source holds from its current position. A source
// has no name to choose by, so its first bytes ("QVMDATA" or "QVRFDAT")
// choose the reader; anything else fails. Loaded when the whole document was
// read.
LoadResult LoadDocument(ImageBuffer& target, ByteSource& source, WorkPool* pool = nullptr);

// LoadDocument on pool whatever the document's size, for the tests and fuzz
// targets that hold the two ways of reading against each other.
LoadResult LoadDocumentOnPool(ImageBuffer& target, const char* path, WorkPool& pool);

// The picture size the document at path declares in its header, read
// without decoding anything, so that a batch can tell how much memory a
// document will take before loading it. The format is chosen as LoadDocument
// chooses it; false for any other extension, a document of the other format
// or a header that cannot be read (ReadDocumentHeader, DocumentHeader.h).
bool PeekDocumentSize(const char* path, uint32_t& width, uint32_t& height);

// The whole header of the document at path, chosen and read as
// PeekDocumentSize reads it.
bool PeekDocumentHeader(const char* path, DocumentHeader& header);

// The same from the start of source, the format told by its first bytes as
// LoadDocument(target, source) tells it. The source is left at its start
// again; false also when it cannot go back there. width and height are those
// read so far, 0 where none were.
bool PeekDocumentSize(ByteSource& source, uint32_t& width, uint32_t& height);
