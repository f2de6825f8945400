// The real viewer and its settings file (Wine's null driver): the defaults,
// the exact bytes written at close, the placement read back after normal,
// maximised and minimised closes, and saves that cannot complete.

#include "tests/app/ViewerSession.h"

#include "app/FrameMessages.h"
#include "tests/e2e/InjectedQuery.h"
#include "tests/e2e/WindowQuery.h"

#include <gtest/gtest.h>

namespace {

using viewer::Session;
using viewer::SettingsValues;

RECT WindowRectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// A first start's window: three quarters of the work area each way, centred
// on it.
RECT CentredDefault() {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int width = (work.right - work.left) * 3 / 4;
    const int height = (work.bottom - work.top) * 3 / 4;
    const int left = work.left + (work.right - work.left - width) / 2;
    const int top = work.top + (work.bottom - work.top - height) / 2;
    return {left, top, left + width, top + height};
}

void ExpectRect(const RECT& actual, const RECT& expected) {
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

TEST(ViewerSettings, NoFileGivesTheDefaultsAndCloseWritesThemAll) {
    Session viewer;
    ASSERT_FALSE(viewer.ReadSettings().has_value());
    ASSERT_TRUE(viewer.Start());
    const RECT centred = CentredDefault();
    ExpectRect(WindowRectOf(viewer.main), centred);
    EXPECT_FALSE(IsZoomed(viewer.main));
    EXPECT_EQ(WindowRectOf(viewer.list).right - WindowRectOf(viewer.list).left, 150);
    EXPECT_EQ(viewer.HorzMax(), 0); // no picture: the platform keeps the empty range as 0 to 0
    EXPECT_EQ(viewer.Close(), 0u);
    SettingsValues expected;
    expected.Place(centred.left, centred.top, centred.right, centred.bottom);
    const std::optional<std::string> written = viewer.ReadSettings();
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(*written, expected.Text());
    EXPECT_EQ(viewer::LinesOf(*written).size(), 26u);
}

TEST(ViewerSettings, EveryValueReadIsWrittenBackAndHandAddedLinesAreDropped) {
    SettingsValues values;
    values.Place(40, 30, 700, 530);
    values.listWidth = 123;
    values.scale = 300;
    values.colBk = 0x123456;
    const int mouse[5] = {4, 5, 2, 3, 6};
    std::copy(mouse, mouse + 5, values.mouse);
    values.convType = 1;
    values.velmora = "C:\\tools\\velmora.exe";
    values.openDir = "C:\\pictures";
    values.convDir = "D:";
    values.recDir[0] = "C:\\one";
    values.recDir[1] = "C:\\two \x83t\x83H\x83\x8B\x83_"; // CP932 text byte for byte
    std::string file = values.Text();
    file.insert(file.find("Scale="), "Extra=1\r\n");
    file += "[Other]\r\nKey=2\r\n";
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(file));
    ASSERT_TRUE(viewer.Start());
    ExpectRect(WindowRectOf(viewer.main), {40, 30, 700, 530});
    EXPECT_EQ(WindowRectOf(viewer.list).right - WindowRectOf(viewer.list).left, 123);
    EXPECT_EQ(viewer.Close(), 0u);
    EXPECT_EQ(viewer.ReadSettings(), values.Text());
}

TEST(ViewerSettings, ListWiderThanTheClientAreaIsHalved) {
    SettingsValues values;
    values.Place(10, 10, 510, 410);
    values.listWidth = 5000;
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start());
    const int client = e2e::ClientRect(viewer.main).right;
    EXPECT_EQ(WindowRectOf(viewer.list).right - WindowRectOf(viewer.list).left, client / 2);
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerSettings, PlacementWithoutSavedLeftOrOffTheScreen) {
    const int screenLeft = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const struct {
        RECT saved;
        RECT expected;
    } cases[] = {
        // WinLeft of exactly -1000 means nothing was saved.
        {{-1000, 10, 300, 250}, CentredDefault()},
        // A rectangle left of every monitor comes back onto the screen, same size.
        {{-3000, 20, -2400, 420}, {screenLeft, 20, screenLeft + 600, 420}},
    };
    for (const auto& c : cases) {
        SettingsValues values;
        values.Place(c.saved.left, c.saved.top, c.saved.right, c.saved.bottom);
        Session viewer;
        ASSERT_TRUE(viewer.WriteSettings(values.Text()));
        ASSERT_TRUE(viewer.Start());
        ExpectRect(WindowRectOf(viewer.main), c.expected);
        EXPECT_EQ(viewer.Close(), 0u);
    }
}

