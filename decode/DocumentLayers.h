#pragma once
// What a document's layers are, read from its records without expanding any
// pixels: for a QVM document each layer's name, blend mode, opacity and
// stored visibility; for a QVR document a summary of its masks or tiles.
// The viewer's layers pane lists them, and a QVM document is flattened again
// with the visibility the user picks there (ReadQvmShowing, QvmReader.h).

#include <cstdint>
#include <string>
#include <vector>

struct LayerEntry {
    std::string name; // as stored, up to 32 bytes, system code page
    uint8_t blendMode = 0;
    uint8_t opacity = 0; // 0 to 128
    bool visible = false;
};

struct DocumentLayers {
    enum class Kind { None, Qvm, Qvr };
    Kind kind = Kind::None;
    std::vector<LayerEntry> layers; // QVM: in file order, the bottom layer first
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

// The one line that stands for a QVR document's layers in the pane.
std::string QvrSummary(const DocumentLayers& layers);
