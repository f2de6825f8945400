// Times the real viewer's start on a large document named on its command
// line: from the process start until its main window is on screen (and what
// the title says then), and until the title gives the picture's size, that is
// until the picture is shown. Not a test (tests never assert a time):
//
//     scripts/wine-run build/windows/wineprefix
//         build/windows/bench/viewer/viewer_startup_timing.exe [WIDTH HEIGHT [RUNS [VIEWER_EXE]]]
// (one command line; defaults 6000 4000, 3 runs and the viewer of this build).

#include "tests/app/ViewerSession.h"
#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/support/DocWriter.h"
#include "tests/support/Paintings.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

double Milliseconds(const LARGE_INTEGER& from) {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * double(now.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

constexpr double kPatienceMs = 120000;

} // namespace

int main(int argc, char** argv) {
    const int width = argc > 2 ? std::atoi(argv[1]) : 6000;
    const int height = argc > 2 ? std::atoi(argv[2]) : 4000;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 3;
    const std::string exe = argc > 4 ? e2e::WindowsPath(argv[4]) : e2e::ViewerExe();
    if (width < 1 || height < 1 || width > 65535 || height > 65535 || runs < 1) {
        std::fprintf(stderr, "usage: viewer_startup_timing [WIDTH HEIGHT [RUNS [VIEWER_EXE]]]\n");
        return 2;
    }
    viewer::DocFolder work;
    const std::string file = work.Path() + "\\large.qvm";
    if (!docwriter::WriteFile(file, docwriter::WriteQvm(paintings::TableModeQvm(width, height)))) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        return 1;
    }
    const std::string shown = viewer::Title(width, height, "large.qvm");
    std::printf("a %d x %d six-layer document on the command line, viewer %s\n", width, height, exe.c_str());
    for (int run = 0; run < runs; ++run) {
        viewer::Session session(exe);
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        if (!session.StartRaw("\"" + file + "\"")) {
            std::fprintf(stderr, "the viewer did not start\n");
            return 1;
        }
        std::vector<HWND> windows;
        while ((windows = e2e::TopWindows(session.process.Pid(), "Main")).empty() && Milliseconds(start) < kPatienceMs)
            Sleep(1);
        const double appeared = Milliseconds(start);
        // Read without asking the window, which may be busy reading the file.
        wchar_t title[256] = {};
        if (!windows.empty())
            InternalGetWindowText(windows.front(), title, 256);
        char firstTitle[512] = {};
        WideCharToMultiByte(CP_UTF8, 0, title, -1, firstTitle, sizeof firstTitle, nullptr, nullptr);
        while (!windows.empty() && e2e::WindowText(windows.front()) != shown && Milliseconds(start) < kPatienceMs)
            Sleep(1);
        const double pictured = Milliseconds(start);
        std::printf("run %d: window on screen after %.0f ms (title \"%s\"), picture after %.0f ms\n", run + 1, appeared,
                    firstTitle, pictured);
        session.FindWindows();
        session.Close();
    }
    return 0;
}
