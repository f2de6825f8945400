#pragma once
// What a document's layers are, read from its records without expanding any
// pixels: for a QVM document each layer's name, blend mode, opacity and
// stored visibility; for a QVR document each layer's colour, opacity and
// stored visibility, named "Layer N" as the layered export names them (a
// version 0 document that stores a flattened picture has none). The viewer's
// layers pane lists them, and the document is flattened again with the
// visibility the user picks there (LoadDocumentShowing, DocumentLoader.h).

#include <cstdint>
#include <string>
#include <vector>

struct LayerEntry {
    std::string name; // QVM: as stored, up to 32 bytes, system code page
    uint8_t blendMode = 0;
    uint32_t colour = 0; // QVR: byte 0 blue, 1 green, 2 red
    uint8_t opacity = 0; // 0 to 128
    bool visible = false;
};

struct DocumentLayers {
    enum class Kind { None, Qvm, Qvr };
    Kind kind = Kind::None;
    std::vector<LayerEntry> layers; // in file order, the bottom layer first
    // QVR: its version, its layer count and whether it holds a flattened
    // picture instead of masks (version 0).
    uint8_t qvrVersion = 0;
    uint16_t qvrLayers = 0;
    bool qvrFlattened = false;
};

// Reads the layer records of the document at path (chosen by the first
// bytes, not the name). False when it is no document or a record is cut
// short: out then holds the layers read before it.
bool ReadDocumentLayers(const char* path, DocumentLayers& out);

// The blend mode's name as the pane shows it ("Normal", "Multiply", ...);
// codes outside the format's 21 blend as Normal and are named by number.
std::string BlendModeName(uint8_t code);

// The one line that stands for a QVR document's layers in the pane when it
// has no layer records (a flattened picture) or they could not be read.
std::string QvrSummary(const DocumentLayers& layers);

// A QVR layer's colour as the pane shows it: "#RRGGBB".
std::string QvrColourText(uint32_t colour);
