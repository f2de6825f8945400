#include "app/LayerChoices.h"

void HiddenLayerNames::NoteChange(const std::vector<std::string>& names, bool numbered,
                                  const std::vector<uint8_t>& before, const std::vector<uint8_t>& after) {
    const size_t count = names.size();
    if (before.size() != count || after.size() != count)
        return;
    for (size_t i = 0; i < count; ++i) {
        if (before[i] == after[i] || names[i].empty())
            continue;
        if (after[i] == 0)
            hidden.insert({numbered, names[i]});
        else
            hidden.erase({numbered, names[i]});
    }
}

bool HiddenLayerNames::Apply(const std::vector<std::string>& names, bool numbered,
                             std::vector<uint8_t>& visible) const {
    bool changed = false;
    for (size_t i = 0; i < names.size() && i < visible.size(); ++i) {
        if (visible[i] != 0 && hidden.count({numbered, names[i]}) != 0) {
            visible[i] = 0;
            changed = true;
        }
    }
    return changed;
}

bool LayerSolo::Toggle(int target, std::vector<uint8_t>& visible) {
    if (layer >= 0) {
        // Put back only onto the document it was taken from.
        if (before.size() == visible.size())
            visible = before;
        Forget();
        return true;
    }
    if (target < 0 || size_t(target) >= visible.size())
        return false;
    before = visible;
    layer = target;
    for (size_t i = 0; i < visible.size(); ++i)
        visible[i] = i == size_t(target) ? 1 : 0;
    return true;
}

void LayerSolo::Forget() {
    layer = -1;
    before.clear();
}
