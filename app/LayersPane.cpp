#include "app/LayersPane.h"

#include "base/LayerName.h"
#include "base/Wide.h"
#include "framework/Dpi.h"
#include "framework/MessageFont.h"

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Text of the system's code page (layer names, as stored) as the list view
// takes it.
std::wstring Wide(const std::string& text) {
    return WidenFrom(CP_ACP, text.c_str());
}

// The least column widths at 96 DPI; a wider title or text widens its
// column, and the list scrolls sideways for the rest.
const struct {
    const wchar_t* title;
    int width;
} kColumns[] = {{L"Layer", 110}, {L"Blend", 70}, {L"Opacity", 55}, {L"Stored", 55}};
constexpr int kColumnCount = int(sizeof kColumns / sizeof kColumns[0]);

// The thumbnails' side at 96 DPI: about two lines of the pane's text.
constexpr int32_t kThumbnailSide = 28;

// Puts pixels (side x side, blue, green, red, 255, the top row first) into
// list at index, or adds them at its end for index -1.
void ReplaceImage(HIMAGELIST list, int index, const std::vector<uint8_t>& pixels, int32_t side) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side; // top-down, as the thumbnails are
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr)
        return;
    std::memcpy(bits, pixels.data(), pixels.size());
    if (index < 0)
        ImageList_Add(list, bitmap, nullptr);
    else
        ImageList_Replace(list, index, bitmap, nullptr);
    DeleteObject(bitmap);
}

// Opacity is stored as 0 to 128.
std::wstring OpacityText(uint8_t opacity) {
    return std::to_wstring((unsigned(opacity) * 100 + 64) / 128) + L"%";
}

} // namespace

LayersPane::~LayersPane() {
    // The list view has the share style: the thumbnails' list is the pane's.
    if (images != nullptr)
        ImageList_Destroy(images);
}

int32_t LayersPane::ThumbnailSide() const {
    return ScaleForDpi(kThumbnailSide, dpi);
}

void LayersPane::ResetThumbnails(int count) {
    imageSide = ThumbnailSide();
    HIMAGELIST made = ImageList_Create(imageSide, imageSide, ILC_COLOR32, count > 0 ? count : 1, 1);
    if (made != nullptr) {
        // A blank square per layer until the thumbnails come.
        const std::vector<uint8_t> blank(size_t(imageSide) * size_t(imageSide) * 4, 0xFF);
        for (int i = 0; i < count; ++i)
            ReplaceImage(made, -1, blank, imageSide);
    }
    if (hwnd == nullptr) {
        if (made != nullptr)
            ImageList_Destroy(made);
        return;
    }
    SendMessageW(hwnd, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(made));
    if (images != nullptr)
        ImageList_Destroy(images);
    images = made;
}

void LayersPane::SetThumbnails(const std::vector<Thumbnail>& thumbnails, int32_t side) {
    if (hwnd == nullptr || images == nullptr || side != imageSide)
        return;
    const int count = ImageList_GetImageCount(images);
    for (int i = 0; i < count && size_t(i) < thumbnails.size(); ++i)
        if (thumbnails[size_t(i)].size() == size_t(side) * size_t(side) * 4)
            ReplaceImage(images, i, thumbnails[size_t(i)], side);
    InvalidateRect(hwnd, nullptr, FALSE);
}

bool LayersPane::Create(HWND parent, int childId) {
    constexpr DWORD kStyle =
        WS_CHILD | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_NOSORTHEADER | LVS_SHAREIMAGELISTS;
    hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", kStyle, 0, 0, 100, 100, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(childId)), GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr)
        return false;
    // A name cut by its column shows whole in a tooltip under the pointer.
    constexpr DWORD kExtended = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP;
    SendMessageW(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, kExtended, kExtended);
    dpi = WindowDpi(parent);
    for (int i = 0; i < kColumnCount; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(kColumns[i].title);
        column.cx = ScaleForDpi(kColumns[i].width, dpi);
        column.iSubItem = i;
        SendMessageW(hwnd, LVM_INSERTCOLUMNW, WPARAM(i), reinterpret_cast<LPARAM>(&column));
    }
    UpdateFont();
    FitColumns();
    return true;
}

