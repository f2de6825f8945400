// The harness's own tests, headless (Wine's null driver): every road of the
// harness against the probe (HarnessProbe.cpp), whose answers are known, and
// the prefix's font set-up that the screenshots rely on.

#include "tests/e2e/ClipboardDib.h"
#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/FileDrop.h"
#include "tests/e2e/InjectedQuery.h"
#include "tests/e2e/Input.h"
#include "tests/e2e/ProbeIds.h"
#include "tests/e2e/ViewerProcess.h"
#include "tests/e2e/WindowQuery.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// "日本語のメッセージ" and "日本語.qvm" in UTF-8, as the harness gives and
// reads every text.
const std::string kJapaneseMessage =
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x83\xA1\xE3\x83\x83\xE3\x82\xBB\xE3\x83\xBC\xE3\x82\xB8";
const std::string kJapaneseFile = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.qvm";
// "ＭＳ Ｐゴシック", a Japanese face the prefix maps to an IPA font.
const std::string kListFont = "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";

// A started probe with its windows found.
class Probe {
public:
    explicit Probe(const std::string& tail = "")
        : process(e2e::ProbeExe(), e2e::ViewerProcess::Placement::kPrivateCopy, probe::kSettingsName) {
        if (process.Start(tail) && process.WaitReady(probe::kMainClass, probe::kReadyMessage))
            main = process.MainWindow();
        else
            std::fprintf(stderr, "probe: %s\n", process.Problem().c_str());
        list = main ? e2e::FindChild(main, "LISTBOX") : nullptr;
        view = main ? e2e::FindChild(main, probe::kViewClass) : nullptr;
    }

    bool Ok() const { return main && list && view; }
    // The lines the probe logged since the last call.
    std::vector<std::string> NewLines() {
        std::vector<std::string> all = e2e::ListTexts(list);
        std::vector<std::string> fresh(all.begin() + std::min(seen, all.size()), all.end());
        seen = all.size();
        return fresh;
    }

    e2e::ViewerProcess process;
    HWND main = nullptr;
    HWND list = nullptr;
    HWND view = nullptr;

private:
    size_t seen = 0;
};

using Lines = std::vector<std::string>;

TEST(HarnessProcess, TailReachesTheProgramAsWritten) {
    for (const std::string& tail : {std::string(), std::string("plain tail"), std::string("\"Z:\\a folder\\x.qvm\""),
                                    std::string("\"") + kJapaneseFile + "\""}) {
        Probe probe(tail);
        ASSERT_TRUE(probe.Ok()) << tail;
        EXPECT_EQ(probe.NewLines(), (Lines{"tail " + tail, "settings none"}));
        EXPECT_EQ(e2e::WindowText(probe.main), probe::kTitle);
    }
}

TEST(HarnessProcess, PrivateCopyHasItsOwnSettingsFileAndExitCode) {
    Probe probe;
    ASSERT_TRUE(probe.Ok());
    EXPECT_NE(probe.process.Folder(), e2e::ProbeExe().substr(0, e2e::ProbeExe().find_last_of('\\')));
    EXPECT_FALSE(probe.process.ReadSettings().has_value());
    EXPECT_EQ(probe.process.Close(), std::optional<DWORD>(probe::kExitCode));
    EXPECT_EQ(probe.process.ReadSettings(), std::optional<std::string>("closed\r\n"));

    e2e::ViewerProcess seeded(e2e::ProbeExe(), e2e::ViewerProcess::Placement::kPrivateCopy, probe::kSettingsName);
    ASSERT_TRUE(seeded.WriteSettings("seeded line\r\n"));
    ASSERT_TRUE(seeded.Start()) << seeded.Problem();
    ASSERT_TRUE(seeded.WaitReady(probe::kMainClass, probe::kReadyMessage)) << seeded.Problem();
    HWND main = seeded.MainWindow();
    EXPECT_EQ(e2e::ListTexts(e2e::FindChild(main, "LISTBOX")), (Lines{"tail ", "settings seeded line"}));
    EXPECT_EQ(seeded.Close(), std::optional<DWORD>(probe::kExitCode));
    EXPECT_EQ(seeded.ReadSettings(), std::optional<std::string>("seeded line\r\nclosed\r\n"));
}

