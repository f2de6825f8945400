#pragma once
// The QVM document layout: the fixed start of the file and the layer records.
// Shared by the reader, which flattens the layers, and the layer export,
// which writes each layer on its own.
//
// File: "QVMDATA", version 0, HS (u32, header block length, at least 10),
// width, height, layer count (u16 each), the rest of the header block, 4
// bytes, B (u32) and B bytes, LS (u32, fixed record length, at least 35),
// then the layer records, bottom layer first. Record: 32-byte name, blend
// mode, opacity (0 to 128), flags (bit 0 visible), LS - 35 bytes, CS (u32)
// and CS bytes of zlib data expanding to width x height x 4 bytes of pixels
// in ImageBuffer order.

#include <cstdint>

class ByteSource;

struct QvmHeader {
    uint16_t width = 0;
    uint16_t height = 0;
    uint16_t layerCount = 0;
    uint32_t recordLength = 0; // LS
};

struct QvmLayerRecord {
    char name[33] = {}; // NUL-terminated, system code page
    uint8_t blendMode = 0;
    uint8_t opacity = 0;
    uint8_t flags = 0;
    uint32_t compressedSize = 0; // CS

    bool Visible() const { return (flags & 1) != 0; }
};

// Reads from the magic through LS (ReadDocumentHeader, DocumentHeader.h),
// leaving the file at the first layer record. False where that fails, and
// for a document of the other format.
bool ReadQvmHeader(ByteSource& file, QvmHeader& header);

// Reads the fixed part of one layer record and CS, leaving the file at the
// layer's compressed data. False when the file ends inside a field.
bool ReadQvmLayerRecord(ByteSource& file, uint32_t recordLength, QvmLayerRecord& record);
