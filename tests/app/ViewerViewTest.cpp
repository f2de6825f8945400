// The real viewer driven from outside (Wine's null driver): zoom by commands
// and keys, the view's scroll positions, drag-to-scroll, the splitter, the
// mouse bindings, the hand-over to Velmora and the clipboard.

#include "tests/app/ViewerSession.h"
#include "tests/e2e/ClipboardDib.h"
#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/InjectedQuery.h"
#include "tests/e2e/Input.h"
#include "tests/e2e/ProbeIds.h"
#include "tests/e2e/WindowQuery.h"

#include "decode/DocumentLoader.h"
#include "pixels/ImageBuffer.h"
#include "res/Messages.h"
#include "tests/support/WaitUntil.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using viewer::Lines;
using viewer::Session;
using viewer::Title;

constexpr int kDocWidth = 40;
constexpr int kDocHeight = 20;

// The horizontal range of the view at scale percent for the 40-pixel document.
int RangeAt(int scale) {
    return kDocWidth * scale / 100 - 1;
}

struct ZoomFixture {
    ZoomFixture() {
        file = docs.Qvm("z.qvm", kDocWidth, kDocHeight);
        started = viewer.Start("\"" + file + "\"");
    }
    viewer::DocFolder docs;
    std::string file;
    Session viewer;
    // Says why when the viewer did not start.
    testing::AssertionResult started = testing::AssertionFailure();
};

TEST(ViewerZoom, ExtendAndReduceWalkTheSequenceAndStopAtTheEnds) {
    ZoomFixture z;
    ASSERT_TRUE(z.started);
    EXPECT_EQ(z.viewer.HorzMax(), RangeAt(100));
    EXPECT_EQ(z.viewer.VertMax(), kDocHeight - 1);
    for (int scale : {150, 200, 300, 400, 500, 500}) {
        ASSERT_TRUE(z.viewer.Send(viewer::kExtend));
        EXPECT_EQ(z.viewer.HorzMax(), RangeAt(scale)) << scale;
    }
    for (int scale : {400, 300, 200, 150, 100, 75, 67, 50, 33, 25, 25}) {
        ASSERT_TRUE(z.viewer.Send(viewer::kReduce));
        EXPECT_EQ(z.viewer.HorzMax(), RangeAt(scale)) << scale;
    }
    EXPECT_EQ(z.viewer.VertMax(), kDocHeight * 25 / 100 - 1);
    EXPECT_EQ(z.viewer.Close(), 0u);
    EXPECT_EQ(viewer::ValueOf(*z.viewer.ReadSettings(), "Scale"), "25");
}

TEST(ViewerZoom, ZoomMenuAndKeysSetTheirScales) {
    ZoomFixture z;
    ASSERT_TRUE(z.started);
    const int menuScales[] = {25, 50, 75, 100, 200, 300, 400, 500};
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(z.viewer.Send(viewer::kZoomFirst + i));
        EXPECT_EQ(z.viewer.HorzMax(), RangeAt(menuScales[i])) << i;
    }
    const int finerScales[] = {33, 67, 150};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(z.viewer.Send(viewer::kZoom33 + i));
        EXPECT_EQ(z.viewer.HorzMax(), RangeAt(finerScales[i])) << finerScales[i];
    }
    const struct {
        UINT key;
        unsigned modifiers;
        int scale;
    } keys[] = {
        {'1', e2e::kCtrl, 100},
        {'2', e2e::kCtrl, 200},
        {'3', e2e::kCtrl, 300},
        {'4', e2e::kCtrl, 400},
        {'5', e2e::kCtrl, 500},
        {VK_MULTIPLY, e2e::kNoModifier, 100},
        {VK_ADD, e2e::kNoModifier, 150},
        {VK_SUBTRACT, e2e::kNoModifier, 100},
        {VK_SUBTRACT, e2e::kNoModifier, 75},
        {VK_UP, e2e::kCtrl, 100},
        {VK_UP, e2e::kCtrl, 150},
        {VK_DOWN, e2e::kCtrl, 100},
        {VK_DOWN, e2e::kCtrl, 75},
        {VK_DOWN, e2e::kCtrl, 67},
        {VK_DOWN, e2e::kCtrl, 50},
        {VK_DOWN, e2e::kCtrl, 33}, // the finer steps below 100% on the keys too
        {'1', e2e::kCtrl, 100},
        {'3', e2e::kNoModifier, 100}, // no accelerator without Ctrl
    };
    for (const auto& k : keys) {
        // Whichever window has the focus, the keys reach the main window.
        ASSERT_TRUE(e2e::PressKey(z.viewer.list, k.key, k.modifiers));
        EXPECT_EQ(z.viewer.HorzMax(), RangeAt(k.scale)) << k.key;
    }
    EXPECT_EQ(z.viewer.Close(), 0u);
}