TEST(ViewerSettings, MaximisedAndMinimisedClosesAreReadBackAsMaximisedAndNormal) {
    const struct {
        UINT command;
        int written;
        bool zoomedNextTime;
    } cases[] = {{SC_MAXIMIZE, 3, true}, {SC_MINIMIZE, 2, false}};
    for (const auto& c : cases) {
        SettingsValues values;
        values.Place(60, 50, 660, 500);
        Session first;
        ASSERT_TRUE(first.WriteSettings(values.Text()));
        ASSERT_TRUE(first.Start());
        ASSERT_TRUE(PostMessageA(first.main, WM_SYSCOMMAND, c.command, 0));
        ASSERT_TRUE(e2e::Sync(first.main));
        EXPECT_EQ(first.Close(), 0u);
        SettingsValues closed = values;
        closed.showCmd = c.written;
        ASSERT_EQ(first.ReadSettings(), closed.Text()) << c.written; // the restored rectangle kept

        Session second;
        ASSERT_TRUE(second.WriteSettings(closed.Text()));
        ASSERT_TRUE(second.Start());
        EXPECT_EQ(bool(IsZoomed(second.main)), c.zoomedNextTime);
        EXPECT_FALSE(IsIconic(second.main));
        EXPECT_EQ(second.Close(), 0u);
        SettingsValues reopened = values;
        reopened.showCmd = c.zoomedNextTime ? 3 : 1;
        EXPECT_EQ(second.ReadSettings(), reopened.Text()) << c.written;
    }
}

TEST(ViewerSettings, ScaleOfZeroOrBelowShowsActualSize) {
    viewer::DocFolder docs;
    const std::string file = docs.Qvm("z.qvm", 40, 20);
    for (int scale : {0, -50}) {
        SettingsValues values;
        values.scale = scale;
        Session viewer;
        ASSERT_TRUE(viewer.WriteSettings(values.Text()));
        ASSERT_TRUE(viewer.Start("\"" + file + "\""));
        EXPECT_EQ(viewer.HorzMax(), 39) << scale;
        ASSERT_TRUE(viewer.Send(viewer::kExtend)); // 150%
        EXPECT_EQ(viewer.HorzMax(), 59) << scale;
        EXPECT_EQ(viewer.Close(), 0u);
    }
}

// The file as it was before the program ran, byte for byte.
std::string OldFile() {
    SettingsValues values;
    values.Place(20, 20, 620, 520);
    values.scale = 200;
    values.recDir[0] = "C:\\kept";
    return values.Text();
}

