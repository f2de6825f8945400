#pragma once
// What loading a document holds, told from its header before anything is
// decoded, so that a batch can weigh documents before it loads them and the
// viewer can make room before it reads one.

#include <cstdint>

struct DocumentHeader;

struct LoadingMemory {
    uint64_t picture = 0; // the flattened picture
    uint64_t beside = 0;  // the most the reader holds beside it while it reads
};

// For a document with that header read on a pool of poolSize threads (1 or
// 0: on the caller's thread alone). A QVM picture of a megapixel or more
// holds only bands beside itself (QvmPictureBands.h), whatever poolSize; a
// smaller one, one layer. A QVR version 0 document holds one mask at most
// (bands of masks from a megapixel, QvrPictureBands.h); a version 1 document
// on a pool, tile batches of a fixed room (QvrTileWalk.h). False, and
// nothing set, for a picture too large to create.
bool LoadingMemoryOf(const DocumentHeader& header, unsigned poolSize, LoadingMemory& memory);
