#pragma once
// DocumentList: what the viewer's file list holds, apart from the control
// that draws it. The documents' full paths in the list's order (by default
// file names as the system's file manager orders them: numbers by value, case
// ignored; else by date modified or size, either way, ties by name),
// the label each shows, which one is current, and the folder listed when the
// list is one folder's. Every change keeps the current document on its file:
// adding above it, labelling, listing the folder again.

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

// What the list is ordered by. The values are the settings file's.
enum class SortKey : int32_t { Name = 0, Modified = 1, Size = 2 };

struct SortOrder {
    SortKey key = SortKey::Name;
    // Newest, largest or last name first. Files of the same time or size
    // still follow each other by name from A, so that the order is total
    // and a folder listed again keeps it.
    bool descending = false;
    bool operator==(const SortOrder& other) const { return key == other.key && descending == other.descending; }
};

class DocumentList {
public:
    // The order every item is kept in, through adding and listing again.
    const SortOrder& Order() const { return order; }
    // Orders the list anew, the current item kept on its file. A file's time
    // and size are those it had when it was listed or added, or when an order
    // by them was first chosen; listing the folder again takes them anew.
    void SetOrder(const SortOrder& order);

    int Count() const { return int(entries.size()); }
    // The full path and the label of item index; null outside the list.
    const char* PathAt(int index) const;
    const char* LabelAt(int index) const;
    // Every label in list order, for the control that draws them.
    std::vector<std::string> Labels() const;
    // The first item holding path (compared ignoring case), -1 for none.
    int IndexOf(const char* path) const;

    // The current item, -1 with none.
    int Current() const { return current; }
    const char* CurrentPath() const { return PathAt(current); }
    // Makes index current (-1: none); false for an index outside the list.
    bool Select(int index);
    // One item on or back, without wrapping round; forward with none
    // current goes to the first. False when there is nowhere to go.
    bool Step(bool forward);

    // The folder the list shows, "" when it is no one folder's.
    const std::string& Folder() const { return folder; }

    // Empties the list and forgets its folder.
    void Clear();
    // The list becomes folder's documents (ListDocuments, FolderList.h: the
    // converter's own listing), with folder remembered for ListAgain;
    // nothing current. False when the folder cannot be read: the list is then
    // empty, the folder still remembered.
    bool ListFolder(const std::string& folder);
    // Adds folder's documents to the list, without the duplicate check (a
    // folder dropped twice lists its files twice). False when it cannot be
    // read.
    bool AddFolder(const std::string& folder);
    // Adds paths, each after the items that sort before it or equal;
    // with checkDuplicates a path an item holds already (ignoring case) is
    // left out. The number added.
    int AddFiles(const std::vector<std::string>& paths, bool checkDuplicates);
    bool Add(const std::string& path, bool checkDuplicates) { return AddFiles({path}, checkDuplicates) == 1; }
    // The list is no longer one folder's (files picked, several dropped).
    void ForgetFolder() { folder.clear(); }

    // What listing the folder again did to the current item.
    enum class Relisted {
        Kept,     // the same file is current, wherever it went in the list
        Renamed,  // the current file was renamed; its new name is current
        Replaced, // the current file went: the one now at its place is current
        None,     // nothing is current (nothing was, or the list is empty now)
    };
    // The folder listed again, the documents added to it by hand kept. A
    // file gone is looked for under a new name among the files that came
    // with isCurrentFile (given a path, whether it is the current file:
    // the same file by its identity), when given.
    Relisted ListAgain(const std::function<bool(const std::string&)>& isCurrentFile = nullptr);

private:
    struct Entry {
        std::string path;
        std::string name;       // the file name, by which the list is ordered
        std::string label;      // what the list shows for it
        bool listed = false;    // came with the folder's listing, not added by hand
        bool stamped = false;   // writeTime and size asked of the file system
        uint64_t writeTime = 0; // 0 and 0 for a file that could not be asked
        uint64_t size = 0;
    };

    // Paths compared ignoring case, found by a key that equal paths share,
    // so that a new path is compared with the few of its key instead of with
    // every item (a drop of thousands of files).
    class PathSet {
    public:
        void Insert(const std::string& path);
        bool Contains(const std::string& path) const;
        void Clear() { paths.clear(); }

    private:
        std::unordered_multimap<std::string, std::string> paths;
    };

    // Merges added in after the items that sort before or equal, keeping
    // current on its item; the labels are made again.
    void Insert(std::vector<Entry> added);
    void Relabel();
    void Reindex();
    bool Before(const Entry& a, const Entry& b) const;
    Entry Make(const std::string& path, bool listed) const;
    static void Stamp(Entry& entry);

    std::vector<Entry> entries;
    int current = -1;
    std::string folder;
    SortOrder order;
    PathSet listedPaths; // every item's path, for the duplicate check
};
