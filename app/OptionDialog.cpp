#include "app/OptionDialog.h"

#include "app/Settings.h"
#include "framework/FilePicker.h"
#include "base/LayerName.h"
#include "base/Str.h"
#include "res/ResourceIds.h"

#include <cstdlib>
#include <string>

namespace {

// The longest Velmora path kept: the room the settings file reads back.
constexpr int32_t kPathRoom = 511;

} // namespace

INT_PTR OptionDialog::Run(HWND parent) {
    return RunModal(IDD_OPTION, parent);
}

bool OptionDialog::OnInitDialog(LRESULT* result) {
    colorButton.AttachItem(hwnd, IDC_OPTION_COLOR);
    colorButton.SetColor(static_cast<COLORREF>(settings.ColBk));
    SetItemText(IDC_OPTION_VELMORA_PATH, settings.VelmoraPath.Text());
    for (int i = 0; i < kMouseEventCount; ++i) {
        bindings[i].AttachItem(hwnd, IDC_OPTION_MOUSE_RIGHT + i);
        bindings[i].FillFromResource(IDS_MOUSE_ACTIONS, ';');
        // A value without a label (outside 0 to 7) shows no selection.
        bindings[i].SetCurSel(settings.Mouse[i]);
    }
    SetItemText(IDC_OPTION_NAMES_CODEPAGE, std::to_string(settings.NamesCodePage).c_str());
    *result = 1; // the dialog manager gives the focus to the first tab stop
    return true;
}

void OptionDialog::StoreSettings() {
    settings.ColBk = static_cast<int32_t>(colorButton.color);
    // Read through a buffer of exactly the kept room, so a longer typed path
    // is cut there whatever the setting's own capacity has grown to.
    Str path(kPathRoom);
    GetItemText(IDC_OPTION_VELMORA_PATH, path);
    settings.VelmoraPath.Assign(path.Text());
    for (int i = 0; i < kMouseEventCount; ++i)
        settings.Mouse[i] = bindings[i].GetCurSel(); // -1 when nothing is selected
    // A code page this system cannot read leaves the setting as it was.
    Str typed(16);
    GetItemText(IDC_OPTION_NAMES_CODEPAGE, typed);
    char* end = nullptr;
    const long codePage = std::strtol(typed.Text(), &end, 10);
    if (end != typed.Text() && *end == 0 && codePage >= 0 && codePage <= 0xFFFF &&
        (codePage == 0 || text::CodePageSupported(uint32_t(codePage))))
        settings.NamesCodePage = int32_t(codePage);
}

bool OptionDialog::OnCommand(uint32_t id, uint32_t, LPARAM) {
    switch (id) {
    case IDOK:
        StoreSettings();
        EndDialog(1);
        return true;
    case IDCANCEL: // also the Escape key and the close box
        EndDialog(0);
        return true;
    case IDC_OPTION_COLOR: {
        COLORREF chosen = colorButton.color;
        if (PickColor(hwnd, chosen))
            colorButton.SetColor(chosen);
        return true;
    }
    case IDC_OPTION_BROWSE: {
        Str path(kPathRoom);
        if (PickFile(hwnd, "*.exe\0*.exe\0", "exe", nullptr, path))
            SetItemText(IDC_OPTION_VELMORA_PATH, path.Text());
        return true;
    }
    default:
        return false;
    }
}

bool OptionDialog::OnDrawItem(LPARAM drawItem) {
    return colorButton.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(drawItem));
}

bool EditOptions(HWND parent, Settings& settings) {
    const int32_t background = settings.ColBk;
    OptionDialog dialog(settings);
    return dialog.Run(parent) == 1 && settings.ColBk != background;
}
