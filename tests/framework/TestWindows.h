#pragma once
// Helpers for the framework tests: real windows of a test class, the message
// pump and the message-box spy. Dialogs are driven with DialogScript.h.

#include "framework/Window.h"

#include <functional>
#include <string>
#include <vector>

// Registers the test window class once (through Window::RegisterClass) and
// returns its name.
const char* TestClassName();

// Creates object's window as a hidden top-level window of the test class.
bool CreateTestWindow(Window& object, DWORD style = WS_OVERLAPPEDWINDOW);

// Processes the messages waiting for this thread.
void PumpMessages();

// A window object whose window is destroyed before the object goes, so that
// no message can reach a dead object even when an assertion ends a test early.
template <class T> struct Live : T {
    ~Live() {
        if (this->hwnd != nullptr && IsWindow(this->hwnd))
            DestroyWindow(this->hwnd);
    }
};

// While alive, stands in for MessageBoxA at the program's import: each call
// is recorded and answered with answer at once, nothing is shown. (Wine
// ignores MB_TOPMOST, so the flags asked for are read where they are handed
// over.)
struct MessageBoxCall {
    HWND owner;
    std::string text;
    bool hasCaption;
    std::string caption;
    UINT type;
};

class MessageBoxSpy {
public:
    explicit MessageBoxSpy(int answer = IDOK);
    ~MessageBoxSpy();
    MessageBoxSpy(const MessageBoxSpy&) = delete;
    MessageBoxSpy& operator=(const MessageBoxSpy&) = delete;

    const std::vector<MessageBoxCall>& Calls() const;
    // The texts of the calls, in order.
    std::vector<std::string> Texts() const;
};
