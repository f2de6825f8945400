#include "app/DocumentList.h"

#include "app/FileStamp.h"

#include "base/PathLabels.h"
#include "base/Text.h"
#include "decode/FolderList.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// A key that paths equal ignoring case always share: their ASCII letters
// (folded) and digits in order. Everything else is left out, so that no rule
// of the system's case-insensitive comparison about other characters (wide
// letters, marks it gives no weight) can make two equal paths differ here;
// candidates of the same key are then compared for real.
std::string PathKey(const std::string& path) {
    std::string key;
    for (const char* p = path.c_str(); *p != 0; p = text::NextChar(p)) {
        if (text::NextChar(p) != p + 1)
            continue; // a character beyond ASCII
        const char c = *p;
        if (c >= 'a' && c <= 'z')
            key.push_back(char(c - 'a' + 'A'));
        else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            key.push_back(c);
    }
    return key;
}

std::string FileName(const std::string& path) {
    const size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

// The list's order of names, the folder listing's own: numbers by value,
// case ignored, and names that compare equal so in a fixed order.
bool NameBefore(const std::string& a, const std::string& b) {
    int order = text::CompareNatural(a.c_str(), b.c_str());
    if (order == 0)
        order = text::CompareNoCase(a.c_str(), b.c_str());
    return order != 0 ? order < 0 : std::strcmp(a.c_str(), b.c_str()) < 0;
}

bool SamePath(const std::string& a, const std::string& b) {
    return text::CompareNoCase(a.c_str(), b.c_str()) == 0;
}

} // namespace

void DocumentList::PathSet::Insert(const std::string& path) {
    paths.emplace(PathKey(path), path);
}

bool DocumentList::PathSet::Contains(const std::string& path) const {
    const auto [first, last] = paths.equal_range(PathKey(path));
    for (auto held = first; held != last; ++held)
        if (SamePath(path, held->second))
            return true;
    return false;
}

const char* DocumentList::PathAt(int index) const {
    return index >= 0 && index < Count() ? entries[size_t(index)].path.c_str() : nullptr;
}

const char* DocumentList::LabelAt(int index) const {
    return index >= 0 && index < Count() ? entries[size_t(index)].label.c_str() : nullptr;
}

std::vector<std::string> DocumentList::Labels() const {
    std::vector<std::string> labels;
    labels.reserve(entries.size());
    for (const Entry& entry : entries)
        labels.push_back(entry.label);
    return labels;
}

int DocumentList::IndexOf(const char* path) const {
    if (path == nullptr || path[0] == '\0')
        return -1;
    for (int i = 0; i < Count(); ++i)
        if (SamePath(entries[size_t(i)].path, path))
            return i;
    return -1;
}

bool DocumentList::Select(int index) {
    if (index < -1 || index >= Count())
        return false;
    current = index;
    return true;
}

bool DocumentList::Step(bool forward) {
    // With nothing current (-1), forward goes to the first item.
    const int next = forward ? current + 1 : current - 1;
    if (current < 0 && !forward)
        return false;
    return next >= 0 && next < Count() && Select(next);
}

void DocumentList::Clear() {
    entries.clear();
    listedPaths.Clear();
    current = -1;
    folder.clear();
}

bool DocumentList::ListFolder(const std::string& listedFolder) {
    Clear();
    folder = listedFolder;
    return AddFolder(listedFolder);
}

bool DocumentList::AddFolder(const std::string& added) {
    std::vector<std::string> paths;
    if (!ListDocuments(added, paths))
        return false;
    std::vector<Entry> made;
    made.reserve(paths.size());
    // Only the folder the list shows is listed again by ListAgain; another
    // folder dropped beside it stays as it came.
    const bool listed = !folder.empty() && SamePath(added, folder);
    for (const std::string& path : paths)
        made.push_back(Make(path, listed));
    Insert(std::move(made));
    return true;
}

int DocumentList::AddFiles(const std::vector<std::string>& paths, bool checkDuplicates) {
    std::vector<Entry> made;
    for (const std::string& path : paths) {
        if (checkDuplicates && listedPaths.Contains(path))
            continue;
        made.push_back(Make(path, false));
        // A path given twice in one call is one file too.
        if (checkDuplicates)
            listedPaths.Insert(path);
    }
    const int count = int(made.size());
    Insert(std::move(made));
    return count;
}

DocumentList::Entry DocumentList::Make(const std::string& path, bool listed) const {
    Entry entry;
    entry.path = path;
    entry.name = FileName(path);
    entry.label = entry.name;
    entry.listed = listed;
    // The order of names needs no file opened: a drop of thousands of files
    // stays quick.
    if (order.key != SortKey::Name)
        Stamp(entry);
    return entry;
}

void DocumentList::Stamp(Entry& entry) {
    const FileStamp stamp = FileStamp::Of(entry.path.c_str());
    entry.writeTime = stamp.writeTime;
    entry.size = stamp.size;
    entry.stamped = true;
}

