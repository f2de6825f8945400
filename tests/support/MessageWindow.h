#pragma once
// A message-only window of the calling thread, for the tests of work that
// posts its result to a window: the test blocks on the message itself, never
// on the clock.

#include <windows.h>

class MessageWindow {
public:
    // Listens for message alone.
    explicit MessageWindow(UINT message) : message(message) {
        window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    ~MessageWindow() {
        if (window != nullptr)
            DestroyWindow(window);
    }
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    // Blocks until the message arrives; its wParam in *wParam.
    bool Told(WPARAM* wParam = nullptr) {
        MSG arrived;
        if (GetMessageW(&arrived, window, message, message) <= 0)
            return false;
        if (wParam != nullptr)
            *wParam = arrived.wParam;
        return true;
    }
    // A message already waiting, taken off the queue.
    bool Waiting() {
        MSG arrived;
        return PeekMessageW(&arrived, window, message, message, PM_REMOVE) != FALSE;
    }

    HWND window = nullptr;

private:
    UINT message;
};
