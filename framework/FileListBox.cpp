#include "framework/FileListBox.h"

#include "framework/Dpi.h"
#include "framework/MessageFont.h"
#include "framework/MouseInput.h"
#include "base/PathLabels.h"
#include "base/Str.h"
#include "base/Text.h"
#include "base/Wide.h"
#include "framework/WheelSink.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// No LBS_SORT: the list box would sort pic10 before pic2; AddFile inserts
// each name where it belongs instead.
constexpr DWORD kListStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY; // 0x50300101

// A key that paths equal ignoring case always share: their ASCII letters
// (folded) and digits in order. Everything else is left out, so that no rule
// of the system's case-insensitive comparison about other characters (wide
// letters, marks it gives no weight) can make two equal paths differ here;
// candidates of the same key are then compared for real.
std::string PathKey(const char* path) {
    std::string key;
    for (const char* p = path; *p != 0; p = text::NextChar(p)) {
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

} // namespace

bool FileListBox::CreateList(HWND parent, int controlId) {
    // The main frame sizes the list afterwards.
    if (!Create(WS_EX_CLIENTEDGE, kListStyle, 0, 0, 100, 100, parent, controlId))
        return false;
    Subclass();
    SetDpi(WindowDpi(hwnd));
    return true;
}

void FileListBox::SetDpi(uint32_t dpi) {
    // A list item must show any file name: the message font of the user's
    // system, in whatever character set the system's font linking needs for
    // each name, not a face of one language.
    // The list box measures its item height from the font it is given.
    if (SetMessageFont(hwnd, dpi, font))
        UpdateHorizontalExtent();
}

bool FileListBox::HoldsPath(const Str& fullPath, const std::string& key) const {
    const auto [first, last] = pathsByKey.equal_range(key);
    for (auto listed = first; listed != last; ++listed)
        if (fullPath.CompareNoCase(listed->second) == 0)
            return true;
    return false;
}

int FileListBox::InsertionIndex(const char* name) const {
    const auto place =
        std::upper_bound(names.begin(), names.end(), name, [](const char* text, const std::string& item) {
            return text::CompareNatural(text, item.c_str()) < 0;
        });
    return static_cast<int>(place - names.begin());
}

bool FileListBox::AddFile(const Str& fullPath, bool checkDuplicates) {
    std::string key = PathKey(fullPath.Text());
    if (checkDuplicates && HoldsPath(fullPath, key))
        return false;
    Str name;
    fullPath.GetFileName(name);
    const int place = InsertionIndex(name.Text());
    const int index = static_cast<int>(
        Send(LB_INSERTSTRING, static_cast<WPARAM>(place), reinterpret_cast<LPARAM>(Widen(name.Text()).c_str())));
    if (index < 0)
        return false; // the list is full: nothing to own
    names.insert(names.begin() + index, name.Text());
    const size_t size = static_cast<size_t>(fullPath.Length()) + 1;
    char* copy = new char[size];
    std::memcpy(copy, fullPath.Text(), size);
    SetItemData(index, reinterpret_cast<LPARAM>(copy));
    pathsByKey.emplace(std::move(key), copy);
    LabelSameNames(index);
    return true;
}

void FileListBox::LabelSameNames(int index) {
    // Equal names sort next to each other.
    int first = index, last = index;
    while (first > 0 && text::CompareNoCase(names[size_t(first - 1)].c_str(), names[size_t(index)].c_str()) == 0)
        --first;
    while (last + 1 < static_cast<int>(names.size()) &&
           text::CompareNoCase(names[size_t(last + 1)].c_str(), names[size_t(index)].c_str()) == 0)
        ++last;
    if (first == last)
        return;
    std::vector<std::string> paths;
    for (int i = first; i <= last; ++i)
        paths.emplace_back(PathAt(i));
    const std::vector<std::string> labels = DistinctLabels(paths);
    const int selected = static_cast<int>(Send(LB_GETCURSEL, 0, 0));
    Str shown;
    for (int i = first; i <= last; ++i) {
        const std::string& label = labels[size_t(i - first)];
        GetText(i, shown);
        if (label == shown.Text())
            continue;
        // A list box item's text cannot be changed in place.
        const LRESULT data = GetItemData(i);
        Send(LB_DELETESTRING, static_cast<WPARAM>(i), 0);
        Send(LB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(Widen(label.c_str()).c_str()));
        SetItemData(i, data);
        if (i == selected)
            Send(LB_SETCURSEL, static_cast<WPARAM>(i), 0);
    }
}

void FileListBox::BeginFill() {
    Send(WM_SETREDRAW, FALSE, 0);
}

void FileListBox::EndFill() {
    Send(WM_SETREDRAW, TRUE, 0);
    UpdateHorizontalExtent();
    InvalidateRect(hwnd, nullptr, TRUE);
}

void FileListBox::ClearFiles() {
    const int count = static_cast<int>(Send(LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        delete[] PathAt(i);
        SetItemData(i, 0);
    }
    Send(LB_RESETCONTENT, 0, 0);
    pathsByKey.clear();
    names.clear();
}

const char* FileListBox::PathAt(int index) {
    const LRESULT data = GetItemData(index);
    return data == LB_ERR ? nullptr : reinterpret_cast<const char*>(data);
}

bool FileListBox::OnMouseWheel(uint32_t, uint32_t delta, uint32_t, uint32_t) {
    if (sink != nullptr)
        sink->OnWheelDelta(WheelDeltaOf(delta));
    // Handled: the list never scrolls by the wheel.
    return true;
}
