#include "TestWindows.h"

#include "base/Wide.h"

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

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

extern "C" void* __imp_MessageBoxW;

namespace {

std::vector<MessageBoxCall> boxCalls;
int boxAnswer = IDOK;
void* originalMessageBox = nullptr;

// The program's boxes are Unicode; the calls are kept in its UTF-8.
int WINAPI RecordMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    boxCalls.push_back({owner, text != nullptr ? Narrow(text) : "", caption != nullptr,
                        caption != nullptr ? Narrow(caption) : "", type});
    return boxAnswer;
}

void SwapMessageBox(void* entry) {
    DWORD protection = 0;
    VirtualProtect(&__imp_MessageBoxW, sizeof(void*), PAGE_READWRITE, &protection);
    __imp_MessageBoxW = entry;
    VirtualProtect(&__imp_MessageBoxW, sizeof(void*), protection, &protection);
}

} // namespace

MessageBoxSpy::MessageBoxSpy(int answer) {
    boxCalls.clear();
    boxAnswer = answer;
    originalMessageBox = __imp_MessageBoxW;
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