bool Scroll(HWND view, UINT message, int position) {
    return PostMessageA(view, message, MAKEWPARAM(SB_THUMBPOSITION, position), 0) && e2e::Sync(view);
}

TEST(ViewerScroll, PositionsAreKeptOnZoomResizeAndStepUnlessEachPictureStartsAtItsTopLeft) {
    viewer::DocFolder docs;
    docs.Qvm("a.qvm", 900, 700);
    docs.Qvm("b.qvm", 900, 700, 1);
    Session viewer;
    ASSERT_TRUE(viewer.Start(docs.Path()));
    ASSERT_TRUE(Scroll(viewer.view, WM_HSCROLL, 50));
    ASSERT_TRUE(Scroll(viewer.view, WM_VSCROLL, 40));
    ASSERT_EQ(viewer.HorzPos(), 50);
    ASSERT_EQ(viewer.VertPos(), 40);
    // The zoom keeps the picture point at the view's centre where it was:
    // at twice the scale that point is twice as far from the corner.
    const RECT client = e2e::ClientRect(viewer.view);
    ASSERT_TRUE(viewer.Send(viewer::kZoomFirst + 4)); // 200%
    EXPECT_EQ(viewer.HorzMax(), 1799);
    const int horizontal = 2 * (50 + client.right / 2) - client.right / 2;
    const int vertical = 2 * (40 + client.bottom / 2) - client.bottom / 2;
    EXPECT_EQ(viewer.HorzPos(), horizontal);
    EXPECT_EQ(viewer.VertPos(), vertical);
    ASSERT_TRUE(SetWindowPos(viewer.main, nullptr, 0, 0, 640, 520, SWP_NOMOVE | SWP_NOZORDER));
    ASSERT_TRUE(e2e::Sync(viewer.main));
    EXPECT_EQ(viewer.HorzPos(), horizontal);
    EXPECT_EQ(viewer.VertPos(), vertical);
    // The next document, of the same size, shows the same place.
    ASSERT_TRUE(viewer.Send(viewer::kNext));
    EXPECT_EQ(viewer.HorzPos(), horizontal);
    EXPECT_EQ(viewer.VertPos(), vertical);
    // Ctrl+K: each document starts at its top-left, and the settings keep it.
    ASSERT_TRUE(e2e::PressKey(viewer.main, 'K', e2e::kCtrl));
    ASSERT_TRUE(viewer.Send(viewer::kPrevious));
    EXPECT_EQ(viewer.HorzPos(), 0);
    EXPECT_EQ(viewer.VertPos(), 0);
    EXPECT_EQ(viewer.Close(), 0u);
    EXPECT_EQ(viewer::ValueOf(*viewer.ReadSettings(), "StepKeepsPlace"), "0");
}

TEST(ViewerScroll, StepsAt200PercentKeepTheCentreAndTheEdgesInPicturesOfOtherSizes) {
    viewer::DocFolder docs;
    docs.Qvm("a.qvm", 400, 300);
    docs.Qvm("b.qvm", 600, 500, 1);
    viewer::SettingsValues values;
    values.scale = 200;
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start(docs.Path()));
    const RECT client = e2e::ClientRect(viewer.view);
    ASSERT_LT(client.right, 800);
    ASSERT_LT(client.bottom, 600);
    // The centre of a at 200%, then of b.
    ASSERT_TRUE(Scroll(viewer.view, WM_HSCROLL, (800 - client.right) / 2));
    ASSERT_TRUE(Scroll(viewer.view, WM_VSCROLL, (600 - client.bottom) / 2));
    ASSERT_TRUE(viewer.Send(viewer::kNext));
    EXPECT_EQ(viewer.HorzMax(), 1199);
    EXPECT_NEAR(viewer.HorzPos(), (1200 - client.right) / 2, 1);
    EXPECT_NEAR(viewer.VertPos(), (1000 - client.bottom) / 2, 1);
    // b's right edge and top: a shows its own right edge and top.
    ASSERT_TRUE(Scroll(viewer.view, WM_HSCROLL, 1200 - client.right));
    ASSERT_TRUE(Scroll(viewer.view, WM_VSCROLL, 0));
    ASSERT_TRUE(viewer.Send(viewer::kPrevious));
    EXPECT_EQ(viewer.HorzPos(), 800 - client.right);
    EXPECT_EQ(viewer.VertPos(), 0);
    EXPECT_EQ(viewer.Close(), 0u);
    // The default is not written.
    EXPECT_EQ(viewer::ValueOf(*viewer.ReadSettings(), "StepKeepsPlace"), "");
}