TEST(ViewerSettings, SaveThatCannotBeWrittenKeepsTheOldFileAndSaysNothing) {
    // The new file cannot take the old one's place: it is read-only.
    Session blocked;
    ASSERT_TRUE(blocked.WriteSettings(OldFile()));
    const std::string kept = blocked.process.SettingsPath();
    ASSERT_TRUE(SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(blocked.Start());
    ASSERT_TRUE(blocked.Send(viewer::kReduce));
    EXPECT_EQ(blocked.Close(), 0u); // no box held the process up
    SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(blocked.ReadSettings(), OldFile());

    // No file can be read or written at that name at all.
    Session nowhere;
    ASSERT_TRUE(CreateDirectoryA(nowhere.process.SettingsPath().c_str(), nullptr));
    ASSERT_TRUE(nowhere.Start());
    EXPECT_EQ(WindowRectOf(nowhere.main).right - WindowRectOf(nowhere.main).left,
              CentredDefault().right - CentredDefault().left);
    EXPECT_EQ(nowhere.Close(), 0u);
    EXPECT_NE(GetFileAttributesA(nowhere.process.SettingsPath().c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(ViewerSettings, FileLeftHalfWrittenByAnInterruptedSaveIsNeverRead) {
    viewer::DocFolder docs;
    const std::string file = docs.Qvm("z.qvm", 40, 20);
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(OldFile()));
    const std::string partial = viewer.process.SettingsPath() + ".new";
    FILE* half = std::fopen(partial.c_str(), "wb");
    ASSERT_NE(half, nullptr);
    std::fputs("[Tessaven]\r\nWinLeft=5\r\nWinTop=5\r\nScale=5", half);
    std::fclose(half);
    ASSERT_TRUE(viewer.Start("\"" + file + "\""));
    EXPECT_EQ(viewer.HorzMax(), 79); // Scale=200 of the complete file
    EXPECT_EQ(viewer.Close(), 0u);
    // The complete file, with the document's folder made recent before the
    // one it held.
    SettingsValues expected;
    expected.Place(20, 20, 620, 520);
    expected.scale = 200;
    expected.recDir[0] = docs.Path();
    expected.recDir[1] = "C:\\kept";
    expected.lastFile = file;
    expected.recFile[0] = file;
    EXPECT_EQ(viewer.ReadSettings(), expected.Text());
    // Left as it was: it may be another viewer's save under way.
    std::FILE* left = std::fopen(partial.c_str(), "rb");
    ASSERT_NE(left, nullptr);
    char text[64] = {};
    std::fread(text, 1, sizeof text - 1, left);
    std::fclose(left);
    EXPECT_STREQ(text, "[Tessaven]\r\nWinLeft=5\r\nWinTop=5\r\nScale=5");
}

TEST(ViewerSettings, EndOfTheSessionWritesTheSettingsAsACloseDoes) {
    Session viewer;
    ASSERT_TRUE(viewer.Start());
    ASSERT_TRUE(viewer.Send(viewer::kReduce)); // 75%
    LRESULT mayEnd = 0;
    ASSERT_TRUE(e2e::SendWithTimeout(viewer.main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, &mayEnd));
    EXPECT_NE(mayEnd, 0);
    // A session that does not end after all writes nothing.
    ASSERT_TRUE(e2e::SendWithTimeout(viewer.main, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF));
    EXPECT_FALSE(viewer.ReadSettings().has_value());
    ASSERT_TRUE(e2e::SendWithTimeout(viewer.main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF));
    const std::optional<std::string> written = viewer.ReadSettings();
    ASSERT_TRUE(written.has_value()); // before any close
    EXPECT_EQ(viewer::ValueOf(*written, "Scale"), "75");
    EXPECT_EQ(viewer::LinesOf(*written).size(), 26u);
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerSettings, TwoViewersAtOnceKeepWhatTheOtherChanged) {
    SettingsValues values;
    values.Place(40, 30, 700, 530);
    values.velmora = "C:\\old\\velmora.exe";
    Session first;
    ASSERT_TRUE(first.WriteSettings(values.Text()));
    ASSERT_TRUE(first.Start());
    // The second viewer runs from the same folder, with the same file.
    e2e::ViewerProcess second(first.process.Exe(), e2e::ViewerProcess::Placement::kInPlace);
    ASSERT_TRUE(second.Start()) << second.Problem();
    ASSERT_TRUE(second.WaitReady("Main", kStartupEndedMessageName)) << second.Problem();
    const HWND secondMain = second.MainWindow();
    ASSERT_TRUE(e2e::SendCommand(secondMain, viewer::kZoomFirst + 4)); // 200%
    ASSERT_EQ(second.Close(), 0u);
    ASSERT_EQ(viewer::ValueOf(*first.ReadSettings(), "Scale"), "200");
    // The first one changed nothing; it closes last and must not write the
    // 100% it read at start over the other's 200%.
    EXPECT_EQ(first.Close(), 0u);
    const std::optional<std::string> written = first.ReadSettings();
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(viewer::ValueOf(*written, "Scale"), "200");
    EXPECT_EQ(viewer::ValueOf(*written, "Velmora"), "C:\\old\\velmora.exe");
    EXPECT_EQ(viewer::LinesOf(*written).size(), 26u);
}

TEST(ViewerSettings, ShowCommandThatWouldHideTheWindowOpensItNormally) {
    for (int showCmd : {0, -1, 12}) {
        SettingsValues values;
        values.Place(30, 30, 530, 430);
        values.showCmd = showCmd;
        Session viewer;
        ASSERT_TRUE(viewer.WriteSettings(values.Text()));
        ASSERT_TRUE(viewer.Start());
        EXPECT_TRUE(IsWindowVisible(viewer.main)) << showCmd;
        EXPECT_FALSE(IsIconic(viewer.main)) << showCmd;
        EXPECT_EQ(viewer.Close(), 0u);
        EXPECT_EQ(viewer::ValueOf(*viewer.ReadSettings(), "ShowCmd"), "1") << showCmd;
    }
}

TEST(ViewerSettings, MaximisedStartMeasuresTheListAgainstTheMaximisedWindow) {
    SettingsValues values;
    values.Place(20, 20, 420, 320); // restored client area narrower than the list
    values.showCmd = 3;
    values.listWidth = 600;
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start());
    // The window is found as soon as it shows; its start-up ends after that.
    ASSERT_TRUE(e2e::Sync(viewer.main));
    ASSERT_TRUE(IsZoomed(viewer.main));
    const int client = e2e::ClientRect(viewer.main).right;
    ASSERT_GT(client, 600) << "the screen is too small for this test";
    EXPECT_EQ(WindowRectOf(viewer.list).right - WindowRectOf(viewer.list).left, 600);
    EXPECT_EQ(WindowRectOf(viewer.view).right - WindowRectOf(viewer.view).left, client - 606); // beside the 6-pixel gap
    EXPECT_EQ(viewer.Close(), 0u);
    EXPECT_EQ(viewer::ValueOf(*viewer.ReadSettings(), "ListWidth"), "600");
}

} // namespace