bool DocumentList::Before(const Entry& a, const Entry& b) const {
    uint64_t first = 0;
    uint64_t second = 0;
    switch (order.key) {
    case SortKey::Name:
        return order.descending ? NameBefore(b.name, a.name) : NameBefore(a.name, b.name);
    case SortKey::Modified:
        first = a.writeTime;
        second = b.writeTime;
        break;
    case SortKey::Size:
        first = a.size;
        second = b.size;
        break;
    }
    if (first != second)
        return order.descending ? first > second : first < second;
    return NameBefore(a.name, b.name);
}

void DocumentList::SetOrder(const SortOrder& wanted) {
    if (wanted == order)
        return;
    order = wanted;
    std::vector<Entry> all = std::move(entries);
    if (order.key != SortKey::Name)
        for (Entry& entry : all)
            if (!entry.stamped)
                Stamp(entry);
    const int was = current;
    const std::string kept = was >= 0 ? all[size_t(was)].path : std::string();
    entries.clear();
    current = -1;
    Insert(std::move(all));
    if (was >= 0)
        current = IndexOf(kept.c_str());
}

void DocumentList::Insert(std::vector<Entry> added) {
    if (added.empty())
        return;
    std::stable_sort(added.begin(), added.end(), [this](const Entry& a, const Entry& b) { return Before(a, b); });
    std::vector<Entry> merged;
    merged.reserve(entries.size() + added.size());
    int moved = -1;
    size_t next = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        // The new ones go after every item that sorts before them or equal.
        while (next < added.size() && Before(added[next], entries[i]))
            merged.push_back(std::move(added[next++]));
        if (int(i) == current)
            moved = int(merged.size());
        merged.push_back(std::move(entries[i]));
    }
    while (next < added.size())
        merged.push_back(std::move(added[next++]));
    entries = std::move(merged);
    current = moved;
    Reindex();
    Relabel();
}

void DocumentList::Reindex() {
    listedPaths.Clear();
    for (const Entry& entry : entries)
        listedPaths.Insert(entry.path);
}

void DocumentList::Relabel() {
    // Equal names sort next to each other in the order of names: each run of
    // them gets the labels that tell its files apart. Another order can part
    // them, so they are found in the order of names whatever the list's.
    std::vector<size_t> byName(entries.size());
    for (size_t i = 0; i < byName.size(); ++i)
        byName[i] = i;
    if (order.key != SortKey::Name)
        std::stable_sort(byName.begin(), byName.end(),
                         [this](size_t a, size_t b) { return NameBefore(entries[a].name, entries[b].name); });
    const auto nameAt = [&](size_t i) { return entries[byName[i]].name.c_str(); };
    for (size_t first = 0; first < byName.size();) {
        size_t end = first + 1;
        while (end < byName.size() && text::CompareNoCase(nameAt(end), nameAt(first)) == 0)
            ++end;
        if (end - first == 1) {
            entries[byName[first]].label = entries[byName[first]].name;
        } else {
            const std::vector<size_t> run(byName.begin() + long(first), byName.begin() + long(end));
            std::vector<std::string> paths;
            for (size_t i : run)
                paths.push_back(entries[i].path);
            std::vector<std::string> labels = DistinctLabels(paths);
            for (size_t i = 0; i < run.size(); ++i)
                entries[run[i]].label = std::move(labels[i]);
        }
        first = end;
    }
}

DocumentList::Relisted DocumentList::ListAgain(const std::function<bool(const std::string&)>& isCurrentFile) {
    if (folder.empty())
        return current >= 0 ? Relisted::Kept : Relisted::None;
    const int was = current;
    const std::string kept = current >= 0 ? entries[size_t(current)].path : std::string();
    const PathSet before = listedPaths;

    std::vector<std::string> paths;
    ListDocuments(folder, paths); // an unreadable folder leaves the files added by hand
    PathSet now;
    for (const std::string& path : paths)
        now.Insert(path);
    std::vector<Entry> added;
    for (Entry& entry : entries)
        // A file added by hand that the folder now lists is listed once.
        if (!entry.listed && !now.Contains(entry.path))
            added.push_back(std::move(entry));
    entries.clear();
    current = -1;
    std::vector<Entry> made;
    for (const std::string& path : paths)
        made.push_back(Make(path, true));
    Insert(std::move(made));
    Insert(std::move(added));

    if (was < 0 || entries.empty())
        return Relisted::None;
    current = IndexOf(kept.c_str());
    if (current >= 0)
        return Relisted::Kept;
    if (isCurrentFile) {
        for (int i = 0; i < Count(); ++i) {
            const std::string& path = entries[size_t(i)].path;
            if (!before.Contains(path) && isCurrentFile(path)) {
                current = i;
                return Relisted::Renamed;
            }
        }
    }
    current = std::min(was, Count() - 1);
    return Relisted::Replaced;
}