TEST(HarnessProcess, MessageBoxBeforeTheMainWindowIsReadAndDismissed) {
    e2e::ViewerProcess process(e2e::ProbeExe());
    ASSERT_TRUE(process.Start("--warn=" + kJapaneseMessage));
    const e2e::Appeared first = process.WaitFirst(probe::kMainClass);
    ASSERT_TRUE(first.isMessageBox);
    EXPECT_EQ(first.text, kJapaneseMessage);
    EXPECT_TRUE(e2e::TopWindows(process.Pid(), probe::kMainClass, true).empty()); // not even created yet
    ASSERT_TRUE(process.DismissMessageBox(first.hwnd));
    const e2e::Appeared next = process.WaitFirst(probe::kMainClass);
    EXPECT_FALSE(next.isMessageBox);
    EXPECT_EQ(next.text, probe::kTitle);
    EXPECT_EQ(process.Close(), std::optional<DWORD>(probe::kExitCode));
}

TEST(HarnessKeys, PostedKeysGoThroughTheAcceleratorTableWithModifiers) {
    Probe probe;
    ASSERT_TRUE(probe.Ok());
    probe.NewLines();
    const struct {
        UINT vk;
        unsigned modifiers;
        const char* logged;
    } cases[] = {
        {'4', e2e::kCtrl, "command 40016"},
        {VK_ADD, e2e::kNoModifier, "command 40019"},
        {VK_DOWN, e2e::kCtrl, "command 40020"},
        {'4', e2e::kNoModifier, "keydown 52 ctrl=0"}, // no accelerator without Ctrl
        {VK_DOWN, e2e::kShift, "keydown 40 ctrl=0"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(e2e::PressKey(probe.main, c.vk, c.modifiers));
        EXPECT_EQ(probe.NewLines(), Lines{c.logged}) << c.vk;
    }
}

TEST(HarnessKeys, SyncWaitsUntilEveryPostedMessageWasHandled) {
    Probe probe;
    ASSERT_TRUE(probe.Ok());
    probe.NewLines();
    // Fifty commands queue up behind each other as well as hundreds do;
    // two hundred lines took the probe longer than an answer's time on a
    // busy machine.
    for (int i = 0; i < 50; ++i)
        e2e::PostCommand(probe.main, 1000 + i);
    ASSERT_TRUE(e2e::Sync(probe.main));
    const Lines lines = probe.NewLines();
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines.back(), "command 1049");
    EXPECT_TRUE(e2e::SendCommand(probe.main, 7));
    EXPECT_EQ(probe.NewLines(), Lines{"command 7"});
}

TEST(HarnessMouse, PostedButtonsAndWheelReachTheChildWithTheirKeys) {
    Probe probe;
    ASSERT_TRUE(probe.Ok());
    probe.NewLines();
    ASSERT_TRUE(e2e::PostClick(probe.view, 10, 20, e2e::Button::kRight));
    EXPECT_EQ(probe.NewLines(), Lines{"rbuttondown 10,20 r"});
    ASSERT_TRUE(e2e::PostClick(probe.view, 3, 4, e2e::Button::kMiddle, e2e::kCtrl));
    EXPECT_EQ(probe.NewLines(), Lines{"mbuttondown 3,4 cm"});
    ASSERT_TRUE(e2e::PostDoubleClick(probe.view, 5, 6));
    EXPECT_EQ(probe.NewLines(),
              (Lines{"lbuttondown 5,6 l", "lbuttonup 5,6 -", "lbuttondblclk 5,6 l", "lbuttonup 5,6 -"}));
    ASSERT_TRUE(e2e::PostWheel(probe.view, -WHEEL_DELTA, 1, 1, e2e::kCtrl));
    ASSERT_TRUE(e2e::PostWheel(probe.view, 2 * WHEEL_DELTA));
    EXPECT_EQ(probe.NewLines(), (Lines{"wheel -120 c", "wheel 240 -"}));
}

TEST(HarnessMouse, PostedDragMovesTheCursorAlong) {
    Probe probe;
    ASSERT_TRUE(probe.Ok());
    probe.NewLines();
    ASSERT_TRUE(e2e::PostDrag(probe.view, {10, 10}, {50, 30}, 2));
    const Lines lines = probe.NewLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "lbuttondown 10,10 l");
    EXPECT_EQ(lines.back(), "lbuttonup 50,30 -");
    POINT cursor;
    ASSERT_TRUE(GetCursorPos(&cursor));
    ScreenToClient(probe.view, &cursor);
    EXPECT_EQ(cursor.x, 50);
    EXPECT_EQ(cursor.y, 30);
}

