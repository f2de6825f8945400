#pragma once
// Layer export: every layer of a QVM document written as a PNG file of its
// own, with its alpha channel, in its stored form (blend mode, opacity and
// visibility are not applied). The file of the layer at record index i in a
// document of N layers is
//     stem + "_%02d_" (N - 1 - i) + layer name + ".png"
// so the top layer gets 00. The stem is the document's path without its
// extension, or, when a destination folder is given, that folder and the
// document's file name without its extension.
//
// Shared by the viewer's menu command and the command-line converter.

#include "base/Str.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// Makes a layer name, UTF-8, safe to put into a file name, in place: each
// "\\", "/" and ":" (which could lead the file out of its folder), each of
// "*", "?", "\"", "<", ">" and "|" (which Windows refuses in names) and each
// control character becomes "_". Dots stay: the name always follows
// "stem_NN_", so they never form a path component of their own. The bytes
// of a UTF-8 character are all above 0x7F and never replaced.
void MakeLayerNameSafe(char* name);

// The stored layer name as it goes into a file name: read by the layer-name
// rule (base/LayerName.h) in codePage (0: automatically), then made safe.
std::string LayerFileNamePart(const char* stored, uint32_t codePage);

// Whether byte c, a character of its own, may not stand in a file name made
// from a layer name (the characters MakeLayerNameSafe replaces).
bool IsRefusedInFileName(unsigned char c);

enum class LayerExportStatus {
    Done,         // every layer record was processed
    CannotOpen,   // the document cannot be opened, or memory ran out
    NotQvm,       // wrong magic, version not 0, or impossible header lengths
    TooLarge,     // the picture cannot be created at the document's size
    CorruptLayer, // a layer's stream is corrupt or truncated
    Stopped,      // the cancel flag was raised; the layers before stay written
};

struct LayerExportOptions {
    const char* folder = nullptr; // null: beside the document
    bool overwrite = true;        // false: existing files are left alone
    bool dryRun = false;          // true: names the files in planned, reads no pixels, writes nothing
    uint32_t namesCodePage = 0;   // the layer names' code page; 0: the automatic rule
    // Raised by another thread (the session ending): no layer starts after
    // it; the one being written is finished or its temporary removed.
    const std::atomic<bool>* cancel = nullptr;
};

struct LayerExportReport {
    LayerExportStatus status = LayerExportStatus::Done;
    int32_t layerCount = 0;
    int32_t written = 0;
    int32_t skipped = 0;       // files that existed, with overwrite off
    int32_t failedWrites = 0;  // layers whose file could not be written
    int32_t corruptLayer = -1; // record index (0 = bottom) when CorruptLayer
    Str firstFailedFile;       // the first file that could not be written
    // Every file that could not be written, with the system's error code.
    struct Failure {
        std::string file;
        int error = 0;
    };
    std::vector<Failure> failures;
    std::vector<std::string> planned; // the files a dry run would write
};

// Writes the files and fills report. True when every layer record was
// processed (status Done), even if some files could not be written: callers
// report those (report.failures), they are never passed over silently.
bool ExportLayers(const char* path, const LayerExportOptions& options, LayerExportReport& report);

// The viewer's form: beside the document, replacing existing files.
bool ExportLayers(const char* path);

// stem + "_%02d_" number + safe name + ".png" into out.
void BuildLayerFileName(Str& out, const char* stem, uint16_t number, const char* name);
