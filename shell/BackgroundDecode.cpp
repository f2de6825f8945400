#include "shell/BackgroundDecode.h"

#include "base/WorkPool.h"

#include <functional>
#include <thread>

namespace {

// The handle of an event, closed with its owner.
class Event {
public:
    Event() : handle(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Event() {
        if (handle != nullptr)
            CloseHandle(handle);
    }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    HANDLE handle;
};

// Dispatches every message waiting; true when one was WM_QUIT, whose code
// goes to quitCode.
bool DispatchWaiting(WPARAM& quitCode) {
    bool quit = false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            quitCode = message.wParam;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return quit;
}

} // namespace

HRESULT DecodeInBackground(IStream* stream, uint64_t start, ScaledPicture& kept, const std::atomic<bool>& cancelled) {
    // The stream may belong to this thread's apartment (a proxy from the
    // shell, say): the decoding thread gets one of its own through COM,
    // whose calls back into this apartment are served by the loop below.
    IStream* marshalled = nullptr;
    HRESULT result = CoMarshalInterThreadInterfaceInStream(IID_IStream, stream, &marshalled);
    if (FAILED(result))
        return result;
    Event done;
    if (done.handle == nullptr) {
        marshalled->Release();
        return HRESULT_FROM_WIN32(GetLastError());
    }
    ScaledPicture decoded;
    std::thread worker;
    const bool started = WorkPool::StartThread(worker, [&] {
        const HRESULT joined = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        IStream* own = nullptr;
        result = CoGetInterfaceAndReleaseStream(marshalled, IID_IStream, reinterpret_cast<void**>(&own));
        if (SUCCEEDED(result)) {
            try {
                result = DecodeKeptPicture(own, start, decoded, &cancelled);
            } catch (...) {
                result = E_OUTOFMEMORY;
            }
            own->Release();
        }
        if (SUCCEEDED(joined))
            CoUninitialize();
        SetEvent(done.handle);
    });
    if (!started) {
        CoReleaseMarshalData(marshalled);
        marshalled->Release();
        return E_OUTOFMEMORY;
    }
    // What arrived before the wait is dispatched first: a decode that ends
    // at once still leaves the host's queue served.
    WPARAM quitCode = 0;
    bool quit = DispatchWaiting(quitCode);
    while (MsgWaitForMultipleObjects(1, &done.handle, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        quit = DispatchWaiting(quitCode) || quit;
    worker.join();
    if (quit)
        PostQuitMessage(int(quitCode));
    if (SUCCEEDED(result))
        kept = std::move(decoded);
    return result;
}
