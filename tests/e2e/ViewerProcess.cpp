#include "tests/e2e/ViewerProcess.h"

#include "tests/e2e/InjectedQuery.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/support/TempDir.h"
#include "tests/support/WaitUntil.h"

#include <cstdio>

namespace e2e {

namespace {

std::string FolderOf(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".") : path.substr(0, cut);
}

std::string NameOf(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

} // namespace

ViewerProcess::ViewerProcess(const std::string& exePath, Placement placement, const std::string& settingsName)
    : settingsName(settingsName) {
    if (placement == Placement::kInPlace) {
        exe = exePath;
        folder = FolderOf(exePath);
        ready = GetFileAttributesA(exe.c_str()) != INVALID_FILE_ATTRIBUTES;
        return;
    }
    scratch = std::make_unique<TempDir>();
    folder = scratch->Path();
    exe = scratch->File(NameOf(exePath));
    ready = CopyFileA(exePath.c_str(), exe.c_str(), TRUE);
}

ViewerProcess::~ViewerProcess() {
    Kill();
    if (info.hProcess)
        CloseHandle(info.hProcess);
    if (info.hThread)
        CloseHandle(info.hThread);
}

std::string ViewerProcess::SettingsPath() const {
    return folder + "\\" + settingsName;
}

bool ViewerProcess::WriteSettings(const std::string& bytes) const {
    FILE* file = std::fopen(SettingsPath().c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::optional<std::string> ViewerProcess::ReadSettings() const {
    FILE* file = std::fopen(SettingsPath().c_str(), "rb");
    if (file == nullptr)
        return std::nullopt;
    std::string bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, n);
    std::fclose(file);
    return bytes;
}

bool ViewerProcess::Start(const std::string& tail) {
    std::string commandLine = "\"" + exe + "\"";
    if (!tail.empty())
        commandLine += " " + tail;
    return StartCommandLine(commandLine);
}

bool ViewerProcess::StartCommandLine(const std::string& commandLine) {
    if (!ready) {
        problem = "harness: the program could not be copied to " + exe;
        return false;
    }
    if (info.hProcess) {
        problem = "harness: the program was started already";
        return false;
    }
    // The command line is UTF-8 like every text of the tests, so that any
    // name reaches the program whole.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring writable = Widen(commandLine);
    if (!CreateProcessW(Widen(exe).c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr, Widen(folder).c_str(),
                        &startup, &info)) {
        problem =
            "harness: Wine did not start " + exe + " (CreateProcess error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    problem.clear();
    return true;
}

bool ViewerProcess::WaitReady(const char* className, const char* readyMessage, DWORD timeoutMs) {
    const UINT message = RegisterWindowMessageA(readyMessage);
    HWND shown = nullptr;
    bool answered = false;
    const bool reported = waits::WaitUntil(
        [&] {
            if (!Running())
                return true;
            const std::vector<HWND> windows = TopWindows(Pid(), className);
            shown = windows.empty() ? nullptr : windows.front();
            LRESULT answer = 0;
            answered = shown != nullptr && SendWithTimeout(shown, message, 0, 0, &answer);
            return answered && answer == 1;
        },
        timeoutMs);
    // The first question through the harness hook loads it into the
    // program, which takes seconds on a busy machine: done here, within the
    // start's time, the questions of the test wait for their answer only.
    if (reported && Running() && !Sync(shown, timeoutMs)) {
        problem =
            "harness: the program's thread did not take the harness hook within " + std::to_string(timeoutMs) + " ms";
        return false;
    }
    if (reported && Running()) {
        mainWindow = shown;
        problem.clear();
        return true;
    }
    char text[200];
    if (info.hProcess == nullptr) {
        std::snprintf(text, sizeof text, "harness: the program was never started");
    } else if (!Running()) {
        // Statuses of 0xC0000000 and above are the loader's and the system's
        // (a missing DLL, a crash), not the program's own.
        const std::optional<DWORD> code = WaitExit(0);
        std::snprintf(text, sizeof text, "the program ended with status 0x%lX before its start-up ended",
                      code ? *code : 0ul);
    } else if (shown == nullptr) {
        std::snprintf(text, sizeof text, "no visible %s window of the program within %lu ms", className, timeoutMs);
    } else {
        std::snprintf(text, sizeof text, "the %s window %s the end of its start-up within %lu ms", className,
                      answered ? "did not report" : "did not answer a question on", timeoutMs);
    }
    problem = text;
    return false;
}

Appeared ViewerProcess::WaitFirst(const char* className, DWORD timeoutMs) {
    Appeared first{};
    waits::WaitUntil(
        [&] {
            // A box first: the main window may already be visible behind it.
            const std::vector<HWND> boxes = TopWindows(Pid(), "#32770");
            if (!boxes.empty()) {
                first = {boxes.front(), true, MessageBoxText(boxes.front())};
                return true;
            }
            const std::vector<HWND> windows = className != nullptr ? TopWindows(Pid(), className) : std::vector<HWND>();
            if (!windows.empty()) {
                mainWindow = windows.front();
                first = {mainWindow, false, WindowText(mainWindow)};
                return true;
            }
            return !Running();
        },
        timeoutMs);
    return first;
}

HWND ViewerProcess::WaitWindow(const char* className, DWORD timeoutMs) {
    HWND found = nullptr;
    waits::WaitUntil(
        [&] {
            const std::vector<HWND> windows = TopWindows(Pid(), className);
            if (!windows.empty())
                found = mainWindow = windows.front();
            return found != nullptr || !Running();
        },
        timeoutMs);
    return found;
}

Appeared ViewerProcess::WaitMessageBox(DWORD timeoutMs) {
    return WaitFirst(nullptr, timeoutMs);
}

bool ViewerProcess::DismissMessageBox(HWND box, int buttonId) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), LPARAM(GetDlgItem(box, buttonId)));
    return waits::WaitUntil([box] { return !IsWindow(box) || !IsWindowVisible(box); });
}

std::optional<DWORD> ViewerProcess::Close(DWORD timeoutMs) {
    if (mainWindow == nullptr || !PostMessageW(mainWindow, WM_CLOSE, 0, 0))
        return std::nullopt;
    return WaitExit(timeoutMs);
}

std::optional<DWORD> ViewerProcess::WaitExit(DWORD timeoutMs) {
    if (info.hProcess == nullptr || WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
}

bool ViewerProcess::Running() const {
    return info.hProcess && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
}

void ViewerProcess::Kill() {
    if (Running()) {
        TerminateProcess(info.hProcess, 255);
        WaitForSingleObject(info.hProcess, 5000);
    }
}

} // namespace e2e
