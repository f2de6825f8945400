#pragma once
// Runs the layer export on a document in a folder made for it and checks
// that every file the export wrote lies in that folder, as a layer file of
// that document: a layer name from a hostile document must never lead a file
// out of its folder or into a new one.

#include <cstddef>
#include <cstdint>
#include <string>

struct ExportProbe {
    bool done = false; // what ExportLayers returned
    int32_t written = 0;
    std::string problem; // empty when every file was where it belonged
};

// Makes root/run, writes the bytes there as doc.qvm and exports its layers
// beside it or, with intoFolder, into root/run/out. Afterwards everything
// under root must be the document, that folder and layer files directly in
// it; root/run is removed again. root must exist and be otherwise empty.
//
// Where "/" is the only byte a file name cannot hold (POSIX), a layer file
// that cannot be written in a fresh folder means that a separator reached
// the system: the probe reports it too. Windows also refuses "?", "*" and
// the like, so there a failed write alone proves nothing.
ExportProbe ProbeLayerExport(const std::string& root, const uint8_t* data, size_t size, bool intoFolder);
