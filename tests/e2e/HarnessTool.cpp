// harness_tool: the harness from the command line, for scripts/run-viewer.
//
//   harness_tool shoot --class CLASS --out FILE.png [--tail TEXT] [--timeout MS] PROGRAM
//
// Runs PROGRAM where it is with the command-line tail TEXT, answers message
// boxes shown before its window of class CLASS (printing their text), saves a
// picture of that window as a PNG, closes it with WM_CLOSE (so the program
// writes its settings) and prints its exit code. Exit status 0 when all of
// that worked.

#include "tests/e2e/Input.h"
#include "tests/e2e/Screenshot.h"
#include "tests/e2e/ViewerProcess.h"
#include "tests/e2e/WindowQuery.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int Usage() {
    std::fputs("usage: harness_tool shoot --class CLASS --out FILE.png [--tail TEXT] [--timeout MS] PROGRAM\n", stderr);
    return 2;
}

int Shoot(const char* program, const char* className, const char* out, const std::string& tail, DWORD timeoutMs) {
    e2e::ViewerProcess process(program, e2e::ViewerProcess::Placement::kInPlace);
    if (!process.Ready() || !process.Start(tail)) {
        std::fprintf(stderr, "harness_tool: cannot start %s\n", program);
        return 1;
    }
    const DWORD start = GetTickCount();
    HWND main = nullptr;
    while (main == nullptr) {
        const DWORD elapsed = GetTickCount() - start;
        const e2e::Appeared first = process.WaitFirst(className, elapsed < timeoutMs ? timeoutMs - elapsed : 0);
        if (first.hwnd == nullptr) {
            std::fprintf(stderr, "harness_tool: no window of class %s appeared\n", className);
            return 1;
        }
        if (!first.isMessageBox) {
            main = first.hwnd;
            break;
        }
        std::printf("message box: %s\n", first.text.c_str());
        process.DismissMessageBox(first.hwnd);
    }
    std::printf("window: %s (%lu ms after start)\n", e2e::WindowText(main).c_str(),
                (unsigned long)(GetTickCount() - start));
    // In the foreground its caption shows active, as a user would see it.
    e2e::BringToFront(main);
    const e2e::Picture picture = e2e::CaptureWindow(main);
    const bool saved = e2e::SavePng(picture, out);
    if (saved)
        std::printf("screenshot: %d x %d\n", picture.width, picture.height);
    else
        std::fprintf(stderr, "harness_tool: no screenshot (%s)\n",
                     picture.Empty() ? "nothing on the screen: is the X11 driver in use?" : "cannot write the file");
    const std::optional<DWORD> code = process.Close(timeoutMs);
    if (!code) {
        std::fputs("harness_tool: the program did not end after WM_CLOSE\n", stderr);
        return 1;
    }
    std::printf("exit code: %lu\n", (unsigned long)*code);
    std::fflush(stdout);
    return saved ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    // The output is read by host scripts: plain \n line ends, not \r\n.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2 || std::strcmp(argv[1], "shoot") != 0)
        return Usage();
    const char* className = nullptr;
    const char* out = nullptr;
    const char* program = nullptr;
    std::string tail;
    DWORD timeoutMs = 30000;
    for (int i = 2; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--class") == 0 && hasValue)
            className = argv[++i];
        else if (std::strcmp(argv[i], "--out") == 0 && hasValue)
            out = argv[++i];
        else if (std::strcmp(argv[i], "--tail") == 0 && hasValue)
            tail = argv[++i];
        else if (std::strcmp(argv[i], "--timeout") == 0 && hasValue)
            timeoutMs = DWORD(std::strtoul(argv[++i], nullptr, 10));
        else if (program == nullptr && argv[i][0] != '-')
            program = argv[i];
        else
            return Usage();
    }
    if (!className || !out || !program)
        return Usage();
    return Shoot(program, className, out, tail, timeoutMs);
}
