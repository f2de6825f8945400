#include "tools/convert/FolderList.h"

#include "framework/Text.h"
#include "tools/convert/DocumentKind.h"

#include <algorithm>
#include <cstring>

namespace {

bool EndsInSeparator(const std::string& folder) {
    if (folder.empty())
        return false;
    const char last = folder.back();
    return last == text::PathSeparator() || last == '/';
}

} // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
    return EndsInSeparator(folder) ? folder + name : folder + text::PathSeparator() + name;
}

bool ListDocuments(const std::string& folder, std::vector<std::string>& paths) {
    std::vector<std::string> names;
    if (!ListFileNames(folder, names))
        return false;
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& n) { return KindByExtension(n) == DocumentKind::Other; }),
                names.end());
    // The viewer's list order; names it takes as equal keep a fixed order.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        int order = text::CompareNatural(a.c_str(), b.c_str());
        if (order == 0)
            order = text::CompareNoCase(a.c_str(), b.c_str());
        return order != 0 ? order < 0 : std::strcmp(a.c_str(), b.c_str()) < 0;
    });
    for (const std::string& name : names)
        paths.push_back(JoinPath(folder, name));
    return true;
}
