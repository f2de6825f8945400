#pragma once
// One run of a program under test (the viewer, or any window program), in the
// same wineserver as the test: started from a private copy in a fresh scratch
// folder, so the settings file beside it belongs to this test alone.
//
//     e2e::ViewerProcess viewer(e2e::ViewerExe());
//     viewer.WriteSettings("[Tessaven]\r\nScale=200\r\n");
//     ASSERT_TRUE(viewer.Start("\"" + folder + "\"")) << viewer.Problem();
//     ASSERT_TRUE(viewer.WaitReady("Main", kStartupEndedMessageName)) << viewer.Problem();
//     HWND main = viewer.MainWindow();
//     ... drive it (Input.h, FileDrop.h, WindowQuery.h) ...
//     EXPECT_EQ(viewer.Close(), 0u);            // WM_CLOSE, then the exit code
//     std::string ini = *viewer.ReadSettings();

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

class TempDir;

namespace e2e {

// A window of the program that showed up: its main window or a message box.
struct Appeared {
    HWND hwnd = nullptr;
    bool isMessageBox = false;
    std::string text; // a message box's text; a main window's title
};

class ViewerProcess {
public:
    enum class Placement {
        kPrivateCopy, // the executable is copied into a new scratch folder (the default)
        kInPlace,     // run where it is (scripts/run-viewer keeps the user's settings)
    };

    explicit ViewerProcess(const std::string& exePath, Placement placement = Placement::kPrivateCopy,
                           const std::string& settingsName = "tessavel.ini");
    // Ends the program if it still runs (TerminateProcess) and removes the copy.
    ~ViewerProcess();
    ViewerProcess(const ViewerProcess&) = delete;
    ViewerProcess& operator=(const ViewerProcess&) = delete;

    // False when the private copy could not be made.
    bool Ready() const { return ready; }
    const std::string& Folder() const { return folder; } // no trailing separator
    const std::string& Exe() const { return exe; }
    std::string SettingsPath() const;

    // The settings file beside the executable, before Start or after Close.
    bool WriteSettings(const std::string& bytes) const;
    std::optional<std::string> ReadSettings() const; // nothing when there is no file

    // Runs the program with the command line "<exe>" + " " + tail (just
    // "<exe>" for an empty tail), current folder the executable's.
    bool Start(const std::string& tail = "");
    // Runs it with exactly this command line.
    bool StartCommandLine(const std::string& commandLine);

    // Waits until a visible top-level window of class className answers the
    // registered message readyMessage with 1: the program's own word that its
    // start-up has ended. A window alone says nothing of that: it shows
    // before the program has finished what it does at start. That window
    // becomes MainWindow(). False on timeout or when the program ended;
    // Problem() then tells which.
    bool WaitReady(const char* className, const char* readyMessage, DWORD timeoutMs = 15000);
    // Why the last Start, StartCommandLine or WaitReady failed, marked
    // "harness:" when the test's own machinery (the copy, Wine) failed rather
    // than the program; empty after a success.
    const std::string& Problem() const { return problem; }

    // The first visible top-level window of the program of class className,
    // waited for; null on timeout or when the program ended. For windows
    // that come after the start (a second instance's, a dialog's).
    HWND WaitWindow(const char* className, DWORD timeoutMs = 15000);
    // Whichever comes first of a visible message box (any dialog, class
    // "#32770", counts) and a visible
    // window of className; hwnd null on timeout. A box shown while the main
    // window is still hidden (a load failure during start-up) comes first.
    Appeared WaitFirst(const char* className, DWORD timeoutMs = 15000);
    // A visible message box of the program, waited for.
    Appeared WaitMessageBox(DWORD timeoutMs = 15000);
    // Presses a button of the box (IDOK by default) and waits until it is gone.
    bool DismissMessageBox(HWND box, int buttonId = IDOK);

    // Posts WM_CLOSE to the main window (the last one WaitWindow found) and
    // waits for the exit code; nothing when the program did not end in time.
    std::optional<DWORD> Close(DWORD timeoutMs = 15000);
    std::optional<DWORD> WaitExit(DWORD timeoutMs = 15000);
    bool Running() const;
    void Kill();

    DWORD Pid() const { return info.dwProcessId; }
    HANDLE Process() const { return info.hProcess; }
    HWND MainWindow() const { return mainWindow; }

private:
    std::unique_ptr<TempDir> scratch;
    std::string folder;
    std::string exe;
    std::string settingsName;
    bool ready = false;
    std::string problem;
    PROCESS_INFORMATION info{};
    HWND mainWindow = nullptr;
};

} // namespace e2e