bool Move(HWND view, WPARAM keys, int x, int y) {
    return PostMessageA(view, WM_MOUSEMOVE, keys, MAKELPARAM(x, y)) && e2e::Sync(view);
}

TEST(ViewerScroll, DraggingMovesThePictureOneToOneWithThePointerAtEveryZoom) {
    viewer::DocFolder docs;
    viewer::SettingsValues values;
    values.Place(10, 10, 510, 410); // a window the picture overflows at 25% too
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start("\"" + docs.Qvm("big.qvm", 2400, 2000) + "\""));
    // The first move ever seen, button already down, does not jump.
    ASSERT_TRUE(Move(viewer.view, MK_LBUTTON, 150, 150));
    EXPECT_EQ(viewer.HorzPos(), 0);
    EXPECT_EQ(viewer.VertPos(), 0);
    ASSERT_TRUE(Move(viewer.view, MK_LBUTTON, 120, 140));
    EXPECT_EQ(viewer.HorzPos(), 30);
    EXPECT_EQ(viewer.VertPos(), 10);
    for (int zoom : {viewer::kZoomFirst + 4, int(viewer::kZoomFirst)}) { // 200% and 25%: still as far as the pointer
        ASSERT_TRUE(viewer.Send(zoom));
        const int horizontal = viewer.HorzPos(), vertical = viewer.VertPos();
        ASSERT_TRUE(Move(viewer.view, 0, 100, 100));
        ASSERT_TRUE(Move(viewer.view, MK_LBUTTON, 98, 99));
        EXPECT_EQ(viewer.HorzPos(), horizontal + 2) << zoom;
        EXPECT_EQ(viewer.VertPos(), vertical + 1) << zoom;
    }
    ASSERT_TRUE(viewer.Send(viewer::kZoomFirst + 2)); // 75%
    const int start = viewer.HorzPos();
    ASSERT_TRUE(Move(viewer.view, 0, 100, 100));
    ASSERT_TRUE(Move(viewer.view, MK_LBUTTON, 90, 95));
    const int dragged = viewer.HorzPos();
    EXPECT_EQ(dragged, start + 10);
    // Without the button the picture stays; dragging back stops at 0.
    ASSERT_TRUE(Move(viewer.view, 0, 10, 10));
    EXPECT_EQ(viewer.HorzPos(), dragged);
    ASSERT_TRUE(Move(viewer.view, MK_LBUTTON, 3000, 3000));
    EXPECT_EQ(viewer.HorzPos(), 0);
    EXPECT_EQ(viewer.VertPos(), 0);
    EXPECT_EQ(viewer.Close(), 0u);
}

int WidthOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r.right - r.left;
}

TEST(ViewerSplitter, DragKeepsTheListAtLeastTwoPixelsAndTenPixelsFromTheRight) {
    Session viewer;
    ASSERT_TRUE(viewer.Start());
    const int client = e2e::ClientRect(viewer.main).right;
    const int list = WidthOf(viewer.list);
    ASSERT_EQ(list, 150);
    // The gap lies between the list and the view.
    ASSERT_TRUE(e2e::PostDrag(viewer.main, {list + 1, 40}, {list + 31, 40}, 1));
    EXPECT_EQ(WidthOf(viewer.list), 180);
    EXPECT_EQ(WidthOf(viewer.view), client - 186); // a gap of 6 pixels at 96 DPI
    ASSERT_TRUE(e2e::PostDrag(viewer.main, {181, 40}, {181 - 400, 40}, 1));
    EXPECT_EQ(WidthOf(viewer.list), 2);
    // Leaving fewer than 10 pixels beside the list changes nothing...
    ASSERT_TRUE(e2e::PostDrag(viewer.main, {3, 40}, {3 + client - 2 - 9, 40}, 1));
    EXPECT_EQ(WidthOf(viewer.list), 2);
    // ...exactly 10 is allowed.
    ASSERT_TRUE(e2e::PostDrag(viewer.main, {3, 40}, {3 + client - 2 - 10, 40}, 1));
    EXPECT_EQ(WidthOf(viewer.list), client - 10);
    EXPECT_EQ(viewer.Close(), 0u);
    EXPECT_EQ(viewer::ValueOf(*viewer.ReadSettings(), "ListWidth"), std::to_string(client - 10));
}

