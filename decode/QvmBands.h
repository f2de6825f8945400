#pragma once
// Flattening a document a band of rows at a time, so that neither the
// picture nor a layer is ever whole in memory: the thumbnail handler scales
// each band down as it comes, whatever the document's size. ReadQvmInBands
// here (QvmBands.cpp) and ReadQvrInBands (QvrBands.h) give the same pixels
// the whole-picture readers give.

#include "decode/LoadResult.h"
#include "decode/StreamBands.h"
#include "base/Deadline.h"

#include <cstdint>
#include <vector>

class ByteSource;
class WorkPool;
struct QvmHeader;
struct QvmLayerRecord;

enum class BandedRead {
    Done,      // every row went to the sink
    Broken,    // the whole-picture reader fails on the document too
    NotBanded, // too little memory for one row of every layer; rows may have gone to the sink
    Refused,   // more work than any painting takes (kMostPlannedBytes), or the deadline passed
};

// Where a banded read sends the flattened picture.
class BandSink {
public:
    virtual ~BandSink() = default;
    // Before the first row, and again when the read starts over from the
    // first row: the rows come bottom row first when bottomUp, else top row
    // first. False ends the read (NotBanded).
    virtual bool Begin(bool bottomUp) = 0;
    // The next row of the picture's width (blue, green, red, any).
    virtual void Row(const uint8_t* row) = 0;
    // The next count rows, all equal to row: the white rows where no layer
    // reaches. A sink that can take them at once saves their walk.
    virtual void RepeatRow(const uint8_t* row, int32_t count) {
        for (int32_t taken = 0; taken < count; ++taken)
            Row(row);
    }
};

// Reads the QVM document (see QvmFormat.h) from the start of source and
// hands every row of its flattened picture to sink, bottom row first.
// memoryLimit bounds what the read holds (bands, streams, tables) beside the
// caller's own. pool, when given, expands the layers of each band on its
// threads. shape bounds the bands and groups (see StreamBands.h). Every
// loop of the read looks at deadline.
//
// A document none of whose visible layers has a stream to expand is white:
// it goes to the sink as one run of white rows, and so do the rows below
// the last band any stream reaches.
//
// Every visible layer's stream is expanded one band further for each band
// (see StreamBands.h for those that cannot all stay open), and the band is
// blended bottom layer first as ReadQvm blends the whole picture. The layer records are first looked for by their
// stated lengths; ReadQvm instead goes on from where a layer's expansion left the file, which is somewhere else when a
// stream ends pieces before its stated block. Such a document is read again from records found as ReadQvm finds them,
// each stream expanded once beforehand to find where it ends.
//
// fault, when given, says what is wrong with a Broken document, as far as
// the bands came: a fault the bands meet first may lie after the one ReadQvm
// names.
BandedRead ReadQvmInBands(ByteSource& source, uint64_t memoryLimit, WorkPool* pool, BandSink& sink,
                          const BandShape& shape = {}, const Deadline& deadline = Deadline(),
                          LoadResult* fault = nullptr);

// Sends count white rows of width pixels to sink at once.
bool SendWhiteRows(BandSink& sink, int32_t width, int32_t count);

// How a visible layer blends.
struct LayerBlend {
    uint8_t mode = 0;
    uint8_t opacity = 0;
};

// Whether record index is blended: its stored flag, unless visible says
// otherwise (the viewer's layers pane; records beyond it keep their flag).
bool QvmLayerShows(const QvmLayerRecord& record, uint32_t index, const std::vector<uint8_t>* visible);

// From the first layer record on, the blocks of the layers that show, where
// their records state them. False when a record or block runs past the file.
bool FindQvmStreamsByLengths(ByteSource& source, const QvmHeader& header, const std::vector<uint8_t>* visible,
                             StreamBands& streams, std::vector<LayerBlend>& blends,
                             const Deadline& deadline = Deadline());
// The same where ReadQvm finds them: every stream that shows is passed
// through to learn where it leaves the file. False where ReadQvm fails, with
// fault (when given) naming the layer as ReadQvm names it, and with *tooMuch
// set where passing them would expand more than mostPlanned.
bool FindQvmStreamsAsRead(ByteSource& source, const QvmHeader& header, const std::vector<uint8_t>* visible,
                          StreamBands& streams, std::vector<LayerBlend>& blends, uint64_t mostPlanned = UINT64_MAX,
                          const Deadline& deadline = Deadline(), bool* tooMuch = nullptr, LoadResult* fault = nullptr);
