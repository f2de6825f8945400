// Times the real viewer's Conversion dialog: from "Convert" to the final
// caption, for every document of a folder or for copies of its largest one,
// once as PNG and once as BMP. Not a test (tests never assert a time):
//
//     scripts/wine-run build/windows/wineprefix
//         build/windows/bench/viewer/viewer_conversion_timing.exe samples [COPIES]
// (one command line).

#include "tests/app/ViewerDialogs.h"
#include "tests/app/ViewerSession.h"
#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/WindowQuery.h"

#include "res/ResourceIds.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Documents(const std::string& folder, std::string* largest) {
    std::vector<std::string> names;
    unsigned long long biggest = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.q*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const unsigned long long size = (unsigned long long)found.nFileSizeHigh << 32 | found.nFileSizeLow;
        names.push_back(found.cFileName);
        if (size > biggest) {
            biggest = size;
            *largest = found.cFileName;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

} // namespace

int main(int argc, char** argv) {
    // The captions are CP932; the terminal this runs in reads UTF-8, and so
    // does a console once told to.
    SetConsoleOutputCP(CP_UTF8);
    if (argc < 2) {
        std::fprintf(stderr, "usage: viewer_conversion_timing FOLDER [COPIES]\n");
        return 2;
    }
    // The viewer runs from a folder of its own: the folder must be absolute.
    char full[MAX_PATH] = {};
    GetFullPathNameA(e2e::WindowsPath(argv[1]).c_str(), MAX_PATH, full, nullptr);
    const std::string source = full;
    const int copies = argc > 2 ? std::atoi(argv[2]) : 0;
    std::string largest;
    const std::vector<std::string> names = Documents(source, &largest);
    if (names.empty()) {
        std::fprintf(stderr, "no documents in %s\n", source.c_str());
        return 1;
    }
    viewer::DocFolder work;
    std::string listed = source;
    int count = int(names.size());
    if (copies > 0) {
        listed = work.Sub("copies");
        const size_t dot = largest.rfind('.');
        for (int i = 0; i < copies; ++i)
            CopyFileA((source + "\\" + largest).c_str(),
                      (listed + "\\copy" + std::to_string(1000 + i).substr(1) + largest.substr(dot)).c_str(), FALSE);
        count = copies;
    }
    const std::string out = work.Sub("out");
    viewer::SettingsValues values;
    values.convDir = out;
    viewer::Session session;
    if (!session.WriteSettings(values.Text()) || !session.Start("\"" + listed + "\"")) {
        std::fprintf(stderr, "the viewer did not start\n");
        return 1;
    }
    HWND dialog = viewer::OpenDialog(session, IDM_CONVERT_ALL, "Conversion");
    if (dialog == nullptr) {
        std::fprintf(stderr, "no Conversion dialog\n");
        return 1;
    }
    std::printf("%d documents%s%s\n", count, copies > 0 ? ", copies of " : "", copies > 0 ? largest.c_str() : "");
    for (int format : {1, 0}) {
        SendDlgItemMessageA(dialog, IDC_CONVERSION_FORMAT, CB_SETCURSEL, WPARAM(format), 0);
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        const bool done = viewer::Convert(dialog, 600000);
        QueryPerformanceCounter(&end);
        std::printf("%s: %s %.3f s (%s)\n", format == 1 ? "PNG" : "BMP", done ? "" : "FAILED", Seconds(start, end),
                    viewer::ConversionCaption(dialog).c_str());
    }
    viewer::ClickItem(dialog, IDCANCEL);
    session.Close();
    return 0;
}