int TopIndex(HWND list) {
    LRESULT top = -1;
    e2e::SendWithTimeout(list, LB_GETTOPINDEX, 0, 0, &top);
    return int(top);
}

TEST(ViewerMouse, WheelRunsTheBindingOncePerNotchAndNeverScrollsTheList) {
    viewer::DocFolder docs;
    for (int i = 0; i < 80; ++i)
        docs.Qvm("d" + std::to_string(100 + i) + ".qvm", 1 + i, 1);
    Session viewer;
    ASSERT_TRUE(viewer.Start(docs.Path()));
    // Deltas add up to notches of 120 wherever the wheel turns, list or
    // frame; a reversal starts afresh.
    const struct {
        HWND target;
        int delta;
        int selection;
    } wheels[] = {
        {viewer.list, -120, 1}, {viewer.list, -360, 4}, {viewer.list, 120, 3}, {viewer.main, -40, 3},
        {viewer.list, -40, 3},  {viewer.main, -40, 4},  {viewer.main, -40, 4}, {viewer.list, 80, 4},
        {viewer.list, 40, 3},   {viewer.main, 0, 3},    {viewer.main, 240, 1},
    };
    for (const auto& w : wheels) {
        ASSERT_TRUE(e2e::PostWheel(w.target, w.delta));
        EXPECT_EQ(viewer.Selection(), w.selection) << w.delta;
        EXPECT_EQ(TopIndex(viewer.list), 0);
    }
    EXPECT_EQ(viewer.TitleNow(), Title(2, 1, "d101.qvm"));
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerMouse, DefaultBindingsMiddleTogglesMaximizeRightDoesNothing) {
    ZoomFixture z;
    ASSERT_TRUE(z.started);
    HWND view = z.viewer.view;
    ASSERT_TRUE(e2e::PostClick(view, 20, 10, e2e::Button::kRight));
    EXPECT_FALSE(IsZoomed(z.viewer.main));
    EXPECT_EQ(z.viewer.HorzMax(), RangeAt(100));
    EXPECT_TRUE(z.viewer.NoBox());
    ASSERT_TRUE(e2e::PostClick(view, 20, 10, e2e::Button::kMiddle));
    ASSERT_TRUE(e2e::Sync(z.viewer.main));
    EXPECT_TRUE(IsZoomed(z.viewer.main));
    ASSERT_TRUE(e2e::PostClick(view, 20, 10, e2e::Button::kMiddle));
    ASSERT_TRUE(e2e::Sync(z.viewer.main));
    EXPECT_FALSE(IsZoomed(z.viewer.main));
    EXPECT_EQ(z.viewer.Close(), 0u);
}

