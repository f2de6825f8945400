// Times stepping in the real viewer: from Next (then Previous) posted to the
// main window until the title names the new file and the view has painted
// its picture, through COPIES copies of one SIZE x SIZE six-layer document.
// Before each step it waits until the viewer says that the files beside the
// shown one are decoded (a viewer that decodes nothing ahead answers at
// once), as when the user looks at each picture for a moment. Not a test
// (tests never assert a time):
//
//     scripts/wine-run build/windows/wineprefix
//         build/windows/bench/viewer/viewer_stepping_timing.exe [SIZE [COPIES [VIEWER_EXE]]]
// (one command line; defaults 2000, 20 and the viewer of this build).

#include "tests/app/ViewerSession.h"
#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/InjectedQuery.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/support/DocWriter.h"
#include "tests/support/Paintings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// One step: the time until the title is the expected one and the view has
// no part left to paint (then one round trip, so its paint has returned).
double TimeStep(viewer::Session& session, int command, const std::string& title) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    e2e::PostCommand(session.main, command);
    // Asked while the step runs, the question is answered when it is done.
    while (session.TitleNow() != title)
        Sleep(1);
    while (GetUpdateRect(session.view, nullptr, FALSE))
        Sleep(1);
    e2e::Sync(session.main);
    QueryPerformanceCounter(&end);
    return Milliseconds(start, end);
}

void Report(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    if (times.empty())
        return;
    std::printf("%s: median %.1f ms, min %.1f, max %.1f over %zu steps\n", what, times[times.size() / 2], times.front(),
                times.back(), times.size());
}

} // namespace

int main(int argc, char** argv) {
    const int size = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int copies = argc > 2 ? std::atoi(argv[2]) : 20;
    const std::string exe = argc > 3 ? e2e::WindowsPath(argv[3]) : e2e::ViewerExe();
    if (size < 1 || size > 65535 || copies < 2) {
        std::fprintf(stderr, "usage: viewer_stepping_timing [SIZE [COPIES [VIEWER_EXE]]]\n");
        return 2;
    }
    viewer::DocFolder work;
    const std::string folder = work.Sub("copies");
    const std::string first = folder + "\\original.qvm";
    if (!docwriter::WriteFile(first, docwriter::WriteQvm(paintings::TableModeQvm(size, size)))) {
        std::fprintf(stderr, "cannot write %s\n", first.c_str());
        return 1;
    }
    std::vector<std::string> names;
    for (int i = 0; i < copies; ++i) {
        names.push_back("step" + std::to_string(1000 + i).substr(1) + ".qvm");
        const std::string copy = folder + "\\" + names.back();
        CopyFileA(first.c_str(), copy.c_str(), FALSE);
        viewer::BackDate(copy); // else it would always be read again
    }
    DeleteFileA(first.c_str());

    viewer::Session session(exe);
    viewer::SettingsValues values;
    values.Place(0, 0, 1200, 900);
    if (!session.WriteSettings(values.Text()) || !session.Start("\"" + folder + "\"")) {
        std::fprintf(stderr, "the viewer did not start\n");
        return 1;
    }
    std::printf("%d copies of a %d x %d six-layer document, viewer %s\n", copies, size, size, exe.c_str());
    std::vector<double> forward, backward;
    for (int i = 1; i < copies; ++i) {
        session.WaitDecodedAhead();
        forward.push_back(TimeStep(session, viewer::kNext, viewer::Title(size, size, names[size_t(i)])));
    }
    for (int i = copies - 2; i >= 0; --i) {
        session.WaitDecodedAhead();
        backward.push_back(TimeStep(session, viewer::kPrevious, viewer::Title(size, size, names[size_t(i)])));
    }
    Report("Next", forward);
    Report("Previous", backward);
    session.Close();
    return 0;
}
