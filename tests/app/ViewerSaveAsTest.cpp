// The real viewer driven from outside (Wine's null driver): File > Save as
// through the system's save dialog writes the document shown with the
// layers the pane shows, exactly as the converter writes a document stored
// with that visibility; a cancelled dialog writes nothing.

#include "tests/app/ViewerSession.h"
#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/InjectedQuery.h"
#include "tests/e2e/Input.h"
#include "tests/e2e/PickerDialog.h"
#include "tests/e2e/RunToEnd.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/support/DocWriter.h"
#include "tests/support/WaitUntil.h"

#include "base/Wide.h"
#include "res/Messages.h"
#include "res/ResourceIds.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

using viewer::Session;

constexpr int kWidth = 8, kHeight = 6;

// Bottom to top: a hidden red "paper", a green "colour" at half opacity and
// a blue "line" over the left half; topShown says whether "line" is stored
// visible.
docwriter::QvmDocument ThreeLayers(bool topShown) {
    docwriter::QvmDocument doc;
    doc.width = kWidth;
    doc.height = kHeight;
    docwriter::Bytes line = docwriter::SolidPixels(kWidth, kHeight, 255, 0, 0, 255);
    for (size_t pixel = 0; pixel < size_t(kWidth) * kHeight; ++pixel)
        if (pixel % kWidth >= kWidth / 2)
            line[pixel * 4 + 3] = 0;
    doc.layers.push_back(docwriter::MakeQvmLayer("paper", docwriter::SolidPixels(kWidth, kHeight, 0, 0, 255, 255)));
    doc.layers.push_back(
        docwriter::MakeQvmLayer("colour", docwriter::SolidPixels(kWidth, kHeight, 0, 255, 0, 255), 0, 64));
    doc.layers.push_back(docwriter::MakeQvmLayer("line", line));
    doc.layers[0].flags = 0;
    doc.layers[2].flags = topShown ? 1 : 0;
    return doc;
}

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// The converter's file of document, at output.
bool Converted(const std::string& document, const std::string& output) {
    const std::wstring command = L"\"" + Widen(e2e::BuildPath("tools/convert/tessavel-convert.exe").c_str()) +
                                 L"\" -q -o \"" + Widen(output.c_str()) + L"\" \"" + Widen(document.c_str()) + L"\"";
    return e2e::RunToEnd(command) == 0;
}

// The save dialog that File > Save as opens; null when none came.
HWND OpenSaveDialog(Session& viewer) {
    if (!viewer.Post(IDM_SAVE_AS))
        return nullptr;
    const e2e::Appeared dialog = viewer.process.WaitMessageBox();
    return dialog.hwnd;
}

// The dialog's list of file types: its combo box of four entries.
HWND TypeList(HWND dialog) {
    struct Search {
        HWND found = nullptr;
    } search;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM data) -> BOOL {
            wchar_t name[32] = {};
            GetClassNameW(child, name, 32);
            if (lstrcmpiW(name, L"ComboBox") == 0 && SendMessageW(child, CB_GETCOUNT, 0, 0) == 4) {
                reinterpret_cast<Search*>(data)->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Picks type (0-based) in the dialog's list, as a click on it would.
bool ChooseType(HWND dialog, int type) {
    HWND list = TypeList(dialog);
    if (list == nullptr || SendMessageW(list, CB_SETCURSEL, WPARAM(type), 0) != type)
        return false;
    return PostMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE), LPARAM(list)) &&
           e2e::Sync(dialog);
}

// Picks type (-1: leaves the one shown), names file in the dialog (its
// folder being the one it opened at) and waits for the box that says the
// save is done; that box's text.
std::string SaveThroughTheDialog(Session& viewer, int type, const std::string& file) {
    HWND dialog = OpenSaveDialog(viewer);
    if (dialog == nullptr)
        return "no dialog";
    if (type >= 0 && !ChooseType(dialog, type))
        return "no type list";
    if (!e2e::TypeAndConfirm(dialog, file))
        return "the name was not taken";
    if (!waits::WaitUntil([dialog] { return !IsWindow(dialog); }))
        return "the dialog stayed";
    return viewer.DismissBox();
}

TEST(ViewerSaveAs, WritesTheLayersThePaneShowsAndACancelWritesNothing) {
    viewer::DocFolder docs;
    const std::string shown = docs.Path() + "\\three.qvm";
    ASSERT_TRUE(docwriter::WriteFile(shown, docwriter::WriteQvm(ThreeLayers(true))));
    const std::string twinFolder = docs.Sub("twin");
    const std::string twin = twinFolder + "\\three.qvm";
    ASSERT_TRUE(docwriter::WriteFile(twin, docwriter::WriteQvm(ThreeLayers(false))));

    Session viewer;
    viewer::SettingsValues values;
    values.layersPane = 1;
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start("\"" + shown + "\""));
    HWND pane = e2e::FindChild(viewer.main, "SysListView32");
    ASSERT_NE(pane, nullptr);
    // The top layer's box cleared: "line" hidden in the view.
    ASSERT_TRUE(e2e::PressKey(pane, VK_HOME));
    ASSERT_TRUE(e2e::PressKey(pane, VK_SPACE));
    ASSERT_EQ((SendMessageW(pane, LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12, 1u);

    // The dialog starts under the document's name; cancelled, it writes
    // nothing.
    HWND dialog = OpenSaveDialog(viewer);
    ASSERT_NE(dialog, nullptr);
    HWND nameBox = nullptr;
    ASSERT_TRUE(waits::WaitUntil([&] { return (nameBox = e2e::FileNameBox(dialog)) != nullptr; }));
    EXPECT_EQ(e2e::WindowText(nameBox), "three.png");
    ASSERT_TRUE(PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0));
    ASSERT_TRUE(waits::WaitUntil([dialog] { return !IsWindow(dialog); }));
    ASSERT_TRUE(e2e::Sync(viewer.main));
    EXPECT_TRUE(viewer.NoBox());
    EXPECT_EQ(FilesIn(docs.Path()), (std::set<std::string>{"three.qvm", "twin"}));

    // Saved as PSD and as PNG, each in the document's folder, where the
    // dialog opened: the converter's files of the twin stored with "line"
    // hidden, byte for byte (its PSD is read back by psd-tools in the
    // converter's tests).
    const char* done = viewer::JapaneseInterface() ? msg::kExportDone : msg::en::kExportDone;
    // PSD picked in the type list and the name typed without extension;
    // PNG, the type shown first, named whole.
    const struct {
        int type;
        std::string typed;
        std::string name;
    } saves[] = {{2, "three", "three.psd"}, {-1, "three.png", "three.png"}};
    for (const auto& save : saves) {
        EXPECT_EQ(SaveThroughTheDialog(viewer, save.type, save.typed), done) << save.name;
        const std::string expected = twinFolder + "\\" + save.name;
        ASSERT_TRUE(Converted(twin, expected)) << save.name;
        const docwriter::Bytes bytes = docwriter::ReadFile(docs.Path() + "\\" + save.name);
        EXPECT_FALSE(bytes.empty()) << save.name;
        EXPECT_EQ(bytes, docwriter::ReadFile(expected)) << save.name << " does not hold the pane's choice";
    }
    EXPECT_EQ(FilesIn(docs.Path()), (std::set<std::string>{"three.png", "three.psd", "three.qvm", "twin"}));
    EXPECT_EQ(viewer.Close(), 0u);
}

} // namespace
