#pragma once
// What the end-to-end tests of the viewer share: a started tessavel.exe with
// its windows found, folders of generated documents, and the texts the
// program shows.

#include "tests/e2e/ViewerProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace viewer {

using Lines = std::vector<std::string>;

// Menu commands and the child id of the list, as the program numbers them.
enum Command : int {
    kOpenFile = 40001,
    kQuit = 40004,
    kPrevious = 40005,
    kNext = 40006,
    kOpenInVelmora = 40007,
    kCopy = 40008,
    kConvertAll = 40009,
    kZoomFirst = 40010, // 25% ... 40017 500%
    kExtend = 40019,
    kReduce = 40020,
    kFitToWindow = 40030,
    kFullScreen = 40031,
    kAbout = 40018,
    kRecentFirst = 41000,
    kZoom33 = 40060, // 67% and 150% follow
    kFlipHorizontal = 40063,
    kRotateRight = 40064,
    kRotateLeft = 40065,
    kFitEnlarge = 40066,
    kCopyColour = 40067,
};

// "Tessavel - (WxH) name"
std::string Title(int width, int height, const std::string& name);
// Whether the system's user interface is Japanese, where the viewer speaks
// its Japanese texts without a Language setting; English elsewhere.
bool JapaneseInterface();
// "読み込みに失敗" (loading failed) in the language of the system's interface.
const char* LoadFailedText();
// The title after name failed to load: "Tessavel - 読み込みに失敗 name".
std::string FailedTitle(const std::string& name);
// The status bar's picture part then, with the loader's reason:
// "読み込みに失敗: reason".
std::string FailedStatus(const std::string& reason);

// A folder of documents for one test, removed afterwards. Paths are Windows
// paths (the tests run under Wine).
class DocFolder {
public:
    DocFolder();
    ~DocFolder();
    DocFolder(const DocFolder&) = delete;
    DocFolder& operator=(const DocFolder&) = delete;
    const std::string& Path() const { return path; }
    // A subfolder (created) and its path.
    std::string Sub(const std::string& name) const;
    // A QVM document of width x height whose pixels differ from each other
    // (seed varies the colours), at folder\name; its full path.
    std::string Qvm(const std::string& name, int width, int height, int seed = 0) const;
    std::string QvmIn(const std::string& folder, const std::string& name, int width, int height, int seed = 0) const;
    // A one-layer QVM document whose pixel (x, y) paint sets (blue, green,
    // red; alpha is 255), at folder\name; its full path.
    std::string QvmPainted(const std::string& folder, const std::string& name, int width, int height,
                           const std::function<void(int x, int y, uint8_t* pixel)>& paint) const;
    // A QVR version 0 document with one coloured layer.
    std::string QvrIn(const std::string& folder, const std::string& name, int width, int height) const;
    // count copies of one small QVM document in folder, named doc00000.qvm,
    // doc00001.qvm, ...; their full paths in name order. Thousands are made
    // in seconds, under Wine too.
    std::vector<std::string> Copies(const std::string& folder, int count);
    // Any bytes at folder\name.
    std::string Raw(const std::string& name, const std::string& bytes) const;

private:
    TempDir dir;
    std::string path;
    std::vector<std::string> copies; // removed one by one, before the folder
};

// Gives the file a write time an hour back. The viewer shows a picture it
// decoded ahead only for a file written well before the decode (a rewrite
// within the file system's time resolution would not show), so the tests that
// step onto such pictures settle their documents first.
void BackDate(const std::string& path);

// A running viewer. Start variants wait for the main window; StartRaw only
// starts the process, for tests that expect a message box first.
class Session {
public:
    Session();
    // A session of another build of the viewer.
    explicit Session(const std::string& exe);
    ~Session();

    bool WriteSettings(const std::string& bytes) { return process.WriteSettings(bytes); }
    std::optional<std::string> ReadSettings() const { return process.ReadSettings(); }

    // Starts with the tail and waits until the program says its start-up
    // has ended (the file of the tail shown or its failure told), then finds
    // the window's two children. A failure says why, and whether the
    // harness (Wine, the copy) or the program failed.
    testing::AssertionResult Start(const std::string& tail = "");
    bool StartRaw(const std::string& tail) { return process.Start(tail); }
    // After StartRaw and a dismissed box: the same wait, and the window and
    // its children.
    testing::AssertionResult FindWindows();

    std::string TitleNow() const;
    Lines Items() const;
    int Selection() const;
    // The view's horizontal / vertical window scroll bar: maximum and position.
    int HorzMax() const;
    int HorzPos() const;
    int VertMax() const;
    int VertPos() const;
    // The text of part of the status bar, read from the program's memory
    // (the control's text messages carry a pointer); empty when it fails.
    std::string StatusPart(int part) const;
    // The width of that part, in pixels; 0 when it cannot be read.
    int StatusPartWidth(int part) const;
    // Waits for a message box and returns its text after pressing OK; empty
    // when none came.
    std::string DismissBox();
    // True when no message box of the program is showing.
    bool NoBox() const;
    // Waits until the viewer has decoded what it decodes ahead of the shown
    // file; the number of files it holds decoded (or failed) then, -1 when
    // it did not get there in time.
    int WaitDecodedAhead() const;

    // Drops paths on the main window, with Ctrl held when extending.
    bool Drop(const std::vector<std::string>& paths, bool withCtrl = false, DWORD timeoutMs = 5000);
    // Posts a command (safe with a message box) and syncs.
    bool Post(int id);
    bool Send(int id);
    // WM_CLOSE and the exit code.
    std::optional<DWORD> Close() { return process.Close(); }

    e2e::ViewerProcess process;
    HWND main = nullptr;
    HWND list = nullptr;
    HWND view = nullptr;
    HWND status = nullptr;
};

// Every value of a settings file, the defaults unless set.
struct SettingsValues {
    int winLeft = -1000;
    int winTop = 0;
    int winRight = 400;
    int winBottom = 400;
    int showCmd = 1;
    int listWidth = 150;
    int scale = 100;
    int colBk = 8421504;
    int mouse[5] = {0, 1, 2, 3, 7};
    int convType = 0;
    int layersPane = 0;
    std::string velmora;
    std::string openDir;
    std::string convDir;
    std::string recDir[5];
    int fitToWindow = 0; // the keys added after the original ones
    std::string lastFile;
    std::string recFile[5]; // written after FitToWindow, each only when set

    // The saved restored rectangle of the window.
    void Place(int left, int top, int right, int bottom);
    // The file as the program writes it: 26 lines, CR LF each, and the
    // recent folders' documents set.
    std::string Text() const;
};

// The value of key in a settings text ("" when missing).
std::string ValueOf(const std::string& settings, const std::string& key);
// Its lines, without their CR LF.
Lines LinesOf(const std::string& settings);

} // namespace viewer
