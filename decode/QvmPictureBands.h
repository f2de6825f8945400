#pragma once
// Flattening a large QVM document into its whole picture a band of rows at a
// time. Every visible layer's stream is expanded one band further for each
// band (StreamBands.h) and blended straight into the picture's rows, so that
// beside the picture the read holds only a few bands of layers, pieces of
// their input and each stream's zlib state: what the document sets, never
// what the processor count does. The threads of a pool share the bands of
// one picture; they never hold pictures of their own.

#include "decode/StreamBands.h"

#include <cstdint>
#include <vector>

class BlendTable;
class ByteSource;
class ImageBuffer;
class WorkPool;
struct QvmHeader;

// From about a megapixel a second picture for the layers costs more memory
// than reading in bands costs time; ReadQvm reads smaller pictures one layer
// after the other.
inline constexpr uint64_t kPictureBandsPixels = 1024 * 1024;

// Streams expanded side by side, whatever the processor: more threads than
// this share the work of fewer bands rather than hold more of them.
inline constexpr size_t kPictureBandGroup = 8;
// A slot's band of one layer: large enough that a band takes few rounds of
// the pool, small enough that the group stays within a few megabytes.
inline constexpr uint64_t kPictureSlotBandBytes = 512 * 1024;
// Streams kept open between bands take at most this, or a layer's worth of
// pixels when that is more (what reading one layer after the other holds);
// the rest start over for every band.
inline constexpr uint64_t kPictureKeptStreamBytes = 4 * 1024 * 1024;

// How a picture of width x height with `streams` visible layers out of
// `records` is read, each slot reading pieces of pieceBytes; bytes receives
// what the read holds beside the picture itself (bands, pieces, zlib states,
// the blend table, the records' places). False when not even one row fits.
bool PlanPictureBands(int32_t width, int32_t height, size_t streams, size_t records, uint64_t pieceBytes,
                      BandPlan& plan, uint64_t& bytes);

// The most PlanPictureBands can hold beside the picture for a document of
// that size and layer count, whatever its streams: the memory estimate of a
// document known only by its header.
uint64_t MostPictureBandBytes(int32_t width, int32_t height, size_t records);

enum class PictureBandsRead {
    Done,      // target holds the flattened document
    Broken,    // ReadQvm fails on the document too; target holds no useful picture
    NotBanded, // memory ran out, or streams would start over for far too long
    Cancelled, // the pool was cancelled: its owner gives the document up
};

// Flattens the layers whose records start at position `records` of source
// into target, already created at the header's size and filled white;
// visible overrides the stored flags as in ReadQvmShowing. The pixels are
// those ReadQvm gives. After anything but Done, target must be filled again
// before another read.
PictureBandsRead ReadQvmPictureInBands(ByteSource& source, const QvmHeader& header, int64_t records,
                                       ImageBuffer& target, BlendTable& table, WorkPool* pool,
                                       const std::vector<uint8_t>* visible);
