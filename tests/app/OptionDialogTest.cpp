// The Option dialog on its real template, driven from inside its modal loop:
// what OK stores and Cancel leaves, the colour chosen through the real
// chooser, the bindings' labels and the path's room.
#include "tests/framework/DialogScript.h"
#include "TestWindows.h"

#include "app/OptionDialog.h"
#include "app/Settings.h"
#include "framework/AppShell.h"
#include "res/ResourceIds.h"
#include "tests/e2e/PickerDialog.h"
#include "tests/framework/CommonDialogIds.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

std::vector<int32_t> Bindings(const Settings& settings) {
    return std::vector<int32_t>(settings.Mouse, settings.Mouse + kMouseEventCount);
}

// Steps that pick red in the colour chooser opened by the swatch of the
// Option dialog option, and wait until the chooser is gone.
std::vector<DialogScript::Step> PickRed(const HWND& option) {
    return {
        [&option] {
            PostMessageA(GetDlgItem(option, IDC_OPTION_COLOR), BM_CLICK, 0, 0);
            return true;
        },
        [&option] {
            HWND chooser = FindOtherDialog(option);
            if (chooser == nullptr)
                return false;
            SetDlgItemTextA(chooser, kChooserRedBox, "255");
            SetDlgItemTextA(chooser, kChooserGreenBox, "0");
            SetDlgItemTextA(chooser, kChooserBlueBox, "0");
            PostMessageA(chooser, WM_COMMAND, IDOK, 0);
            return true;
        },
        [&option] { return FindOtherDialog(option) == nullptr; },
    };
}

// PickRed on dialog, then the swatch holds red before the dialog closes.
std::vector<DialogScript::Step> PickRed(OptionDialog& dialog) {
    std::vector<DialogScript::Step> steps = PickRed(dialog.hwnd);
    steps.push_back([&dialog] { return dialog.colorButton.color == kRed; });
    return steps;
}

void Append(std::vector<DialogScript::Step>& to, std::vector<DialogScript::Step> more) {
    to.insert(to.end(), more.begin(), more.end());
}

int ComboSelection(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

std::string SelectedLabel(HWND dialog, int id) {
    const int selection = ComboSelection(dialog, id);
    if (selection < 0)
        return "";
    char text[64] = {};
    SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(selection), reinterpret_cast<LPARAM>(text));
    return text;
}

class OptionDialogRun : public ::testing::Test {
protected:
    void SetUp() override {
        AppShell::Init(true);
        settings.ColBk = 0x808080;
        settings.VelmoraPath.Assign("C:\\old\\velmora.exe");
    }
    Settings settings;
};

TEST_F(OptionDialogRun, CancelAfterPickingAColourChangesNothing) {
    OptionDialog dialog(settings);
    std::vector<DialogScript::Step> steps = PickRed(dialog);
    steps.push_back(Do([&] {
        SetDlgItemTextA(dialog.hwnd, IDC_OPTION_VELMORA_PATH, "C:\\new.exe");
        SendDlgItemMessageA(dialog.hwnd, IDC_OPTION_MOUSE_RIGHT, CB_SETCURSEL, 4, 0);
    }));
    steps.push_back(Post(dialog, WM_KEYDOWN, VK_ESCAPE, 0));
    DialogScript script(dialog, std::move(steps));
    EXPECT_EQ(dialog.Run(nullptr), 0);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(settings.ColBk, 0x808080);
    EXPECT_STREQ(settings.VelmoraPath.Text(), "C:\\old\\velmora.exe");
    EXPECT_EQ(Bindings(settings), std::vector<int32_t>(kDefaultMouse, kDefaultMouse + kMouseEventCount));
}

TEST_F(OptionDialogRun, OkStoresColourPathAndBindings) {
    OptionDialog dialog(settings);
    std::vector<DialogScript::Step> steps = PickRed(dialog);
    steps.push_back(Do([&] {
        SetDlgItemTextA(dialog.hwnd, IDC_OPTION_VELMORA_PATH, "D:\\tools\\velmora.exe");
        for (int i = 0; i < kMouseEventCount; ++i)
            SendDlgItemMessageA(dialog.hwnd, IDC_OPTION_MOUSE_RIGHT + i, CB_SETCURSEL, WPARAM(7 - i), 0);
    }));
    steps.push_back(Click(dialog, IDOK));
    DialogScript script(dialog, std::move(steps));
    EXPECT_EQ(dialog.Run(nullptr), 1);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(settings.ColBk, static_cast<int32_t>(kRed));
    EXPECT_STREQ(settings.VelmoraPath.Text(), "D:\\tools\\velmora.exe");
    EXPECT_EQ(Bindings(settings), (std::vector<int32_t>{7, 6, 5, 4, 3}));
}

