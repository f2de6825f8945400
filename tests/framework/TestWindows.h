#pragma once
// Helpers for the framework tests: real windows of a test class, and a
// driver that acts on a modal dialog from inside its own modal loop.

#include "framework/Window.h"

#include <functional>
#include <string>
#include <vector>

// Registers the test window class once (through Window::RegisterClass) and
// returns its name.
const char* TestClassName();

// Creates object's window as a hidden top-level window of the test class.
bool CreateTestWindow(Window& object, DWORD style = WS_OVERLAPPEDWINDOW);

// The first top-level dialog window (class #32770) of this thread, or null.
HWND FindThreadDialog();

// While alive, polls with a thread timer for a dialog of this thread (a
// modal dialog or message box started after it) and runs action once with
// its handle, from inside the dialog's modal loop.
class ModalDriver {
public:
    explicit ModalDriver(std::function<void(HWND)> action);
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    bool Ran() const;
};

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