TEST(ViewerMouse, BindingsComeFromTheSettingsFile) {
    viewer::DocFolder docs;
    const std::string file = docs.Qvm("z.qvm", kDocWidth, kDocHeight);
    Session viewer;
    viewer::SettingsValues values;
    // right: zoom in, middle: zoom out, wheel up: actual size, wheel down:
    // out of range, double click: unchosen (-1).
    const int bindings[5] = {4, 5, 6, 99, -1};
    std::copy(bindings, bindings + 5, values.mouse);
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start("\"" + file + "\""));
    HWND view = viewer.view;
    ASSERT_TRUE(e2e::PostClick(view, 5, 5, e2e::Button::kRight));
    EXPECT_EQ(viewer.HorzMax(), RangeAt(150));
    ASSERT_TRUE(e2e::PostClick(view, 5, 5, e2e::Button::kRight));
    EXPECT_EQ(viewer.HorzMax(), RangeAt(200));
    ASSERT_TRUE(e2e::PostClick(view, 5, 5, e2e::Button::kMiddle));
    EXPECT_EQ(viewer.HorzMax(), RangeAt(150));
    ASSERT_TRUE(e2e::PostWheel(viewer.list, -120));
    ASSERT_TRUE(e2e::PostDoubleClick(view, 5, 5));
    EXPECT_EQ(viewer.HorzMax(), RangeAt(150));
    EXPECT_TRUE(viewer.NoBox());
    ASSERT_TRUE(e2e::PostWheel(viewer.list, 120));
    EXPECT_EQ(viewer.HorzMax(), RangeAt(100));
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerVelmora, DoubleClickWarnsWithoutAPathOrWhenTheProgramIsMissing) {
    viewer::DocFolder docs;
    const std::string file = docs.Qvm("z.qvm", 5, 5);
    const struct {
        std::string path;
        const char* message;
    } cases[] = {{"", msg::kSetVelmoraLocation}, {"Z:\\nowhere\\velmora.exe", msg::kVelmoraMissing}};
    for (const auto& c : cases) {
        Session viewer;
        viewer::SettingsValues values;
        values.velmora = c.path;
        ASSERT_TRUE(viewer.WriteSettings(values.Text()));
        ASSERT_TRUE(viewer.Start("\"" + file + "\""));
        ASSERT_TRUE(e2e::PostDoubleClick(viewer.view, 5, 5));
        EXPECT_EQ(viewer.DismissBox(), c.message) << c.path;
        EXPECT_EQ(viewer.Close(), 0u);
    }
}

TEST(ViewerVelmora, OpenStartsTheProgramBesideTheViewerWithTheDocumentPath) {
    viewer::DocFolder docs;
    const std::string file = docs.QvmIn(docs.Sub("a folder"), "shown.qvm", 5, 5);
    Session viewer;
    // A relative path is taken from the viewer's own folder.
    ASSERT_TRUE(CopyFileA(e2e::ProbeExe().c_str(), (viewer.process.Folder() + "\\velmora.exe").c_str(), FALSE));
    viewer::SettingsValues values;
    values.velmora = "velmora.exe";
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start("\"" + file + "\""));
    ASSERT_TRUE(viewer.Send(viewer::kOpenInVelmora));
    HWND launched = nullptr;
    waits::WaitUntil([&] { return (launched = FindWindowA(probe::kMainClass, nullptr)) != nullptr; });
    ASSERT_NE(launched, nullptr);
    // The program's window is up a moment before its list shows the command
    // line. The path goes over quoted, so its space does not split it.
    std::string commandLine;
    waits::WaitUntil([&] {
        commandLine = e2e::ListText(e2e::FindChild(launched, "LISTBOX"), 0);
        return !commandLine.empty();
    });
    EXPECT_EQ(commandLine, "tail \"" + file + "\"");
    PostMessageA(launched, WM_CLOSE, 0, 0);
    EXPECT_TRUE(viewer.NoBox());
    EXPECT_EQ(viewer.Close(), 0u);
    waits::WaitUntil([launched] { return !IsWindow(launched); });
}

TEST(ViewerClipboard, CopyWithNoPictureLeavesTheClipboardAlone) {
    Session viewer;
    ASSERT_TRUE(viewer.Start());
    ASSERT_TRUE(e2e::PutClipboardText("the user's text"));
    ASSERT_TRUE(e2e::PressKey(viewer.main, 'C', e2e::kCtrl));
    ASSERT_TRUE(viewer.Send(viewer::kCopy));
    EXPECT_EQ(e2e::ClipboardText(), "the user's text");
    EXPECT_EQ(viewer.Close(), 0u);
}

// The state of a menu item as the program shows it when the menu opens.
UINT MenuFlags(Session& viewer, int id) {
    const std::optional<e2e::MenuItemState> item = e2e::ReadMenuItem(viewer.main, UINT(id));
    return item ? item->flags & (MF_GRAYED | MF_CHECKED) : 0xFFFFu;
}

