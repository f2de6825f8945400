#include "export/OutputCollisions.h"

#include "base/Text.h"

#include <algorithm>

std::vector<size_t> EarlierWriters(const std::vector<std::string>& keys) {
    std::vector<size_t> order(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        order[i] = i;
    // Equal keys end up next to each other, each run in list order: the
    // first of a run is the one that writes. Sorting keeps a list of
    // thousands of documents quick.
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return text::CompareNoCase(keys[a].c_str(), keys[b].c_str()) < 0; });
    std::vector<size_t> writers(keys.size(), kWritesItsOwnFile);
    size_t first = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        if (k == 0 || text::CompareNoCase(keys[order[k - 1]].c_str(), keys[order[k]].c_str()) != 0)
            first = order[k];
        else
            writers[order[k]] = first;
    }
    return writers;
}
