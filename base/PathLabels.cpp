#include "base/PathLabels.h"

#include "base/Text.h"

namespace {

// Where each part of path starts (after a separator), walking whole
// characters: a double-byte character may end in the separator's byte.
std::vector<size_t> PartStarts(const std::string& path) {
    std::vector<size_t> starts{0};
    const char* text = path.c_str();
    for (const char* p = text; *p != 0; p = text::NextChar(p))
        if ((*p == text::PathSeparator() || *p == '/') && p[1] != 0)
            starts.push_back(size_t(p + 1 - text));
    return starts;
}

// The last `parts` parts of path (the name is one), or all of it.
std::string Tail(const std::string& path, const std::vector<size_t>& starts, size_t parts) {
    return parts >= starts.size() ? path : path.substr(starts[starts.size() - parts]);
}

} // namespace

std::vector<std::string> DistinctLabels(const std::vector<std::string>& paths) {
    std::vector<std::vector<size_t>> starts;
    for (const std::string& path : paths)
        starts.push_back(PartStarts(path));
    std::vector<std::string> labels;
    for (size_t i = 0; i < paths.size(); ++i) {
        std::string label = Tail(paths[i], starts[i], 1);
        for (size_t parts = 1; parts <= starts[i].size(); ++parts) {
            const std::string tail = Tail(paths[i], starts[i], parts);
            // The same file listed twice has nothing to tell it from itself.
            bool distinct = true;
            for (size_t j = 0; j < paths.size() && distinct; ++j)
                distinct = j == i || text::CompareNoCase(paths[i].c_str(), paths[j].c_str()) == 0 ||
                           text::CompareNoCase(tail.c_str(), Tail(paths[j], starts[j], parts).c_str()) != 0;
            if (distinct) {
                label = tail;
                break;
            }
        }
        labels.push_back(label);
    }
    return labels;
}
