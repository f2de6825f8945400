#include "decode/FolderList.h"

#include "base/Str.h"
#include "base/Text.h"
#include "decode/DocumentKind.h"

#include <algorithm>
#include <cstring>

namespace {

// Deeper than any real tree; stops a tree that grows as it is read.
constexpr int kMostDepth = 64;

bool EndsInSeparator(const std::string& folder) {
    if (folder.empty())
        return false;
    const char last = folder.back();
    return last == text::PathSeparator() || last == '/';
}

// The viewer's list order; names it takes as equal keep a fixed order.
void SortNames(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        int order = text::CompareNatural(a.c_str(), b.c_str());
        if (order == 0)
            order = text::CompareNoCase(a.c_str(), b.c_str());
        return order != 0 ? order < 0 : std::strcmp(a.c_str(), b.c_str()) < 0;
    });
}

bool ListLevel(const std::string& folder, const std::string& relative, bool recursive, int depth,
               std::vector<FoundDocument>& found, std::vector<std::string>& unreadable) {
    std::vector<std::string> files;
    std::vector<std::string> folders;
    if (!ListEntries(folder, files, folders))
        return false;
    files.erase(std::remove_if(files.begin(), files.end(),
                               [](const std::string& n) { return KindByExtension(n) == DocumentKind::Other; }),
                files.end());
    SortNames(files);
    for (const std::string& name : files)
        found.push_back({JoinPath(folder, name), relative});
    if (!recursive || depth >= kMostDepth)
        return true;
    SortNames(folders);
    for (const std::string& name : folders) {
        if (name == "." || name == "..")
            continue;
        const std::string path = JoinPath(folder, name);
        if (!ListLevel(path, JoinPath(relative, name), true, depth + 1, found, unreadable))
            unreadable.push_back(path);
    }
    return true;
}

} // namespace

std::string FileNameOf(const std::string& path) {
    Str text;
    text.Assign(path.c_str());
    Str name;
    text.GetFileName(name);
    return name.Text();
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    return EndsInSeparator(folder) ? folder + name : folder + text::PathSeparator() + name;
}

bool ListDocuments(const std::string& folder, std::vector<std::string>& paths) {
    std::vector<FoundDocument> found;
    std::vector<std::string> unreadable;
    if (!ListLevel(folder, "", false, 0, found, unreadable))
        return false;
    for (const FoundDocument& document : found)
        paths.push_back(document.path);
    return true;
}

bool ListDocumentTree(const std::string& folder, bool recursive, std::vector<FoundDocument>& found,
                      std::vector<std::string>& unreadable) {
    return ListLevel(folder, "", recursive, 0, found, unreadable);
}