TEST(ViewerMenus, EditItemsThatCannotActAreGreyedAndTheZoomInUseIsMarked) {
    viewer::DocFolder docs;
    docs.Qvm("a.qvm", 4, 4);
    docs.QvrIn(docs.Path(), "b.qvr", 4, 4);
    Session viewer;
    ASSERT_TRUE(viewer.Start());
    const int kExportLayers = 40022;
    const struct {
        const char* when;
        int id;
        UINT flags;
    } empty[] = {
        {"no picture", viewer::kCopy, MF_GRAYED},       {"nothing selected", kExportLayers, MF_GRAYED},
        {"empty list", viewer::kConvertAll, MF_GRAYED}, {"zoom in use", viewer::kZoomFirst + 3, MF_CHECKED},
        {"zoom not in use", viewer::kZoomFirst, 0},     {"always there", viewer::kNext, 0},
    };
    for (const auto& c : empty)
        EXPECT_EQ(MenuFlags(viewer, c.id), c.flags) << c.when;

    ASSERT_TRUE(viewer.Drop({docs.Path()}));
    ASSERT_EQ(viewer.Selection(), 0); // a.qvm shown
    EXPECT_EQ(MenuFlags(viewer, viewer::kCopy), 0u);
    EXPECT_EQ(MenuFlags(viewer, kExportLayers), 0u);
    EXPECT_EQ(MenuFlags(viewer, viewer::kConvertAll), 0u);
    ASSERT_TRUE(viewer.Send(viewer::kNext)); // b.qvr: its layers cannot be exported
    EXPECT_EQ(MenuFlags(viewer, kExportLayers), UINT(MF_GRAYED));
    EXPECT_EQ(MenuFlags(viewer, viewer::kCopy), 0u);

    ASSERT_TRUE(e2e::PressKey(viewer.main, '3', e2e::kCtrl)); // 300%
    for (int id = viewer::kZoomFirst; id <= viewer::kZoomFirst + 7; ++id)
        EXPECT_EQ(MenuFlags(viewer, id), id == viewer::kZoomFirst + 5 ? UINT(MF_CHECKED) : 0u) << id;
    ASSERT_TRUE(viewer.Send(viewer::kExtend)); // 400%
    EXPECT_EQ(MenuFlags(viewer, viewer::kZoomFirst + 6), UINT(MF_CHECKED));
    EXPECT_EQ(MenuFlags(viewer, viewer::kZoomFirst + 5), 0u);
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerMenus, RecentFolderWithAnAmpersandShowsItAndKeepsThePath) {
    viewer::DocFolder docs;
    const std::string folder = docs.Sub("Tom & Jerry");
    viewer::SettingsValues values;
    values.recDir[0] = folder;
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start());
    const std::optional<e2e::MenuItemState> item = e2e::ReadMenuItem(viewer.main, viewer::kRecentFirst);
    ASSERT_TRUE(item.has_value());
    EXPECT_EQ(item->text, docs.Path() + "\\Tom && Jerry"); // '&&' shows one '&'
    EXPECT_EQ(viewer.Close(), 0u);
    EXPECT_EQ(viewer::ValueOf(*viewer.ReadSettings(), "RecDir1"), folder);
}

TEST(ViewerSplitter, LostCaptureEndsTheDrag) {
    Session viewer;
    ASSERT_TRUE(viewer.Start());
    ASSERT_EQ(WidthOf(viewer.list), 150);
    ASSERT_TRUE(e2e::MoveCursor(viewer.main, 151, 40));
    ASSERT_TRUE(PostMessageA(viewer.main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(151, 40)));
    ASSERT_TRUE(e2e::Sync(viewer.main));
    // What the system sends when another window takes the mouse.
    ASSERT_TRUE(e2e::SendWithTimeout(viewer.main, WM_CAPTURECHANGED, 0, 0));
    ASSERT_TRUE(e2e::MoveCursor(viewer.main, 191, 40));
    ASSERT_TRUE(PostMessageA(viewer.main, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(191, 40)));
    ASSERT_TRUE(e2e::Sync(viewer.main));
    EXPECT_EQ(WidthOf(viewer.list), 150);
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerShell, InterfaceThreadRunsInAComApartment) {
    Session viewer;
    ASSERT_TRUE(viewer.Start());
    EXPECT_TRUE(e2e::InComApartment(viewer.main));
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerClipboard, CopyPutsTheDecodedPictureOnTheClipboardAs24BitRows) {
    viewer::DocFolder docs;
    const std::string file = docs.Qvm("odd.qvm", 7, 5, 2); // 21 bytes a row, stored as 24
    ImageBuffer decoded;
    ASSERT_TRUE(LoadDocument(decoded, file.c_str()));
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + file + "\""));
    ASSERT_TRUE(e2e::ClearClipboard());
    ASSERT_TRUE(viewer.Send(viewer::kCopy));
    const std::optional<e2e::ClipboardDib> dib = e2e::ReadClipboardDib();
    ASSERT_TRUE(dib.has_value());
    EXPECT_EQ(dib->header.biBitCount, 24);
    EXPECT_EQ(dib->header.biCompression, DWORD(BI_RGB));
    EXPECT_EQ(dib->header.biHeight, 5); // bottom-up
    EXPECT_EQ(dib->Width(), 7);
    EXPECT_EQ(dib->stride, 24u);
    EXPECT_EQ(dib->bytes.size(), dib->bitsOffset + 24u * 5u);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            const uint8_t* p = decoded.TopRow(y) + x * 4;
            EXPECT_EQ(dib->ColourAt(x, y), RGB(p[2], p[1], p[0])) << x << "," << y;
        }
    }
    EXPECT_EQ(viewer.Close(), 0u);
}

