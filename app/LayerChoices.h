#pragma once
// What the user chose in the layers pane beyond one document. Free of the
// platform so that every case can be checked directly.
//
// HiddenLayerNames: the names of the layers the user hid with the pane's
// boxes, so that the next documents open with their layers of those names
// hidden too (View > Keep hidden layers hidden). Names are compared as the
// pane shows them (decoded, base/LayerName.h). A QVR layer's name is only
// its place ("Layer 3"), so QVR names are kept apart from QVM ones: hiding
// a QVR's "Layer 1" hides layer 1 of the next QVR documents, never a QVM
// layer that its painter happened to call "Layer 1". A layer with no name
// is not carried: it would stand for every unnamed layer of every document.
//
// LayerSolo: one layer shown alone, every other hidden, and the boxes as
// they were before, for putting back.

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

class HiddenLayerNames {
public:
    // The user changed boxes: before and after are the visibility of the
    // layers named names (file order) on either side of the change. A layer
    // hidden adds its name; one shown takes it away. numbered: the names are
    // a QVR's.
    void NoteChange(const std::vector<std::string>& names, bool numbered, const std::vector<uint8_t>& before,
                    const std::vector<uint8_t>& after);
    // Hides in visible (file order) every layer whose name is kept; true
    // when that changed anything.
    bool Apply(const std::vector<std::string>& names, bool numbered, std::vector<uint8_t>& visible) const;
    bool Empty() const { return hidden.empty(); }
    void Clear() { hidden.clear(); }

private:
    std::set<std::pair<bool, std::string>> hidden;
};

class LayerSolo {
public:
    // Alt+click on layer: with no layer alone, layer is shown alone and
    // visible as it was is kept; with one alone, visible is put back as it
    // was before. False (visible unchanged) for a layer outside visible.
    bool Toggle(int layer, std::vector<uint8_t>& visible);
    // A document of its own, or a box changed by hand: nothing to put back.
    void Forget();
    // The layer shown alone, -1 for none.
    int Layer() const { return layer; }

private:
    int layer = -1;
    std::vector<uint8_t> before;
};