void LayersPane::FitColumns() {
    // The header draws a title three edges in from each side of its column.
    const int titleMargin = ScaleForDpi(12, dpi);
    for (int i = 0; i < kColumnCount; ++i) {
        // At least the width given, and as wide as the widest text and the
        // title in the pane's font: "Opacity" whole in any language's font.
        SendMessageW(hwnd, LVM_SETCOLUMNWIDTH, WPARAM(i), MAKELPARAM(LVSCW_AUTOSIZE, 0));
        int width = int(SendMessageW(hwnd, LVM_GETCOLUMNWIDTH, WPARAM(i), 0));
        const int title =
            int(SendMessageW(hwnd, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(kColumns[i].title))) + titleMargin;
        const int least = ScaleForDpi(kColumns[i].width, dpi);
        if (width < title)
            width = title;
        if (width < least)
            width = least;
        SendMessageW(hwnd, LVM_SETCOLUMNWIDTH, WPARAM(i), MAKELPARAM(width, 0));
    }
}

void LayersPane::UpdateFont() {
    // A list view keeps the font of the system's DPI, which is too small or
    // too large on a monitor of another scale, unless it is given one. Layer
    // names are of any language: the message font, linked to every script.
    SetMessageFont(hwnd, dpi, font);
}

void LayersPane::SetDpi(uint32_t newDpi) {
    if (hwnd == nullptr || newDpi == 0)
        return;
    dpi = newDpi;
    UpdateFont();
    FitColumns();
}

void LayersPane::Show(bool show) {
    shown = show && hwnd != nullptr;
    if (hwnd != nullptr)
        ShowWindow(hwnd, shown ? SW_SHOWNA : SW_HIDE);
}

void LayersPane::Clear() {
    if (hwnd != nullptr)
        SendMessageW(hwnd, LVM_DELETEALLITEMS, 0, 0);
}

bool LayersPane::Empty() const {
    return hwnd == nullptr || SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0) <= 0;
}

