#pragma once
// StreamSource: a ByteSource over the stream the shell hands a thumbnail
// handler. It keeps its own position, so that moves past the end behave as
// they do for a file (allowed; the next read comes back short) whatever the
// stream's own Seek makes of them.

#include "base/ByteSource.h"

struct IStream;

class StreamSource : public ByteSource {
public:
    // The stream is borrowed: the caller holds a reference for as long as
    // the source is used. start is the stream's position on entry.
    StreamSource(IStream* stream, uint64_t start, uint64_t size) : stream(stream), start(start), size(size) {}

protected:
    uint32_t ReadFromSource(void* buffer, uint32_t count) override;
    int64_t SeekInSource(int64_t distance, Origin origin) override;

private:
    IStream* stream;
    uint64_t start;        // where the document begins in the stream
    uint64_t size;         // bytes of the document from start
    uint64_t position = 0; // from start; may lie past the end after a skip
    bool streamAt = false; // the stream stands at start + position
};