// A picture whose every pixel names its place: red 8 x column, green
// 10 x row from the top, blue 77. The document's rows run bottom-up.
std::string PlacePainted(viewer::DocFolder& docs, const std::string& name, int width, int height) {
    return docs.QvmPainted(docs.Path(), name, width, height, [height](int x, int y, uint8_t* pixel) {
        pixel[0] = 77;
        pixel[1] = uint8_t(10 * (height - 1 - y));
        pixel[2] = uint8_t(8 * x);
    });
}

// The pointer at client point (x, y) of the view: the cursor put there, so
// the view does not take it for gone, and the move the view reads.
bool PointAt(HWND view, int x, int y) {
    return e2e::MoveCursor(view, x, y) && Move(view, 0, x, y);
}

const char* TurnedText(const char* english, const char* japanese) {
    return viewer::JapaneseInterface() ? japanese : english;
}

TEST(ViewerPainterTools, StatusBarNamesTheColourUnderThePointerAndCtrlShiftCCopiesIt) {
    viewer::DocFolder docs;
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + PlacePainted(docs, "places.qvm", 30, 20) + "\""));
    const RECT client = e2e::ClientRect(viewer.view);
    // At 100% the picture is centred.
    const int left = (client.right - 30) / 2, top = (client.bottom - 20) / 2;
    ASSERT_TRUE(PointAt(viewer.view, left + 7, top + 5));
    EXPECT_EQ(viewer.StatusPart(5), "R 56 G 50 B 77  #38324D");
    EXPECT_EQ(viewer.StatusPart(4), ""); // not turned
    ASSERT_TRUE(e2e::ClearClipboard());
    ASSERT_TRUE(e2e::PressKey(viewer.main, 'C', e2e::kCtrl | e2e::kShift));
    EXPECT_EQ(e2e::ClipboardText(), "#38324D");

    // At 300% the pixel under a point is a third as far into the picture.
    ASSERT_TRUE(viewer.Send(viewer::kZoomFirst + 5));
    ASSERT_EQ(viewer.HorzPos(), 0);
    const int left3 = (client.right - 90) / 2 > 0 ? (client.right - 90) / 2 : 0;
    const int top3 = (client.bottom - 60) / 2 > 0 ? (client.bottom - 60) / 2 : 0;
    ASSERT_TRUE(PointAt(viewer.view, left3 + 3 * 12 + 2, top3 + 3 * 4));
    EXPECT_EQ(viewer.StatusPart(5), "R 96 G 40 B 77  #60284D");

    // Turned right, the view's top left shows the picture's bottom left
    // pixel, and going right along the view goes up the picture.
    ASSERT_TRUE(viewer.Send(viewer::kZoomFirst + 3)); // 100%
    ASSERT_TRUE(viewer.Send(viewer::kRotateRight));
    EXPECT_EQ(viewer.StatusPart(4), TurnedText("90\xC2\xB0", "90\xC2\xB0\xE5\x9B\x9E\xE8\xBB\xA2")); // 90°回転
    const int turnedLeft = (client.right - 20) / 2, turnedTop = (client.bottom - 30) / 2;
    ASSERT_TRUE(PointAt(viewer.view, turnedLeft + 2, turnedTop + 7)); // picture (7, 17)
    EXPECT_EQ(viewer.StatusPart(5), "R 56 G 170 B 77  #38AA4D");
    ASSERT_TRUE(viewer.Send(viewer::kFlipHorizontal)); // now shows the picture's (7, 2) there
    // 左右反転、270°回転
    EXPECT_EQ(viewer.StatusPart(4), TurnedText("Mirrored, 270\xC2\xB0", "\xE5\xB7\xA6\xE5\x8F\xB3\xE5\x8F\x8D\xE8\xBB"
                                                                        "\xA2\xE3\x80\x81"
                                                                        "270\xC2\xB0\xE5\x9B\x9E\xE8\xBB\xA2"));
    ASSERT_TRUE(PointAt(viewer.view, turnedLeft + 2, turnedTop + 7));
    EXPECT_EQ(viewer.StatusPart(5), "R 56 G 20 B 77  #38144D");
    // The file's picture is not turned: the scroll range is the turned one.
    EXPECT_EQ(viewer.HorzMax(), 19);
    EXPECT_EQ(viewer.VertMax(), 29);

    // Off the picture: no colour, and the clipboard keeps what it had.
    ASSERT_TRUE(PointAt(viewer.view, 1, 1));
    EXPECT_EQ(viewer.StatusPart(5), "");
    ASSERT_TRUE(e2e::PressKey(viewer.main, 'C', e2e::kCtrl | e2e::kShift));
    EXPECT_EQ(e2e::ClipboardText(), "#38324D");
    EXPECT_EQ(viewer.Close(), 0u);
    // Neither the turn (this session's) nor the untouched fit settings are
    // written.
    for (const std::string& line : viewer::LinesOf(*viewer.ReadSettings()))
        EXPECT_NE(line.rfind("FitEnlarge", 0), 0u) << line;
}