TEST_F(OptionDialogRun, NamesCodePageIsShownAndKeptOnlyWhenTheSystemReadsIt) {
    struct Case {
        const char* typed;
        int32_t kept;
    };
    const Case cases[] = {{"1252", 1252}, {"0", 0}, {"54321", 932}, {"", 932}, {"932", 932}};
    for (const Case& c : cases) {
        settings.NamesCodePage = 932;
        OptionDialog dialog(settings);
        std::string shown;
        DialogScript script(dialog, {Do([&] {
                                         shown = ItemText(dialog.hwnd, IDC_OPTION_NAMES_CODEPAGE);
                                         SetDlgItemTextA(dialog.hwnd, IDC_OPTION_NAMES_CODEPAGE, c.typed);
                                     }),
                                     Click(dialog, IDOK)});
        EXPECT_EQ(dialog.Run(nullptr), 1);
        EXPECT_TRUE(script.Finished());
        EXPECT_EQ(shown, "932");
        EXPECT_EQ(settings.NamesCodePage, c.kept) << c.typed;
    }
}

TEST_F(OptionDialogRun, ControlsShowTheSettingsAndEveryValueHasItsLabel) {
    settings.ColBk = 0x123456;
    settings.Mouse[kMouseRight] = int32_t(MouseAction::ZoomIn);
    OptionDialog dialog(settings);
    std::vector<std::string> labels;
    std::string path;
    COLORREF swatch = 0;
    DialogScript script(dialog, {Do([&] {
                                     for (int i = 0; i < kMouseEventCount; ++i)
                                         labels.push_back(SelectedLabel(dialog.hwnd, IDC_OPTION_MOUSE_RIGHT + i));
                                     path = ItemText(dialog.hwnd, IDC_OPTION_VELMORA_PATH);
                                     swatch = dialog.colorButton.color;
                                 }),
                                 Click(dialog, IDOK)});
    EXPECT_EQ(dialog.Run(nullptr), 1);
    EXPECT_EQ(labels, (std::vector<std::string>{"Scaling up", "Switch Maximize/Minimize", "Previous file", "Next file",
                                                "Open in Velmora"}));
    EXPECT_EQ(path, "C:\\old\\velmora.exe");
    EXPECT_EQ(swatch, 0x123456u);
    // The default double-click binding has its label, so OK keeps it.
    EXPECT_EQ(Bindings(settings), (std::vector<int32_t>{4, 1, 2, 3, 7}));
}

TEST_F(OptionDialogRun, BindingWithoutALabelShowsNothingAndBecomesMinusOne) {
    const int32_t stored[kMouseEventCount] = {-1, 8, 100, 3, -5};
    std::copy(stored, stored + kMouseEventCount, settings.Mouse);
    OptionDialog dialog(settings);
    std::vector<int> shown;
    DialogScript script(dialog, {Do([&] {
                                     for (int i = 0; i < kMouseEventCount; ++i)
                                         shown.push_back(ComboSelection(dialog.hwnd, IDC_OPTION_MOUSE_RIGHT + i));
                                 }),
                                 Click(dialog, IDOK)});
    EXPECT_EQ(dialog.Run(nullptr), 1);
    EXPECT_EQ(shown, (std::vector<int>{-1, -1, -1, 3, -1}));
    EXPECT_EQ(Bindings(settings), (std::vector<int32_t>{-1, -1, -1, 3, -1}));
}

TEST_F(OptionDialogRun, TypedPathIsCutAt511Characters) {
    // Even a setting whose buffer has grown beyond the room keeps 511.
    settings.VelmoraPath.Assign(std::string(1500, 'p').c_str());
    const std::string typed = "C:\\" + std::string(700, 'x') + ".exe";
    OptionDialog dialog(settings);
    DialogScript script(dialog, {Do([&] { SetDlgItemTextA(dialog.hwnd, IDC_OPTION_VELMORA_PATH, typed.c_str()); }),
                                 Click(dialog, IDOK)});
    EXPECT_EQ(dialog.Run(nullptr), 1);
    EXPECT_EQ(std::string(settings.VelmoraPath.Text()), typed.substr(0, 511));
}

