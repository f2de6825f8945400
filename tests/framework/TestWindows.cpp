#include "TestWindows.h"

#include <cstring>

namespace {

std::function<void(HWND)> pendingAction;
UINT_PTR driverTimer = 0;
UINT_PTR watchdogTimer = 0;
bool driverRan = false;

// A dialog the test failed to close would hang the run: end it after a while
// with a result no test expects.
constexpr UINT kWatchdogMilliseconds = 10000;
constexpr INT_PTR kWatchdogResult = -99;

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof(name));
    if (std::strcmp(name, "#32770") == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK DriverTick(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = FindThreadDialog();
    if (dialog == nullptr || driverTimer == 0)
        return;
    KillTimer(nullptr, driverTimer);
    driverTimer = 0;
    driverRan = true;
    auto action = std::move(pendingAction);
    pendingAction = nullptr;
    action(dialog);
}

void CALLBACK WatchdogTick(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND dialog = FindThreadDialog())
        EndDialog(dialog, kWatchdogResult);
}

} // namespace

const char* TestClassName() {
    static const char* const kName = "TessavelTestWindow";
    static bool registered = false;
    if (!registered) {
        Window registrar;
        registrar.RegisterClass(kName, nullptr, nullptr, LoadCursor(nullptr, IDC_ARROW),
                                reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), 0, CS_DBLCLKS);
        registered = true;
    }
    return kName;
}

bool CreateTestWindow(Window& object, DWORD style) {
    return object.Create(0, TestClassName(), "test", style, 10, 10, 300, 200, nullptr, nullptr);
}

HWND FindThreadDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

ModalDriver::ModalDriver(std::function<void(HWND)> action) {
    pendingAction = std::move(action);
    driverRan = false;
    driverTimer = SetTimer(nullptr, 0, 20, DriverTick);
    watchdogTimer = SetTimer(nullptr, 0, kWatchdogMilliseconds, WatchdogTick);
}

ModalDriver::~ModalDriver() {
    if (driverTimer != 0)
        KillTimer(nullptr, driverTimer);
    driverTimer = 0;
    KillTimer(nullptr, watchdogTimer);
    watchdogTimer = 0;
    pendingAction = nullptr;
}

bool ModalDriver::Ran() const {
    return driverRan;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

extern "C" void* __imp_MessageBoxA;

namespace {

std::vector<MessageBoxCall> boxCalls;
int boxAnswer = IDOK;
void* originalMessageBox = nullptr;

int WINAPI RecordMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    boxCalls.push_back(
        {owner, text != nullptr ? text : "", caption != nullptr, caption != nullptr ? caption : "", type});
    return boxAnswer;
}

void SwapMessageBox(void* entry) {
    DWORD protection = 0;
    VirtualProtect(&__imp_MessageBoxA, sizeof(void*), PAGE_READWRITE, &protection);
    __imp_MessageBoxA = entry;
    VirtualProtect(&__imp_MessageBoxA, sizeof(void*), protection, &protection);
}

} // namespace

MessageBoxSpy::MessageBoxSpy(int answer) {
    boxCalls.clear();
    boxAnswer = answer;
    originalMessageBox = __imp_MessageBoxA;
    SwapMessageBox(reinterpret_cast<void*>(RecordMessageBox));
}

MessageBoxSpy::~MessageBoxSpy() {
    SwapMessageBox(originalMessageBox);
}

const std::vector<MessageBoxCall>& MessageBoxSpy::Calls() const {
    return boxCalls;
}

std::vector<std::string> MessageBoxSpy::Texts() const {
    std::vector<std::string> texts;
    for (const MessageBoxCall& call : boxCalls)
        texts.push_back(call.text);
    return texts;
}
