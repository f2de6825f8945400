#pragma once
// The one entry for opening a document of either format.

class ByteSource;
class ImageBuffer;

// Decodes the document at path into target, choosing the reader by the
// path's extension ("qvr" or "qvm", any letter case); any other extension
// fails without opening the file. True when the whole document was read.
bool LoadDocument(ImageBuffer& target, const char* path);

// Decodes the document that source holds from its current position. A source
// has no name to choose by, so its first bytes ("QVMDATA" or "QVRFDAT")
// choose the reader; anything else fails. True when the whole document was
// read.
bool LoadDocument(ImageBuffer& target, ByteSource& source);
