#pragma once
// FileListBox: the list of documents on the left of the main window. It only
// draws the labels it is given, in their order, marks the current one and
// reports the user's clicks and keys (LBN_SELCHANGE to its parent); what the
// list holds and which item is current belong to the main frame's document
// list. It is taken over so that the mouse wheel goes to its owner instead of
// scrolling the list.

#include "framework/GdiObject.h"
#include "framework/ListBox.h"

#include <cstdint>
#include <string>
#include <vector>

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
    // Shows labels instead of the items shown so far, item selected marked
    // (-1: none) and in view, and the horizontal extent set for the longest.
    // The list is painted once, not once per item (with thousands of files
    // that was most of the time), and scrolled where it was.
    void ShowItems(const std::vector<std::string>& labels, int selected);
    // Marks item index (-1: none) without telling the parent.
    void Select(int index) { SetCurSel(index); }
    // The item the user selected, -1 with none.
    int Selected() { return static_cast<int>(Send(LB_GETCURSEL, 0, 0)); }

    void SetWheelSink(WheelSink* target) { sink = target; }

    bool OnMouseWheel(uint32_t keys, uint32_t delta, uint32_t x, uint32_t y) override;

    GdiObject font;

private:
    WheelSink* sink = nullptr;
};