bool LayersPane::TakeFocus() {
    if (Empty())
        return false;
    if (SendMessageW(hwnd, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED) < 0) {
        // Only the focus and selection: the box keeps its state.
        LVITEMW state{};
        state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
        state.state = LVIS_FOCUSED | LVIS_SELECTED;
        SendMessageW(hwnd, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    }
    SetFocus(hwnd);
    return true;
}

int LayersPane::FocusedLayer() const {
    if (hwnd == nullptr)
        return -1;
    LRESULT row = SendMessageW(hwnd, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED);
    if (row < 0)
        row = SendMessageW(hwnd, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED);
    if (row < 0)
        return -1;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = int(row);
    if (!SendMessageW(hwnd, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return -1;
    return int(item.lParam);
}

bool LayersPane::GotFocus(LPARAM header) const {
    const NMHDR* notice = reinterpret_cast<const NMHDR*>(header);
    return notice != nullptr && notice->hwndFrom == hwnd && notice->code == NM_SETFOCUS;
}

void LayersPane::AddRow(int row, int layer, const std::wstring& name, const std::wstring& blend,
                        const std::wstring& opacity, const std::wstring& stored, bool checked) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = row;
    item.iImage = layer < 0 ? I_IMAGENONE : layer;
    item.pszText = const_cast<wchar_t*>(name.c_str());
    item.lParam = layer;
    const int index = int(SendMessageW(hwnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0)
        return;
    const std::wstring* texts[] = {&blend, &opacity, &stored};
    for (int column = 1; column <= 3; ++column) {
        LVITEMW sub{};
        sub.iSubItem = column;
        sub.pszText = const_cast<wchar_t*>(texts[column - 1]->c_str());
        SendMessageW(hwnd, LVM_SETITEMTEXTW, WPARAM(index), reinterpret_cast<LPARAM>(&sub));
    }
    LVITEMW state{};
    state.stateMask = LVIS_STATEIMAGEMASK;
    // State image 1 is the empty box, 2 the ticked one; 0 shows no box.
    state.state = INDEXTOSTATEIMAGEMASK(layer < 0 ? 0 : checked ? 2 : 1);
    SendMessageW(hwnd, LVM_SETITEMSTATE, WPARAM(index), reinterpret_cast<LPARAM>(&state));
}

void LayersPane::Fill(const DocumentLayers& layers, const std::vector<uint8_t>& visible, uint32_t codePage) {
    if (hwnd == nullptr)
        return;
    filling = true;
    SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
    Clear();
    // Filled again for the same layers (boxes set by the program), the
    // thumbnails stay.
    if (images == nullptr || ImageList_GetImageCount(images) != int(layers.layers.size()))
        ResetThumbnails(int(layers.layers.size()));
    if (layers.kind == DocumentLayers::Kind::Qvr && layers.layers.empty()) {
        AddRow(0, -1, Wide(QvrSummary(layers)), L"", L"", L"", false);
    } else {
        // The top layer is the last record; the pane lists it first.
        const int count = int(layers.layers.size());
        for (int row = 0; row < count; ++row) {
            const int layer = count - 1 - row;
            const LayerEntry& entry = layers.layers[size_t(layer)];
            const bool checked = size_t(layer) < visible.size() ? visible[size_t(layer)] != 0 : entry.visible;
            AddRow(row, layer, Wide(text::DecodeLayerName(entry.name.c_str(), codePage)),
                   // A QVR layer is one colour through its mask: the
                   // colour stands where a QVM layer's blend mode does.
                   Wide(layers.kind == DocumentLayers::Kind::Qvr ? QvrColourText(entry.colour)
                                                                 : BlendModeName(entry.blendMode)),
                   OpacityText(entry.opacity), entry.visible ? L"visible" : L"hidden", checked);
        }
    }
    FitColumns();
    SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd, nullptr, TRUE);
    filling = false;
}

int LayersPane::RowRecord(int row, size_t records) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageW(hwnd, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) || item.lParam < 0 ||
        size_t(item.lParam) >= records)
        return -1;
    return int(item.lParam);
}

void LayersPane::SetBoxes(const std::vector<uint8_t>& visible) {
    if (hwnd == nullptr)
        return;
    filling = true;
    const int rows = int(SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        const int record = RowRecord(row, visible.size());
        if (record < 0)
            continue;
        LVITEMW state{};
        state.stateMask = LVIS_STATEIMAGEMASK;
        state.state = INDEXTOSTATEIMAGEMASK(visible[size_t(record)] != 0 ? 2 : 1);
        SendMessageW(hwnd, LVM_SETITEMSTATE, WPARAM(row), reinterpret_cast<LPARAM>(&state));
    }
    filling = false;
}

bool LayersPane::CheckChanged(LPARAM header, std::vector<uint8_t>& visible) const {
    const NMHDR* notice = reinterpret_cast<const NMHDR*>(header);
    if (filling || notice == nullptr || notice->hwndFrom != hwnd || notice->code != LVN_ITEMCHANGED)
        return false;
    // The boxes are read as they stand rather than from the notice, whose
    // old and new states not every version of the control fills alike.
    bool changed = false;
    const int rows = int(SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        const int record = RowRecord(row, visible.size());
        if (record < 0)
            continue;
        const UINT box = UINT(SendMessageW(hwnd, LVM_GETITEMSTATE, WPARAM(row), LVIS_STATEIMAGEMASK)) >> 12;
        // 0 is an item being inserted, before its box is set.
        if (box == 0)
            continue;
        const uint8_t shown = box == 2 ? 1 : 0;
        if (visible[size_t(record)] != shown) {
            visible[size_t(record)] = shown;
            changed = true;
        }
    }
    return changed;
}