TEST(HarnessMouse, FocusFollowsAClickInTheList) {
    Probe probe;
    ASSERT_TRUE(probe.Ok());
    auto before = e2e::ReadThreadState(probe.main);
    ASSERT_TRUE(before.has_value());
    EXPECT_EQ(before->focus, probe.main);
    ASSERT_TRUE(e2e::PostClick(probe.list, 5, 5));
    auto after = e2e::ReadThreadState(probe.main);
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(after->focus, probe.list);
    EXPECT_EQ(e2e::ListSelection(probe.list), 0);
}

TEST(HarnessDrop, DroppedFilesArriveWithTheCtrlStateOfTheDrop) {
    Probe probe;
    ASSERT_TRUE(probe.Ok());
    probe.NewLines();
    const std::vector<std::string> files = {"C:\\windows\\win.ini", "Z:\\tmp\\a folder\\" + kJapaneseFile};
    ASSERT_TRUE(e2e::DropFiles(probe.process.Process(), probe.main, files, {12, 34}));
    EXPECT_EQ(probe.NewLines(), (Lines{"drop ctrl=0 n=2 at 12,34", "file " + files[0], "file " + files[1]}));
    ASSERT_TRUE(e2e::DropFiles(probe.process.Process(), probe.main, {files[1]}, {1, 2}, e2e::kCtrl));
    EXPECT_EQ(probe.NewLines(), (Lines{"drop ctrl=1 n=1 at 1,2", "file " + files[1]}));
    // The key state is the program's again after the drop.
    ASSERT_TRUE(e2e::PressKey(probe.main, '4'));
    EXPECT_EQ(probe.NewLines(), Lines{"keydown 52 ctrl=0"});
}

TEST(HarnessQuery, ScrollBarsOfTheOtherProcessAreRead) {
    Probe probe;
    ASSERT_TRUE(probe.Ok());
    const auto horz = e2e::ReadScroll(probe.view, SB_HORZ);
    ASSERT_TRUE(horz.has_value());
    EXPECT_EQ(horz->minimum, 0);
    EXPECT_EQ(horz->maximum, probe::kHorzMax);
    EXPECT_EQ(horz->page, probe::kHorzPage);
    EXPECT_EQ(horz->position, probe::kHorzPos);
    const auto vert = e2e::ReadScroll(probe.view, SB_VERT);
    ASSERT_TRUE(vert.has_value());
    EXPECT_EQ(vert->maximum, probe::kVertMax);
    EXPECT_EQ(vert->page, probe::kVertPage);
    EXPECT_EQ(vert->position, probe::kVertPos);
    // The main window has no scroll bars of its own.
    EXPECT_FALSE(e2e::ReadScroll(probe.main, SB_HORZ).has_value());
}

TEST(HarnessClipboard, PictureCopiedByTheProgramIsReadAsDib) {
    Probe probe;
    ASSERT_TRUE(probe.Ok());
    ASSERT_TRUE(e2e::ClearClipboard());
    EXPECT_FALSE(e2e::ReadClipboardDib().has_value());
    ASSERT_TRUE(e2e::PressKey(probe.main, 'C', e2e::kCtrl));
    const auto dib = e2e::ReadClipboardDib();
    ASSERT_TRUE(dib.has_value());
    EXPECT_EQ(dib->Width(), probe::kDibWidth);
    EXPECT_EQ(dib->Height(), probe::kDibHeight);
    EXPECT_EQ(dib->header.biBitCount, 24);
    EXPECT_EQ(dib->stride, 16u); // 5 pixels of 3 bytes, rounded up to 4
    for (int y = 0; y < probe::kDibHeight; ++y)
        for (int x = 0; x < probe::kDibWidth; ++x)
            EXPECT_EQ(dib->ColourAt(x, y), RGB(200, y, x)) << x << "," << y;
}

// scripts/wine-run maps the Japanese font names to the IPA fonts in every
// prefix, which is how the system's font linking finds Japanese glyphs for the
// viewer's list and dialogs; without that Wine falls back to the fixed-pitch
// IPA Gothic.
TEST(HarnessPrefix, JapaneseFaceIsTheProportionalIpaGothic) {
    HDC dc = GetDC(nullptr);
    HFONT font = CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0, kListFont.c_str());
    ASSERT_NE(font, nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    char face[LF_FACESIZE] = "";
    GetTextFaceA(dc, LF_FACESIZE, face);
    // The proportional face has a narrow i; the fixed-pitch fallback does not.
    INT narrow = 0, wide = 0;
    GetCharWidth32A(dc, 'i', 'i', &narrow);
    GetCharWidth32A(dc, 'W', 'W', &wide);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(face, kListFont);
    EXPECT_GT(narrow, 0);
    EXPECT_LT(narrow, wide);
}

} // namespace