TEST(ViewerPainterTools, FitEnlargesASmallPictureWhenAskedAndInFullScreenByDefault) {
    viewer::DocFolder docs;
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + docs.Qvm("small.qvm", 30, 20) + "\""));
    ASSERT_TRUE(viewer.Send(viewer::kFitToWindow));
    EXPECT_EQ(viewer.StatusPart(1), "30 x 20, 100%"); // never enlarged by default in the window
    ASSERT_TRUE(e2e::PressKey(viewer.main, 'E', e2e::kCtrl | e2e::kShift));
    RECT client = e2e::ClientRect(viewer.view);
    int fit = std::min(client.right * 100 / 30, client.bottom * 100 / 20);
    ASSERT_GT(fit, 100);
    EXPECT_EQ(viewer.StatusPart(1), "30 x 20, " + std::to_string(fit) + "%");
    EXPECT_EQ(viewer.HorzMax(), 30 * fit / 100 - 1);
    const std::optional<e2e::MenuItemState> item = e2e::ReadMenuItem(viewer.main, viewer::kFitEnlarge);
    ASSERT_TRUE(item.has_value());
    EXPECT_NE(item->flags & MF_CHECKED, 0u);
    // Off again in the window; full screen enlarges by its own setting.
    ASSERT_TRUE(viewer.Send(viewer::kFitEnlarge));
    EXPECT_EQ(viewer.StatusPart(1), "30 x 20, 100%");
    ASSERT_TRUE(viewer.Send(viewer::kFullScreen));
    client = e2e::ClientRect(viewer.view);
    fit = std::min(client.right * 100 / 30, client.bottom * 100 / 20);
    EXPECT_EQ(viewer.HorzMax(), 30 * fit / 100 - 1);
    ASSERT_TRUE(viewer.Send(viewer::kFitEnlarge)); // full screen's own: off
    EXPECT_EQ(viewer.HorzMax(), 29);
    ASSERT_TRUE(viewer.Send(viewer::kFullScreen));
    EXPECT_EQ(viewer.Close(), 0u);
    // Only the setting that differs from its default is written.
    const std::string written = *viewer.ReadSettings();
    EXPECT_EQ(viewer::ValueOf(written, "FitEnlargeFullScreen"), "0");
    EXPECT_EQ(written.find("FitEnlarge="), std::string::npos);
}

} // namespace
