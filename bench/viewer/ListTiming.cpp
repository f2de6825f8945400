// Times how fast the real viewer fills its list: a drop of N documents
// (and the same N again with Ctrl, which checks each for a duplicate) and
// a dropped folder of N documents. Not a test (tests never assert a time):
//
//     scripts/wine-run build/windows/wineprefix
//         build/windows/bench/viewer/viewer_list_timing.exe [N...]
// (one command line; N defaults to 1000 2000 5000 20000).

#include "tests/app/ViewerSession.h"
#include "tests/e2e/WindowQuery.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Now() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

constexpr DWORD kPatienceMs = 600000;

} // namespace

int main(int argc, char** argv) {
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = {1000, 2000, 5000, 20000};
    std::printf("| documents | drop of the files | again with Ctrl | drop of their folder | per 1000 (folder) |\n");
    std::printf("|---|---|---|---|---|\n");
    for (int count : counts) {
        viewer::DocFolder docs;
        const std::string folder = docs.Sub("many");
        const std::vector<std::string> paths = docs.Copies(folder, count);
        viewer::Session viewer;
        if (!viewer.Start()) {
            std::fprintf(stderr, "the viewer did not start\n");
            return 1;
        }
        const double t0 = Now();
        const bool files = viewer.Drop(paths, false, kPatienceMs);
        const double t1 = Now();
        const bool again = viewer.Drop(paths, true, kPatienceMs);
        const double t2 = Now();
        const bool whole = viewer.Drop({folder}, false, kPatienceMs);
        const double t3 = Now();
        const int listed = e2e::ListCount(viewer.list);
        viewer.Close();
        if (!files || !again || !whole || listed != count) {
            std::fprintf(stderr, "%d documents: a drop failed or %d were listed\n", count, listed);
            return 1;
        }
        std::printf("| %d | %.0f ms | %.0f ms | %.0f ms | %.0f ms |\n", count, (t1 - t0) * 1000, (t2 - t1) * 1000,
                    (t3 - t2) * 1000, (t3 - t2) * 1000000 / count);
    }
    return 0;
}
