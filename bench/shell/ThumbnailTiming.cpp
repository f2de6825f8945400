// Time to a thumbnail through the DLL, as the shell asks for one: a SIZE x
// SIZE six-layer document in a memory stream, a fresh handler each time,
// Initialize and GetThumbnail(CX). Prints each run (wall clock, the thread's
// processor time and the whole process's, the pool's threads included, which
// other load on the machine does not swell) and the medians.
//   thumbnail_timing.exe [SIZE [CX [RUNS]]]     (default 4096 256 3)
#include "shell/ThumbnailIds.h"
#include "tests/shell/ShellRegistry.h"
#include "tests/support/DocWriter.h"
#include "tests/support/Paintings.h"

#include <windows.h>

#include <shlwapi.h>
#include <thumbcache.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double ThreadSeconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return double(ticks(kernel) + ticks(user)) / 1e7;
}

double ProcessSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return double(ticks(kernel) + ticks(user)) / 1e7;
}

} // namespace

int main(int argc, char** argv) {
    const int size = argc > 1 ? std::atoi(argv[1]) : 4096;
    const UINT cx = argc > 2 ? UINT(std::atoi(argv[2])) : 256;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 3;
    if (size < 1 || size > 65535 || cx < 1 || runs < 1) {
        std::fprintf(stderr, "usage: thumbnail_timing [SIZE [CX [RUNS]]]\n");
        return 2;
    }
    const docwriter::Bytes bytes = docwriter::WriteQvm(paintings::TableModeQvm(size, size));
    HMODULE module = LoadLibraryW(shelltest::HandlerDll().c_str());
    using GetClassObject = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
    const auto getClassObject = shelltest::ModuleExport<GetClassObject>(module, "DllGetClassObject");
    IClassFactory* factory = nullptr;
    if (getClassObject == nullptr ||
        FAILED(getClassObject(kThumbnailClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) {
        std::fprintf(stderr, "thumbnail_timing: cannot load the handler\n");
        return 1;
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> seconds, processor, process;
    for (int run = 0; run < runs; ++run) {
        IStream* stream = SHCreateMemStream(bytes.data(), UINT(bytes.size()));
        IInitializeWithStream* handler = nullptr;
        IThumbnailProvider* provider = nullptr;
        HBITMAP bitmap = nullptr;
        WTS_ALPHATYPE alpha;
        LARGE_INTEGER start, end;
        const double processorStart = ThreadSeconds();
        const double processStart = ProcessSeconds();
        QueryPerformanceCounter(&start);
        const bool made = SUCCEEDED(factory->CreateInstance(nullptr, IID_PPV_ARGS(&handler))) &&
                          SUCCEEDED(handler->Initialize(stream, STGM_READ)) &&
                          SUCCEEDED(handler->QueryInterface(IID_PPV_ARGS(&provider))) &&
                          SUCCEEDED(provider->GetThumbnail(cx, &bitmap, &alpha));
        QueryPerformanceCounter(&end);
        processor.push_back(ThreadSeconds() - processorStart);
        process.push_back(ProcessSeconds() - processStart);
        if (bitmap != nullptr)
            DeleteObject(bitmap);
        if (provider != nullptr)
            provider->Release();
        if (handler != nullptr)
            handler->Release();
        stream->Release();
        if (!made) {
            std::fprintf(stderr, "thumbnail_timing: no thumbnail\n");
            return 1;
        }
        seconds.push_back(double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
        std::printf("run %d: %.3f s (processor %.3f s, all threads %.3f s)\n", run + 1, seconds.back(),
                    processor.back(), process.back());
    }
    factory->Release();
    std::sort(seconds.begin(), seconds.end());
    std::sort(processor.begin(), processor.end());
    std::sort(process.begin(), process.end());
    std::printf("%d x %d, six layers (%zu bytes), %u-pixel thumbnail: median %.3f s (processor %.3f s, all threads "
                "%.3f s)\n",
                size, size, bytes.size(), cx, seconds[seconds.size() / 2], processor[processor.size() / 2],
                process[process.size() / 2]);
    return 0;
}