TEST_F(OptionDialogRun, BrowseButtonPutsThePickedExecutableInThePathBox) {
    TempDir dir;
    const std::string exe = dir.File("velmora.exe");
    std::ofstream(exe) << "MZ";
    OleApartment com; // as the program runs: the item dialog
    OptionDialog dialog(settings);
    DialogScript script(dialog, {Click(dialog, IDC_OPTION_BROWSE),
                                 [&] {
                                     HWND picker = FindOtherDialog(dialog.hwnd);
                                     return picker != nullptr && e2e::FileNameBox(picker) != nullptr &&
                                            e2e::TypeAndConfirm(picker, exe);
                                 },
                                 [&] { return FindOtherDialog(dialog.hwnd) == nullptr; }, Click(dialog, IDOK)});
    EXPECT_EQ(dialog.Run(nullptr), 1);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(std::string(settings.VelmoraPath.Text()), exe);
}

TEST_F(OptionDialogRun, DrawRequestOfTheSwatchIsDrawnAndOthersAreLeftAlone) {
    settings.ColBk = int32_t(kRed);
    OptionDialog dialog(settings);
    const COLORREF marker = RGB(1, 2, 3);
    COLORREF afterOther = 0, afterSwatch = 0;
    DialogScript script(dialog, {Do([&] {
                                     HDC screen = GetDC(nullptr);
                                     HDC dc = CreateCompatibleDC(screen);
                                     HBITMAP bitmap = CreateCompatibleBitmap(screen, 60, 30);
                                     ReleaseDC(nullptr, screen);
                                     HGDIOBJ previous = SelectObject(dc, bitmap);
                                     RECT all = {0, 0, 60, 30};
                                     HBRUSH fill = CreateSolidBrush(marker);
                                     FillRect(dc, &all, fill);
                                     DeleteObject(fill);
                                     DRAWITEMSTRUCT record{};
                                     record.CtlType = ODT_BUTTON;
                                     record.hDC = dc;
                                     record.rcItem = all;
                                     record.CtlID = IDOK;
                                     record.hwndItem = GetDlgItem(dialog.hwnd, IDOK);
                                     SendMessageA(dialog.hwnd, WM_DRAWITEM, IDOK, reinterpret_cast<LPARAM>(&record));
                                     afterOther = GetPixel(dc, 30, 15);
                                     record.CtlID = IDC_OPTION_COLOR;
                                     record.hwndItem = GetDlgItem(dialog.hwnd, IDC_OPTION_COLOR);
                                     SendMessageA(dialog.hwnd, WM_DRAWITEM, IDC_OPTION_COLOR,
                                                  reinterpret_cast<LPARAM>(&record));
                                     afterSwatch = GetPixel(dc, 30, 15);
                                     SelectObject(dc, previous);
                                     DeleteObject(bitmap);
                                     DeleteDC(dc);
                                 }),
                                 Click(dialog, IDCANCEL)});
    EXPECT_EQ(dialog.Run(nullptr), 0);
    EXPECT_EQ(afterOther, marker);
    EXPECT_EQ(afterSwatch, kRed);
}

struct RepaintCase {
    const char* name;
    bool pickRed;
    int closeWith;
    bool repaint;
};

const RepaintCase kRepaintCases[] = {
    {"OkWithNewColour", true, IDOK, true},
    {"OkWithSameColour", false, IDOK, false},
    {"CancelWithNewColour", true, IDCANCEL, false},
};

class OptionRepaint : public ::testing::TestWithParam<RepaintCase> {};

TEST_P(OptionRepaint, ViewIsRepaintedOnlyAfterOkWithAChangedColour) {
    Settings settings;
    const RepaintCase& c = GetParam();
    // EditOptions makes its own dialog: the script finds it.
    HWND option = nullptr;
    std::vector<DialogScript::Step> steps = {[&] { return (option = FindOtherDialog(nullptr)) != nullptr; }};
    if (c.pickRed)
        Append(steps, PickRed(option));
    steps.push_back([&] {
        PostMessageA(option, WM_COMMAND, WPARAM(c.closeWith), 0);
        return true;
    });
    DialogScript script([&] { return FindOtherDialog(nullptr); }, std::move(steps));
    EXPECT_EQ(EditOptions(nullptr, settings), c.repaint);
    EXPECT_TRUE(script.Finished());
}

INSTANTIATE_TEST_SUITE_P(Closes, OptionRepaint, ::testing::ValuesIn(kRepaintCases),
                         [](const ::testing::TestParamInfo<RepaintCase>& info) { return info.param.name; });

} // namespace
