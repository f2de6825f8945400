#pragma once
// FileListBox: the sorted list of file names on the left of the main window,
// in the order of the system's file manager (numbers by value: pic2 before
// pic10; case ignored). Behind each item it keeps a heap copy of the file's
// full path (the item data), owned by the list: made by AddFile, freed by
// ClearFiles. It is taken over so that the mouse wheel goes to its owner
// instead of scrolling the list.

#include "framework/GdiObject.h"
#include "framework/ListBox.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class Str;
class WheelSink;

class FileListBox : public ListBox {
public:
    // The list as child controlId of parent, in the system's message font at
    // the parent's DPI. False when the list box cannot be created; a font
    // that cannot be made is ignored.
    bool CreateList(HWND parent, int controlId);
    // Makes the font again for dpi (after the window moved to a monitor of
    // another scale); the item height follows the font.
    void SetDpi(uint32_t dpi);
    // Adds the file name of fullPath with a copy of fullPath as its data.
    // Files of the same name from different folders show as many of their
    // last folders as tell them apart ("sub\m041.qvm", see PathLabels.h);
    // the list is still sorted by the names.
    // With checkDuplicates nothing is added when an item already holds the
    // same path, compared ignoring case. Never changes the selection.
    // Returns whether an item was added.
    bool AddFile(const Str& fullPath, bool checkDuplicates);
    // Around adding many files: between the two the list neither repaints
    // nor updates its scroll bar for each item (with thousands of files that
    // was most of the time); EndFill sets the horizontal extent for the
    // longest name and paints the list once.
    void BeginFill();
    void EndFill();
    // Frees every path copy, then empties the list.
    void ClearFiles();
    // The full path of item index (null when there is none).
    const char* PathAt(int index);

    void SetWheelSink(WheelSink* target) { sink = target; }

    bool OnMouseWheel(uint32_t keys, uint32_t delta, uint32_t x, uint32_t y) override;

    GdiObject font;

private:
    bool HoldsPath(const Str& fullPath, const std::string& key) const;
    // Where name goes: after every item that sorts before it or equal.
    int InsertionIndex(const char* name) const;
    // Labels the items of the same name as item index's, once there are two.
    void LabelSameNames(int index);

    WheelSink* sink = nullptr;
    // The items' file names in list order. The list box sorts only by its own
    // rule, so the list is kept in order here and items are inserted where
    // they belong.
    std::vector<std::string> names;
    // Every listed path under a key that equal paths share, so that the
    // duplicate check compares a new path with the few listed paths of the
    // same key instead of with every item (a drop of thousands of files
    // took seconds).
    std::unordered_multimap<std::string, const char*> pathsByKey;
};
